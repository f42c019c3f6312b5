// SPDX-License-Identifier: MIT
// Drives: the mounted file systems, with the label or kind of each device.
#include "platform/mount_table.h"

#include "platform/posix_common.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>

namespace varnoquil::platform {

using namespace posix;

namespace posix {

std::string volumeLabelIn(const std::string& labelFolder, const std::string& device)
{
    const std::string deviceTarget = resolvedPath(device);
    if (deviceTarget.empty())
        return {};
    DIR* dir = ::opendir(labelFolder.c_str());
    if (!dir)
        return {};
    std::string label;
    while (const dirent* item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (name[0] != '.' && resolvedPath(std::string(labelFolder).append("/").append(name)) == deviceTarget) {
            label = name;
            break;
        }
    }
    ::closedir(dir);
    for (std::size_t at; (at = label.find("\\x")) != std::string::npos && at + 4 <= label.size();)
        label.replace(at, 4, 1, static_cast<char>(std::strtol(label.substr(at + 2, 2).c_str(), nullptr, 16)));
    return label;
}

bool isRemovableIn(const std::string& blockFolder, const std::string& device)
{
    const std::string name = lastComponent(resolvedPath(device));
    if (name.empty())
        return false;
    // Partitions (sdb1) carry the flag on their disk (sdb).
    for (std::string disk = name; !disk.empty(); disk.pop_back()) {
        std::ifstream flag(std::string(blockFolder).append("/").append(disk).append("/removable"));
        char value = '0';
        if (flag >> value)
            return value == '1';
    }
    return false;
}

} // namespace posix

namespace {

// The whole text of a file the kernel writes as it is read; empty when it
// cannot be read.
std::string textOf(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

std::vector<Drive> listDrives()
{
    const DeviceQueries devices{[](const std::string& device) { return volumeLabelIn("/dev/disk/by-label", device); },
                                [](const std::string& device) { return isRemovableIn("/sys/block", device); }};
    std::vector<Drive> drives = drivesFromMountTable(textOf("/proc/self/mounts"), devices);
    // A file can be mounted over a file; only folders are browsed.
    drives.erase(std::remove_if(drives.begin(), drives.end(), [](const Drive& d) { return !isDirectory(d.root); }),
                 drives.end());
    return drives;
}

} // namespace varnoquil::platform
