// SPDX-License-Identifier: MIT
// PendingFile: a file written in full beside its target, then renamed over it.
#include "platform/platform.h"

#include "platform/posix_common.h"
#include "platform/posix_signal_cleanup.h"

#include <algorithm>
#include <climits>
#include <fcntl.h>
#include <random>
#include <unistd.h>
#include <utility>
#include <vector>

namespace varnoquil::platform {

using namespace posix;

namespace {

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
        // NOLINTNEXTLINE(performance-inefficient-string-concatenation): once per link, beside two system calls
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
    static std::mt19937_64 rng(std::random_device{}() ^ static_cast<std::uint64_t>(::getpid()) << 32);
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

// Large enough that a copy takes few calls, small enough that progress shows.
constexpr std::size_t kCopyPiece = std::size_t(16) << 20;
// The buffer of a copy the kernel cannot make.
constexpr std::size_t kCopyBuffer = std::size_t(1) << 20;

// Copies up to n bytes from offset in one file to the same offset in the
// other inside the kernel. Returns how many were copied (0 at the source's
// end), or -1 when the kernel did not copy: between these two files it
// cannot, or one of them failed, which a copy through this process then
// tells apart.
ssize_t copyInKernel(int from, int to, std::uint64_t offset, std::size_t n)
{
    auto in = static_cast<off_t>(offset), out = static_cast<off_t>(offset);
    ssize_t done;
    do {
        done = ::copy_file_range(from, &in, to, &out, n, 0);
    } while (done < 0 && errno == EINTR);
    return done;
}

} // namespace

PendingFile PendingFile::create(const std::string& requestedTarget)
{
    return ForFile(requestedTarget, [&] {
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
            // A new file is created as a plain create would make it: 0666
            // less the umask. A replacement stays private until it takes the
            // replaced file's mode at commit.
            const int fd = ::open(tempName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
            if (fd < 0 && (errno == EEXIST || errno == EINTR))
                continue;
            if (fd < 0)
                raiseErrno();
            return PendingFile(target, tempName, BinaryFile::adopt(fd, requestedTarget), replacing,
                               existing.st_mode & 07777, claimSlot(tempName));
        }
    });
}

PendingFile::~PendingFile()
{
    if (tempName_.empty())
        return;
    const SignalBlock block;
    ::unlink(tempName_.c_str());
    releaseSlot(slot_);
}

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
            RaiseFor(IoError(IoCode::ReadBeyondEnd), source.path());
        done += static_cast<std::uint64_t>(got);
        copied(static_cast<std::uint64_t>(got));
    }
}

void PendingFile::commit()
{
    // An existing file is only given up once its replacement is on disk,
    // with the replaced file's mode.
    if (replacing_) {
        if (::fchmod(temp_.fd_, static_cast<mode_t>(mode_)) != 0)
            raiseErrno(temp_.path());
        temp_.sync();
    }
    temp_.close();
    const SignalBlock block;
    if (::rename(tempName_.c_str(), target_.c_str()) != 0)
        raiseErrno(temp_.path());
    tempName_.clear();
    releaseSlot(slot_);
    slot_ = -1;
}

} // namespace varnoquil::platform
