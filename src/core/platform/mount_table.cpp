// SPDX-License-Identifier: MIT
#include "platform/mount_table.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace varnoquil::platform {

namespace {

bool isPseudoFileSystem(const std::string& type)
{
    static const std::set<std::string> pseudo = {
        "proc",        "sysfs",      "cgroup",     "cgroup2", "devpts",    "devtmpfs",        "mqueue",     "debugfs",
        "tracefs",     "securityfs", "pstore",     "bpf",     "autofs",    "hugetlbfs",       "configfs",   "fusectl",
        "binfmt_misc", "efivarfs",   "rpc_pipefs", "nsfs",    "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal"};
    return pseudo.count(type) != 0;
}

bool isSystemMountPoint(const std::string& dir)
{
    auto under = [&](const std::string& top) { return dir == top || dir.rfind(top + "/", 0) == 0; };
    if (under("/run/media"))
        return false;
    return under("/proc") || under("/sys") || under("/dev") || under("/run") || under("/boot/efi");
}

std::string driveKind(const std::string& type, const std::string& device, const DeviceQueries& devices)
{
    static const std::set<std::string> remote
        = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs", "9p", "ceph", "glusterfs", "afs"};
    if (remote.count(type))
        return "Remote";
    if (type == "iso9660" || type == "udf")
        return "CDROM";
    if (type == "tmpfs" || type == "ramfs")
        return "RAM";
    return devices.isRemovable(device) ? "Removable" : "Fixed";
}

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The mount table writes a blank, a tab, a line break and a backslash in a
// name as a backslash and three octal digits.
std::string unescaped(const std::string& field)
{
    std::string text;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] == '\\' && at + 3 < field.size() && isOctalDigit(field[at + 1]) && isOctalDigit(field[at + 2])
            && isOctalDigit(field[at + 3])) {
            text += static_cast<char>((field[at + 1] - '0') * 64 + (field[at + 2] - '0') * 8 + (field[at + 3] - '0'));
            at += 3;
        } else {
            text += field[at];
        }
    }
    return text;
}

void keepDrive(std::vector<Drive>& drives, const std::string& root, const std::string& text)
{
    auto same = std::find_if(drives.begin(), drives.end(), [&](const Drive& d) { return d.root == root; });
    if (same != drives.end())
        same->text = text;
    else
        drives.push_back({root, text});
}

} // namespace

std::vector<Drive> drivesFromMountTable(const std::string& table, const DeviceQueries& devices)
{
    std::vector<Drive> drives;
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string device, dir, type;
        if (!(fields >> device >> dir >> type))
            continue;
        device = unescaped(device);
        dir = unescaped(dir);
        type = unescaped(type);
        if (isPseudoFileSystem(type) || isSystemMountPoint(dir))
            continue;
        std::string text = devices.volumeLabel(device);
        if (text.empty())
            text = driveKind(type, device, devices);
        keepDrive(drives, dir, text);
    }
    std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) {
        if ((a.root == "/") != (b.root == "/"))
            return a.root == "/";
        return a.root < b.root;
    });
    if (drives.empty() || drives.front().root != "/")
        drives.insert(drives.begin(), Drive{"/", "Fixed"});
    return drives;
}

} // namespace varnoquil::platform
