// SPDX-License-Identifier: MIT
// BinaryFile on Windows: disk files only, opened so that other programs may
// go on reading them, and reads and writes checked as soon as they return.
#include "platform/platform.h"

#include "platform/win32_common.h"

#include <algorithm>

namespace varnoquil::platform {

using namespace win32;

namespace {

HANDLE handleOf(FileHandle fd)
{
    return static_cast<HANDLE>(fd);
}

// Opens an existing disk file. Others may read it meanwhile, and a reader
// lets others write it too, as a viewer does; a file being changed in place
// is not written by anyone else.
BinaryFile openDiskFile(const std::string& path, DWORD access)
{
    const DWORD attributes = requireRegularPath(path, Role::Input);
    if ((access & GENERIC_WRITE) && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw IoError(IoCode::AccessDenied);
    const DWORD share = (access & GENERIC_WRITE) ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    const HANDLE handle = ::CreateFileW(widePath(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        raiseLastError();
    BinaryFile file = BinaryFile::adopt(handle, path);
    requireDiskFile(handle, Role::Input);
    return file;
}

BY_HANDLE_FILE_INFORMATION informationOf(HANDLE handle, const std::string& path)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info))
        raiseLastError(path);
    return info;
}

std::uint64_t joined(DWORD high, DWORD low)
{
    return static_cast<std::uint64_t>(high) << 32 | low;
}

} // namespace

BinaryFile BinaryFile::openForReading(const std::string& path)
{
    return ForFile(path, [&] { return openDiskFile(path, GENERIC_READ); });
}

BinaryFile BinaryFile::openExisting(const std::string& path)
{
    return ForFile(path, [&] { return openDiskFile(path, GENERIC_READ | GENERIC_WRITE); });
}

BinaryFile BinaryFile::adopt(FileHandle fd, std::string path)
{
    return BinaryFile(fd, std::move(path));
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_))
{
    other.fd_ = nullptr;
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept
{
    if (this != &other) {
        if (fd_)
            ::CloseHandle(handleOf(fd_));
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = nullptr;
    }
    return *this;
}

BinaryFile::~BinaryFile()
{
    if (fd_)
        ::CloseHandle(handleOf(fd_));
}

void BinaryFile::seek(std::uint64_t offset)
{
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(handleOf(fd_), to, nullptr, FILE_BEGIN))
        raiseLastError(path_);
}

std::size_t BinaryFile::readSome(void* buffer, std::size_t n)
{
    DWORD got = 0;
    const auto asked = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    if (!::ReadFile(handleOf(fd_), buffer, asked, &got, nullptr))
        raiseLastError(path_);
    return got;
}

// Writes at an offset and leaves the position for reading where it was, as
// the POSIX call does.
void BinaryFile::writeAt(std::uint64_t offset, const void* buffer, std::size_t n)
{
    LARGE_INTEGER position{};
    if (!::SetFilePointerEx(handleOf(fd_), LARGE_INTEGER{}, &position, FILE_CURRENT))
        raiseLastError(path_);
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    for (std::size_t done = 0; done < n;) {
        OVERLAPPED at{};
        const std::uint64_t where = offset + done;
        at.Offset = static_cast<DWORD>(where);
        at.OffsetHigh = static_cast<DWORD>(where >> 32);
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(handleOf(fd_), bytes + done, piece, &put, &at))
            raiseLastError(path_);
        if (put == 0)
            RaiseFor(IoError(IoCode::DiskFull), path_);
        done += put;
    }
    seek(static_cast<std::uint64_t>(position.QuadPart));
}

std::uint64_t BinaryFile::size() const
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handleOf(fd_), &size))
        raiseLastError(path_);
    return static_cast<std::uint64_t>(size.QuadPart);
}

BinaryFile::Stamp BinaryFile::stamp() const
{
    const BY_HANDLE_FILE_INFORMATION info = informationOf(handleOf(fd_), path_);
    // File times count 100 ns steps.
    const std::uint64_t written = joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    return {joined(info.nFileSizeHigh, info.nFileSizeLow), static_cast<std::int64_t>(written) * 100};
}

void BinaryFile::sync()
{
    if (!::FlushFileBuffers(handleOf(fd_)))
        raiseLastError(path_);
}

void BinaryFile::close()
{
    const HANDLE handle = handleOf(fd_);
    fd_ = nullptr;
    if (handle && !::CloseHandle(handle))
        raiseLastError(path_);
}

std::optional<FileIdentity> identityOf(const std::string& path)
{
    // Asking for no access reads the identity even of a file another
    // program holds without sharing.
    const HANDLE handle
        = ::CreateFileW(widePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info);
    ::CloseHandle(handle);
    if (!known)
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, joined(info.nFileIndexHigh, info.nFileIndexLow)};
}

} // namespace varnoquil::platform
