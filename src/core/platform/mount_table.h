// SPDX-License-Identifier: MIT
#pragma once

#include "platform/platform.h"

#include <functional>
#include <string>
#include <vector>

namespace varnoquil::platform {

// What the mount table does not say about a mounted device, asked of the
// system only for the mounts that are kept.
struct DeviceQueries {
    // The device's volume label; empty when it has none.
    std::function<std::string(const std::string& device)> volumeLabel;
    // True when the device sits on a removable disk.
    std::function<bool(const std::string& device)> isRemovable;
};

// The browsable drives of a mount table in the format of /proc/self/mounts
// (device, mount point, type, options, one mount a line, blanks in names
// written as octal escapes such as "\040"). Pseudo file systems and the
// system's own mount points are left out. A drive shows its volume label, or
// else its kind: "Remote", "CDROM", "RAM", "Removable" or "Fixed". A later
// mount over the same point hides the earlier one. The root comes first,
// added as "Fixed" when the table lacks it, then the rest by mount point.
std::vector<Drive> drivesFromMountTable(const std::string& table, const DeviceQueries& devices);

} // namespace varnoquil::platform
