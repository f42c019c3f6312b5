// SPDX-License-Identifier: MIT
// The drive list built from sample mount tables, with made-up devices.
#include "mount_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace varnoquil::platform;

namespace {

using Drives = std::vector<std::pair<std::string, std::string>>;

// Devices whose labels and removable flags the test chooses.
Drives DrivesOf(const std::string& table, const std::map<std::string, std::string>& labels = {},
                const std::vector<std::string>& removable = {})
{
    const DeviceQueries devices{[&](const std::string& device) {
                                    const auto found = labels.find(device);
                                    return found == labels.end() ? std::string() : found->second;
                                },
                                [&](const std::string& device) {
                                    return std::find(removable.begin(), removable.end(), device) != removable.end();
                                }};
    Drives drives;
    for (const Drive& drive : drivesFromMountTable(table, devices))
        drives.emplace_back(drive.root, drive.text);
    return drives;
}

TEST(MountTable, KeepsBrowsableMountsByKindRootFirst)
{
    const std::string table = "/dev/sdb1 /media/usb vfat rw 0 0\n"
                              "proc /proc proc rw 0 0\n"
                              "sysfs /sys sysfs rw 0 0\n"
                              "tmpfs /run tmpfs rw 0 0\n"
                              "/dev/sda2 /boot/efi vfat rw 0 0\n"
                              "cgroup2 /mnt/cg cgroup2 rw 0 0\n"
                              "server:/share /net/share nfs4 rw 0 0\n"
                              "/dev/sr0 /media/cd iso9660 ro 0 0\n"
                              "tmpfs /tmp tmpfs rw 0 0\n"
                              "/dev/sda1 / ext4 rw 0 0\n"
                              "/dev/sdc1 /run/media/me/stick exfat rw 0 0\n"
                              "/dev/sda3 /home ext4 rw 0 0\n";
    EXPECT_EQ(DrivesOf(table, {}, {"/dev/sdb1", "/dev/sdc1"}),
              (Drives{{"/", "Fixed"},
                      {"/home", "Fixed"},
                      {"/media/cd", "CDROM"},
                      {"/media/usb", "Removable"},
                      {"/net/share", "Remote"},
                      {"/run/media/me/stick", "Removable"},
                      {"/tmp", "RAM"}}));
}

TEST(MountTable, ALabelNamesADriveAndALaterMountHidesTheEarlierOne)
{
    const std::string table = "/dev/sda1 / ext4 rw 0 0\n"
                              "/dev/sdb1 /media/My\\040Games vfat rw 0 0\n"
                              "/dev/sdc1 /mnt ext4 rw 0 0\n"
                              "server:/x /mnt cifs rw 0 0\n";
    EXPECT_EQ(DrivesOf(table, {{"/dev/sdb1", "GAMES 2"}, {"/dev/sdc1", "DATA"}}),
              (Drives{{"/", "Fixed"}, {"/media/My Games", "GAMES 2"}, {"/mnt", "Remote"}}));
}

TEST(MountTable, TheRootIsThereWhenTheTableLacksItOrCannotBeRead)
{
    EXPECT_EQ(DrivesOf(""), (Drives{{"/", "Fixed"}}));
    EXPECT_EQ(DrivesOf("broken line\n/dev/sdb1 /data xfs rw 0 0\n"), (Drives{{"/", "Fixed"}, {"/data", "Fixed"}}));
}

} // namespace
