// SPDX-License-Identifier: MIT
#pragma once

#include "errors.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

// Checks and path helpers shared by the POSIX files of the platform layer.
namespace varnoquil::platform::posix {

[[noreturn]] inline void raiseErrno(const std::string& path = {})
{
    RaiseFor(IoError::fromErrno(errno), path);
}

inline bool writableByAnyone(mode_t mode)
{
    return (mode & 0222) != 0;
}

using Role = NotRegularFileError::Role;

// Only regular files are read or replaced as ROM images. A folder keeps the
// error a folder opened as a file has always given.
void requireRegularFile(const struct stat& st, Role role);

// A file nobody may write is read-only, and stays so even for root.
void requireWritableFile(const struct stat& st);

// The path with every link and "." or ".." resolved; empty when it does not
// lead to an existing file.
std::string resolvedPath(const std::string& path);

// The volume label a folder of label links (as /dev/disk/by-label) gives the
// device: the name of the link that leads to it, with each "\xHH" read as
// the character it stands for; empty when none does.
std::string volumeLabelIn(const std::string& labelFolder, const std::string& device);

// True when a folder laid out as /sys/block flags the device's disk as
// removable; a partition (sdb1) takes the flag of its disk (sdb).
bool isRemovableIn(const std::string& blockFolder, const std::string& device);

} // namespace varnoquil::platform::posix
