// SPDX-License-Identifier: MIT
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A property every input must keep; a broken one is a finding.
inline void Check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// A file in memory that every input is written to, named by a path the real
// file layer opens.
inline const std::string& MemoryFile()
{
    static const int fd = ::memfd_create("input", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    return path;
}

// Makes the memory file hold the input.
inline void FillMemoryFile(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = MemoryFile();
    const int fd = std::stoi(path.substr(path.rfind('/') + 1));
    Check(::ftruncate(fd, 0) == 0 && ::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size), "memory file");
}
