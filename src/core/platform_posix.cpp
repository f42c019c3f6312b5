#include "platform.h"

#include "errors.h"
#include "text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <limits.h>
#include <mntent.h>
#include <new>
#include <set>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace varnoquil::platform {

namespace {

[[noreturn]] void raiseErrno()
{
    throw IoError(ioCodeFromErrno(errno));
}

bool writableByAnyone(mode_t mode)
{
    return (mode & 0222) != 0;
}

// A folder, or a file nobody may write, cannot be opened for writing.
void requireWritableFile(const struct stat& st)
{
    if (S_ISDIR(st.st_mode) || !writableByAnyone(st.st_mode))
        throw IoError(IoCode::AccessDenied);
}

int openChecked(const std::string& path, int flags)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        raiseErrno();
    return fd;
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool isFileSystemRoot(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) && std::strcmp(resolved, "/") == 0;
}

} // namespace

std::string lastComponent(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int ioCodeFromErrno(int err)
{
    switch (err) {
    case ENOENT: return IoCode::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL: return IoCode::InvalidFilename;
    case EMFILE:
    case ENFILE: return IoCode::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return IoCode::AccessDenied;
    case ENOSPC:
    case EDQUOT: return IoCode::DiskFull;
    default: return err;
    }
}

// --- BinaryFile ----------------------------------------------------------

BinaryFile BinaryFile::openExisting(const std::string& path)
{
    BinaryFile file(openChecked(path, O_RDWR));
    struct stat st {};
    if (::fstat(file.fd_, &st) != 0)
        raiseErrno();
    requireWritableFile(st);
    return file;
}

BinaryFile BinaryFile::create(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        requireWritableFile(st);
    return BinaryFile(openChecked(path, O_RDWR | O_CREAT | O_TRUNC));
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept : fd_(other.fd_)
{
    other.fd_ = -1;
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
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
        raiseErrno();
}

std::size_t BinaryFile::readSome(void* buffer, std::size_t n)
{
    ssize_t got;
    do {
        got = ::read(fd_, buffer, n);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        raiseErrno();
    return static_cast<std::size_t>(got);
}

void BinaryFile::readBlock(void* buffer, std::size_t n)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const std::size_t got = readSome(bytes + done, n - done);
        if (got == 0)
            throw IoError(IoCode::ReadBeyondEnd);
        done += got;
    }
}

void BinaryFile::writeBlock(const void* buffer, std::size_t n)
{
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(fd_, bytes + done, n - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            raiseErrno();
        if (put == 0)
            throw IoError(IoCode::DiskFull);
        done += static_cast<std::size_t>(put);
    }
}

void BinaryFile::writeAt(std::uint64_t offset, const void* buffer, std::size_t n)
{
    ssize_t put;
    do {
        put = ::pwrite(fd_, buffer, n, static_cast<off_t>(offset));
    } while (put < 0 && errno == EINTR);
    if (put < 0)
        raiseErrno();
    if (static_cast<std::size_t>(put) != n)
        throw IoError(IoCode::DiskFull);
}

std::uint64_t BinaryFile::size() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        raiseErrno();
    return static_cast<std::uint64_t>(st.st_size);
}

BinaryFile::Stamp BinaryFile::stamp() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        raiseErrno();
    return {static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

void BinaryFile::sync()
{
    if (::fsync(fd_) != 0)
        raiseErrno();
}

void BinaryFile::close()
{
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0)
        raiseErrno();
}

bool sameFile(const std::string& path, const std::string& other)
{
    struct stat a {}, b {};
    return ::stat(path.c_str(), &a) == 0 && ::stat(other.c_str(), &b) == 0 && a.st_dev == b.st_dev
        && a.st_ino == b.st_ino;
}

PendingFile PendingFile::create(const std::string& requestedTarget)
{
    // Write through a symbolic link to the file it names, as a plain
    // truncate-and-write would.
    std::string target = requestedTarget;
    char resolved[PATH_MAX];
    struct stat linkStat {};
    if (::lstat(target.c_str(), &linkStat) == 0 && S_ISLNK(linkStat.st_mode) && ::realpath(target.c_str(), resolved))
        target = resolved;

    struct stat existing {};
    const bool replacing = ::stat(target.c_str(), &existing) == 0;
    mode_t mode = 0666;
    if (replacing) {
        requireWritableFile(existing);
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }

    std::string tempName = folderOf(target) + "/." + lastComponent(target) + ".XXXXXX";
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0)
        raiseErrno();
    return PendingFile(target, tempName, BinaryFile(fd), replacing, mode);
}

PendingFile::PendingFile(std::string target, std::string tempName, BinaryFile temp, bool replacing, unsigned mode)
    : target_(std::move(target)), tempName_(std::move(tempName)), temp_(std::move(temp)), replacing_(replacing),
      mode_(mode)
{
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : target_(std::move(other.target_)), tempName_(std::move(other.tempName_)), temp_(std::move(other.temp_)),
      replacing_(other.replacing_), mode_(other.mode_)
{
    other.tempName_.clear();
}

PendingFile::~PendingFile()
{
    if (!tempName_.empty())
        ::unlink(tempName_.c_str());
}

namespace {

// Large enough that a copy takes few calls, small enough that progress shows.
constexpr std::size_t kCopyPiece = std::size_t(16) << 20;
// The buffer of a copy the kernel cannot make.
constexpr std::size_t kCopyBuffer = std::size_t(1) << 20;

// Copies up to n bytes from offset in one file to the same offset in the
// other inside the kernel. Returns how many were copied (0 at the source's
// end), or -1 when the kernel cannot copy between these two files.
ssize_t copyInKernel(int from, int to, std::uint64_t offset, std::size_t n)
{
    auto in = static_cast<off_t>(offset), out = static_cast<off_t>(offset);
    ssize_t done;
    do {
        done = ::copy_file_range(from, &in, to, &out, n, 0);
    } while (done < 0 && errno == EINTR);
    if (done >= 0)
        return done;
    switch (errno) {
    case EXDEV:  // different file systems
    case EOPNOTSUPP:
    case ENOSYS:
    case EINVAL:  // a file system without the operation
        return -1;
    default: raiseErrno();
    }
}

} // namespace

void PendingFile::copyFrom(BinaryFile& source, std::uint64_t length, const std::function<void(std::uint64_t)>& copied)
{
    bool inKernel = true;
    std::vector<unsigned char> buffer;
    for (std::uint64_t done = 0; done < length;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, kCopyPiece));
        ssize_t got = inKernel ? copyInKernel(source.fd_, temp_.fd_, done, n) : -1;
        if (got < 0) {
            inKernel = false;
            buffer.resize(kCopyBuffer);
            source.seek(done);
            got = static_cast<ssize_t>(source.readSome(buffer.data(), std::min(n, buffer.size())));
            temp_.writeAt(done, buffer.data(), static_cast<std::size_t>(got));
        }
        // The source ended early: it was cut short while it was read.
        if (got == 0)
            throw IoError(IoCode::ReadBeyondEnd);
        done += static_cast<std::uint64_t>(got);
        copied(static_cast<std::uint64_t>(got));
    }
}

void PendingFile::writeAt(std::uint64_t offset, const void* data, std::size_t n)
{
    temp_.writeAt(offset, data, n);
}

void PendingFile::commit()
{
    if (::fchmod(temp_.fd_, static_cast<mode_t>(mode_)) != 0)
        raiseErrno();
    // An existing file is only given up once its replacement is on disk.
    if (replacing_)
        temp_.sync();
    temp_.close();
    if (::rename(tempName_.c_str(), target_.c_str()) != 0)
        raiseErrno();
    tempName_.clear();
}

// --- memory --------------------------------------------------------------

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

bool usesMapping(std::size_t bytes)
{
    return bytes >= kHugePage;
}

std::size_t roundUpToHugePage(std::size_t bytes)
{
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

} // namespace

void* allocateImageMemory(std::size_t bytes)
{
    if (!usesMapping(bytes))
        return ::operator new(bytes);
    // Map one huge page more than needed, then trim both ends so that the
    // block starts on a huge-page boundary.
    const std::size_t size = roundUpToHugePage(bytes);
    void* mapped = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start)
        ::munmap(mapped, aligned - start);
    if (const std::size_t tail = start + kHugePage - aligned)
        ::munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* block = reinterpret_cast<void*>(aligned);
    // Both are hints; where the kernel lacks them the block still works.
    ::madvise(block, size, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    ::madvise(block, size, MADV_POPULATE_WRITE);
#endif
    return block;
}

void freeImageMemory(void* memory, std::size_t bytes)
{
    if (!usesMapping(bytes))
        ::operator delete(memory);
    else
        ::munmap(memory, roundUpToHugePage(bytes));
}

// --- folders -------------------------------------------------------------

char separator()
{
    return '/';
}

std::string currentDir()
{
    std::string buffer(PATH_MAX, '\0');
    if (!::getcwd(buffer.data(), buffer.size()))
        raiseErrno();
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

bool setCurrentDir(const std::string& path)
{
    return ::chdir(path.c_str()) == 0;
}

void changeDir(const std::string& path)
{
    if (::chdir(path.c_str()) != 0)
        raiseErrno();
}

std::string executablePath()
{
    std::string buffer(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0)
        raiseErrno();
    buffer.resize(static_cast<std::size_t>(n));
    return buffer;
}

Attributes attributesOf(const std::string& path)
{
    // A symbolic link that leads nowhere (dangling or looping) is a file of
    // its own: it can be deleted like one.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)))
        return Attributes{true, true, true};
    const std::string name = lastComponent(path);
    return Attributes{S_ISDIR(st.st_mode), !name.empty() && name[0] == '.' && name != "..",
                      !writableByAnyone(st.st_mode)};
}

std::vector<DirEntry> listDirectory(const std::string& path)
{
    std::vector<DirEntry> entries;
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return entries;
    while (const dirent* item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        // A link that leads nowhere is listed as the file it is; any other
        // entry that cannot be looked at counts as a folder.
        struct stat st {};
        const bool known = ::fstatat(::dirfd(dir), item->d_name, &st, 0) == 0
                           || (::fstatat(::dirfd(dir), item->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
                               && S_ISLNK(st.st_mode));
        entries.push_back({name, !known || S_ISDIR(st.st_mode), name[0] == '.'});
    }
    ::closedir(dir);

    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        const std::string la = LowerAscii(a.name), lb = LowerAscii(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
    if (!isFileSystemRoot(path))
        entries.insert(entries.begin(), DirEntry{"..", true, false});
    return entries;
}

bool deleteFile(const std::string& path)
{
    // A read-only file is protected from deletion, as on the systems where
    // the attribute means just that.
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    if (!S_ISLNK(st.st_mode) && !writableByAnyone(st.st_mode))
        return false;
    return ::unlink(path.c_str()) == 0;
}

// --- drives --------------------------------------------------------------

namespace {

bool isPseudoFileSystem(const std::string& type)
{
    static const std::set<std::string> pseudo = {
        "proc", "sysfs", "cgroup", "cgroup2", "devpts", "devtmpfs", "mqueue", "debugfs", "tracefs",
        "securityfs", "pstore", "bpf", "autofs", "hugetlbfs", "configfs", "fusectl", "binfmt_misc",
        "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal"};
    return pseudo.count(type) != 0;
}

bool isSystemMountPoint(const std::string& dir)
{
    auto under = [&](const std::string& top) { return dir == top || dir.rfind(top + "/", 0) == 0; };
    if (under("/run/media"))
        return false;
    return under("/proc") || under("/sys") || under("/dev") || under("/run") || under("/boot/efi");
}

bool isDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string resolvedPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// Labels appear as links in /dev/disk/by-label, with "\x20" for a blank.
std::string volumeLabel(const std::string& device)
{
    const std::string deviceTarget = resolvedPath(device);
    if (deviceTarget.empty())
        return {};
    const std::string folder = "/dev/disk/by-label";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return {};
    std::string label;
    while (const dirent* item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (name[0] != '.' && resolvedPath(folder + "/" + name) == deviceTarget) {
            label = name;
            break;
        }
    }
    ::closedir(dir);
    for (std::size_t at; (at = label.find("\\x")) != std::string::npos && at + 4 <= label.size();)
        label.replace(at, 4, 1, static_cast<char>(std::strtol(label.substr(at + 2, 2).c_str(), nullptr, 16)));
    return label;
}

bool isRemovableDevice(const std::string& device)
{
    const std::string name = lastComponent(resolvedPath(device));
    if (name.empty())
        return false;
    // Partitions (sdb1) carry the flag on their disk (sdb).
    for (std::string disk = name; !disk.empty(); disk.pop_back()) {
        std::ifstream flag("/sys/block/" + disk + "/removable");
        char value = '0';
        if (flag >> value)
            return value == '1';
    }
    return false;
}

std::string driveKind(const std::string& type, const std::string& device)
{
    static const std::set<std::string> remote = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs",
                                                 "sshfs", "9p", "ceph", "glusterfs", "afs"};
    if (remote.count(type))
        return "Remote";
    if (type == "iso9660" || type == "udf")
        return "CDROM";
    if (type == "tmpfs" || type == "ramfs")
        return "RAM";
    return isRemovableDevice(device) ? "Removable" : "Fixed";
}

} // namespace

std::vector<Drive> listDrives()
{
    std::vector<Drive> drives;
    FILE* mounts = ::setmntent("/proc/self/mounts", "r");
    if (!mounts)
        return {Drive{"/", "Fixed"}};
    while (const mntent* m = ::getmntent(mounts)) {
        const std::string dir = m->mnt_dir, type = m->mnt_type, device = m->mnt_fsname;
        if (isPseudoFileSystem(type) || isSystemMountPoint(dir) || !isDirectory(dir))
            continue;
        std::string text = volumeLabel(device);
        if (text.empty())
            text = driveKind(type, device);
        // A later mount over the same point hides the earlier one.
        auto same = std::find_if(drives.begin(), drives.end(), [&](const Drive& d) { return d.root == dir; });
        if (same != drives.end())
            same->text = text;
        else
            drives.push_back({dir, text});
    }
    ::endmntent(mounts);
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
