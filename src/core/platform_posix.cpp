// SPDX-License-Identifier: MIT
#include "platform.h"

#include "errors.h"
#include "text.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <limits.h>
#include <mntent.h>
#include <new>
#include <pthread.h>
#include <random>
#include <set>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#ifdef __linux__
#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/sysinfo.h>
#endif

namespace varnoquil::platform {

namespace {

[[noreturn]] void raiseErrno()
{
    throw IoError::fromErrno(errno);
}

bool writableByAnyone(mode_t mode)
{
    return (mode & 0222) != 0;
}

using Role = NotRegularFileError::Role;

// Only regular files are read or replaced as ROM images. A folder keeps the
// error a folder opened as a file has always given.
void requireRegularFile(const struct stat& st, Role role)
{
    if (S_ISDIR(st.st_mode))
        throw IoError(IoCode::AccessDenied);
    if (!S_ISREG(st.st_mode))
        throw NotRegularFileError(role);
}

// A file nobody may write is read-only, and stays so even for root.
void requireWritableFile(const struct stat& st)
{
    if (!writableByAnyone(st.st_mode))
        throw IoError(IoCode::AccessDenied);
}

// Files of the kernel's interface file systems are regular files whose size
// says nothing of their content (most of /proc reads as size 0, all of /sys as
// 4096): they are not images.
bool isKernelInterfaceFile(int fd)
{
#ifdef __linux__
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0)
        return false;
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
    case SELINUX_MAGIC:
        return true;
    default:
        return false;
    }
#else
    (void)fd;
    return false;
#endif
}

int openChecked(const std::string& path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
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
    const int fd = openChecked(path, access | O_NOCTTY | O_NONBLOCK);
    BinaryFile file = BinaryFile::adopt(fd);
    requireRegularFile(statOf(fd), Role::Input);
    if (isKernelInterfaceFile(fd))
        throw NotRegularFileError(Role::Input);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return file;
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

// --- BinaryFile ----------------------------------------------------------

BinaryFile BinaryFile::openForReading(const std::string& path)
{
    return openRegularFile(path, O_RDONLY);
}

BinaryFile BinaryFile::openExisting(const std::string& path)
{
    BinaryFile file = openRegularFile(path, O_RDWR);
    requireWritableFile(statOf(file.fd_));
    return file;
}

BinaryFile BinaryFile::create(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        requireRegularFile(st, Role::Output);
        requireWritableFile(st);
    }
    return BinaryFile(openChecked(path, O_RDWR | O_CREAT | O_TRUNC, 0666));
}

BinaryFile BinaryFile::adopt(int fd)
{
    return BinaryFile(fd);
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

// --- PendingFile ---------------------------------------------------------

namespace {

// The signals whose default action ends the process and that a pending file
// is removed on. SIGXFSZ comes when a write passes the file size limit.
constexpr int kCleanupSignals[] = {SIGHUP, SIGINT, SIGPIPE, SIGTERM, SIGXFSZ};

// Temporary names the signal handler removes. The handler may only make
// async-signal-safe calls, so the names sit in fixed buffers, and a slot is
// only filled or emptied while the signals are blocked.
struct PendingSlot {
    volatile sig_atomic_t used;
    char path[PATH_MAX];
};
PendingSlot pendingSlots[16];

extern "C" void removePendingFilesAndEnd(int signal)
{
    for (const PendingSlot& slot : pendingSlots)
        if (slot.used)
            ::unlink(slot.path);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    ::sigemptyset(&byDefault.sa_mask);
    ::sigaction(signal, &byDefault, nullptr);
    // Delivered with the default action as soon as the handler returns.
    ::raise(signal);
}

// Takes over the signals that still have their default action; ignored
// signals and other handlers are left as they are.
void catchEndingSignals()
{
    for (const int signal : kCleanupSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO)
            || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction handler {};
        handler.sa_handler = removePendingFilesAndEnd;
        ::sigemptyset(&handler.sa_mask);
        for (const int other : kCleanupSignals)
            ::sigaddset(&handler.sa_mask, other);
        ::sigaction(signal, &handler, nullptr);
    }
}

// Blocks the cleanup signals for its lifetime.
class SignalBlock {
public:
    SignalBlock()
    {
        sigset_t set;
        ::sigemptyset(&set);
        for (const int signal : kCleanupSignals)
            ::sigaddset(&set, signal);
        ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
    }
    ~SignalBlock() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalBlock(const SignalBlock&) = delete;
    SignalBlock& operator=(const SignalBlock&) = delete;

private:
    sigset_t previous_;
};

// Claims a slot for a temporary name; -1 when the name does not fit or every
// slot is taken (the file is then only removed by the destructor).
int claimSlot(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < static_cast<int>(std::size(pendingSlots)); ++i) {
        PendingSlot& slot = pendingSlots[i];
        if (!slot.used) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.used = 1;
            return i;
        }
    }
    return -1;
}

void releaseSlot(int slot)
{
    if (slot >= 0)
        pendingSlots[slot].used = 0;
}

// Follows a chain of symbolic links to the path that it ends at, which may
// not exist. A chain too long to end (a loop) names no file at all.
std::string followLinks(std::string path)
{
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0)
            raiseErrno();
        target.resize(static_cast<std::size_t>(n));
        path = !target.empty() && target[0] == '/' ? target : folderOf(path) + "/" + target;
    }
    throw NotRegularFileError(Role::Output);
}

std::size_t nameLimit(const std::string& folder)
{
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

std::string randomLetters(std::size_t n)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937_64 rng(std::random_device {}() ^ static_cast<std::uint64_t>(::getpid()) << 32);
    std::string text(n, ' ');
    for (char& c : text)
        c = letters[rng() % (sizeof letters - 1)];
    return text;
}

// A hidden name beside the target that shows whose it is: ".NAME.XXXXXX",
// with NAME shortened so that the whole fits the folder's name limit.
std::string temporaryName(const std::string& target)
{
    const std::string folder = folderOf(target);
    const std::size_t suffix = 1 + 6;
    const std::size_t room = nameLimit(folder) - 1 - suffix;
    return folder + "/." + lastComponent(target).substr(0, room) + "." + randomLetters(6);
}

} // namespace

PendingFile PendingFile::create(const std::string& requestedTarget)
{
    const std::string target = followLinks(requestedTarget);

    struct stat existing {};
    const bool replacing = ::stat(target.c_str(), &existing) == 0;
    if (replacing) {
        requireRegularFile(existing, Role::Output);
        requireWritableFile(existing);
        if (::access(target.c_str(), W_OK) != 0)
            raiseErrno();
    } else if (errno != ENOENT) {
        raiseErrno();
    }

    catchEndingSignals();
    for (;;) {
        const std::string tempName = temporaryName(target);
        const SignalBlock block;
        // A new file is created as a plain create would make it: 0666 less
        // the umask. A replacement stays private until it takes the replaced
        // file's mode at commit.
        const int fd = ::open(tempName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd < 0 && (errno == EEXIST || errno == EINTR))
            continue;
        if (fd < 0)
            raiseErrno();
        return PendingFile(target, tempName, BinaryFile::adopt(fd), replacing, existing.st_mode & 07777,
                           claimSlot(tempName));
    }
}

PendingFile::PendingFile(std::string target, std::string tempName, BinaryFile temp, bool replacing, unsigned mode,
                         int slot)
    : target_(std::move(target)), tempName_(std::move(tempName)), temp_(std::move(temp)), replacing_(replacing),
      mode_(mode), slot_(slot)
{
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : target_(std::move(other.target_)), tempName_(std::move(other.tempName_)), temp_(std::move(other.temp_)),
      replacing_(other.replacing_), mode_(other.mode_), slot_(other.slot_)
{
    other.tempName_.clear();
    other.slot_ = -1;
}

PendingFile::~PendingFile()
{
    if (tempName_.empty())
        return;
    const SignalBlock block;
    ::unlink(tempName_.c_str());
    releaseSlot(slot_);
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
    // An existing file is only given up once its replacement is on disk,
    // with the replaced file's mode.
    if (replacing_) {
        if (::fchmod(temp_.fd_, static_cast<mode_t>(mode_)) != 0)
            raiseErrno();
        temp_.sync();
    }
    temp_.close();
    const SignalBlock block;
    if (::rename(tempName_.c_str(), target_.c_str()) != 0)
        raiseErrno();
    tempName_.clear();
    releaseSlot(slot_);
    slot_ = -1;
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

// More than the machine's memory and swap together can never be filled; a
// system that overcommits would map it and then end some process when the
// pages are touched.
bool exceedsSystemMemory(std::size_t bytes)
{
#ifdef __linux__
    struct sysinfo info {};
    if (::sysinfo(&info) != 0)
        return false;
    const double total = (static_cast<double>(info.totalram) + static_cast<double>(info.totalswap)) * info.mem_unit;
    return static_cast<double>(bytes) > total;
#else
    (void)bytes;
    return false;
#endif
}

} // namespace

void* allocateImageMemory(std::size_t bytes)
{
    if (!usesMapping(bytes)) {
        try {
            return ::operator new(bytes);
        } catch (const std::bad_alloc&) {
            throw NotEnoughMemoryError();
        }
    }
    if (exceedsSystemMemory(bytes))
        throw NotEnoughMemoryError();
    // Map one huge page more than needed, then trim both ends so that the
    // block starts on a huge-page boundary.
    const std::size_t size = roundUpToHugePage(bytes);
    void* mapped = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw NotEnoughMemoryError();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start)
        ::munmap(mapped, aligned - start);
    if (const std::size_t tail = start + kHugePage - aligned)
        ::munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* block = reinterpret_cast<void*>(aligned);
    // Both are hints; where the kernel lacks them the block still works. But
    // memory the kernel cannot populate now would fail later at a random
    // write, so that is reported here.
    ::madvise(block, size, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    if (::madvise(block, size, MADV_POPULATE_WRITE) != 0 && errno == ENOMEM) {
        ::munmap(block, size);
        throw NotEnoughMemoryError();
    }
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

bool isDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isSymbolicLink(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
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
