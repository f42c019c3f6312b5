// SPDX-License-Identifier: MIT
// The drive list built from sample mount tables, with made-up devices.
#include "platform/mount_table.h"

#include <gtest/gtest.h>

#include <map>

using namespace varnoquil::platform;

// "root=text;" for every drive of a table, where only /dev/sdb1 is
// removable and three devices have labels.
std::string DrivesOf(const std::string& table)
{
    static const std::map<std::string, std::string> labels
        = {{"/dev/sdc1", "STICK"}, {"/dev/sdd1", "GAMES 2"}, {"/dev/sde1", "DATA"}};
    const DeviceQueries devices{
        [](const std::string& device) { return labels.count(device) ? labels.at(device) : std::string(); },
        [](const std::string& device) { return device == "/dev/sdb1"; }};
    std::string drives;
    for (const Drive& drive : drivesFromMountTable(table, devices))
        drives += drive.root + "=" + drive.text + ";";
    return drives;
}

TEST(MountTable, KeepsBrowsableMountsByLabelOrKindRootFirstAndTheLastMountOfAFolder)
{
    // clang-format off
    const std::string table =
        "/dev/sdb1 /media/usb vfat rw 0 0\n" "cgroup2 /mnt/cg cgroup2 rw 0 0\n" "tmpfs /run tmpfs rw 0 0\n"
        "broken line\n" "/dev/sr0 /media/cd iso9660 ro 0 0\n" "tmpfs /tmp tmpfs rw 0 0\n" "/dev/sda1 / ext4 rw 0 0\n"
        "/dev/sdc1 /run/media/me/stick exfat rw 0 0\n" "/dev/sdd1 /media/My\\040Games\\134s vfat rw 0 0\n"
        "/dev/sde1 /home ext4 rw 0 0\n" "server:/x /home cifs rw 0 0\n";
    // clang-format on
    EXPECT_EQ(DrivesOf(table),
              "/=Fixed;/home=Remote;/media/My Games\\s=GAMES 2;/media/cd=CDROM;/media/usb=Removable;"
              "/run/media/me/stick=STICK;/tmp=RAM;");
    // The root is there when the table lacks it or cannot be read.
    EXPECT_EQ(DrivesOf("") + "|" + DrivesOf("/dev/sda3 /data xfs rw 0 0\n"), "/=Fixed;|/=Fixed;/data=Fixed;");
}
