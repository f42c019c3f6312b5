// SPDX-License-Identifier: MIT
// BinaryFile: opening regular files only, and reads and writes checked as
// soon as they return.
#include "platform/platform.h"

#include "platform/posix_common.h"

#include <fcntl.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/magic.h>
#include <sys/statfs.h>
#endif

namespace varnoquil::platform {

using namespace posix;

namespace {

// Files of the kernel's interface file systems are regular files whose size
// says nothing of their content (most of /proc reads as size 0, all of /sys as
// 4096): they are not images. The path is looked at before it is opened, as
// opening some of them for writing acts on the kernel, and the open file
// again.
#ifdef __linux__
bool isKernelFileSystem(const struct statfs& fs)
{
    switch (static_cast<unsigned long>(fs.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case EFIVARFS_MAGIC:
    case SELINUX_MAGIC: return true;
    default: return false;
    }
}

bool isKernelInterfaceFile(const std::string& path)
{
    struct statfs fs {};
    return ::statfs(path.c_str(), &fs) == 0 && isKernelFileSystem(fs);
}

bool isKernelInterfaceFile(int fd)
{
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 && isKernelFileSystem(fs);
}
#else
template <typename PathOrDescriptor>
bool isKernelInterfaceFile(const PathOrDescriptor&)
{
    return false;
}
#endif

int openChecked(const std::string& path, int flags)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        raiseErrno();
    return fd;
}

struct stat statOf(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        raiseErrno();
    return st;
}

// Opens an existing regular file. The path is looked at before it is opened,
// so that a FIFO, a device or a socket is never opened (opening one can
// block or act on the device), and the open file again, in case the path was
// swapped in between.
BinaryFile openRegularFile(const std::string& path, int access)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ELOOP)
            throw NotRegularFileError(Role::Input);
        raiseErrno();
    }
    requireRegularFile(st, Role::Input);
    if (isKernelInterfaceFile(path))
        throw NotRegularFileError(Role::Input);
    const int fd = openChecked(path, access | O_NOCTTY | O_NONBLOCK);
    BinaryFile file = BinaryFile::adopt(fd, path);
    requireRegularFile(statOf(fd), Role::Input);
    if (isKernelInterfaceFile(fd))
        throw NotRegularFileError(Role::Input);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return file;
}

} // namespace

BinaryFile BinaryFile::openForReading(const std::string& path)
{
    return ForFile(path, [&] { return openRegularFile(path, O_RDONLY); });
}

BinaryFile BinaryFile::openExisting(const std::string& path)
{
    return ForFile(path, [&] {
        BinaryFile file = openRegularFile(path, O_RDWR);
        requireWritableFile(statOf(file.fd_));
        return file;
    });
}

BinaryFile BinaryFile::adopt(int fd, std::string path)
{
    return BinaryFile(fd, std::move(path));
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_))
{
    other.fd_ = -1;
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

BinaryFile::~BinaryFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void BinaryFile::seek(std::uint64_t offset)
{
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
        raiseErrno(path_);
}

std::size_t BinaryFile::readSome(void* buffer, std::size_t n)
{
    ssize_t got;
    do {
        got = ::read(fd_, buffer, n);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        raiseErrno(path_);
    return static_cast<std::size_t>(got);
}

void BinaryFile::writeAt(std::uint64_t offset, const void* buffer, std::size_t n)
{
    ssize_t put;
    do {
        put = ::pwrite(fd_, buffer, n, static_cast<off_t>(offset));
    } while (put < 0 && errno == EINTR);
    if (put < 0)
        raiseErrno(path_);
    if (static_cast<std::size_t>(put) != n)
        RaiseFor(IoError(IoCode::DiskFull), path_);
}

std::uint64_t BinaryFile::size() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        raiseErrno(path_);
    return static_cast<std::uint64_t>(st.st_size);
}

BinaryFile::Stamp BinaryFile::stamp() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        raiseErrno(path_);
    return {static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

void BinaryFile::sync()
{
    if (::fsync(fd_) != 0)
        raiseErrno(path_);
}

void BinaryFile::close()
{
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0)
        raiseErrno(path_);
}

std::optional<FileIdentity> identityOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

} // namespace varnoquil::platform
