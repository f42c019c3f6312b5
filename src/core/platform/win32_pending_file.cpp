// SPDX-License-Identifier: MIT
// PendingFile on Windows: a file written in full beside its target, marked
// for deletion until it is moved into the target's place, so that the
// system removes it when the program ends before that in any way.
#include "platform/platform.h"

#include "platform/win32_common.h"

#include <algorithm>
#include <vector>

namespace varnoquil::platform {

using namespace win32;

namespace {

// The longest name NTFS and FAT keep.
constexpr std::size_t kNameLimit = 255;
constexpr std::size_t kCopyBuffer = std::size_t(1) << 20;

// Checks that an existing target may be replaced: a disk file that is not
// read-only and that this program may open for writing.
void requireReplaceable(const std::string& target, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY)
        throw IoError(IoCode::AccessDenied);
    HANDLE handle = INVALID_HANDLE_VALUE;
    const std::wstring path = widePath(target);
    const bool opened = retryWhileShared([&] {
        handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle != INVALID_HANDLE_VALUE;
    });
    if (!opened)
        raiseLastError();
    const BinaryFile probe = BinaryFile::adopt(handle, target);
    requireDiskFile(handle, Role::Output);
}

// "NAME.~PID-N.tmp" beside the target, with NAME shortened to fit.
std::string temporaryName(const std::string& target, unsigned attempt)
{
    const std::string suffix = ".~" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(attempt) + ".tmp";
    const std::string name = lastComponent(target).substr(0, kNameLimit - suffix.size());
    return folderOf(target) + "\\" + name + suffix;
}

// Gives the written file the attributes of the file it replaces (hidden,
// system, archive, ...), which a rename would not carry over.
void setAttributes(HANDLE handle, DWORD attributes)
{
    FILE_BASIC_INFO info{};
    info.FileAttributes = attributes;
    if (!::SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info))
        raiseLastError();
}

void setDeleteOnClose(HANDLE handle, bool remove)
{
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove;
    if (!::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition))
        raiseLastError();
}

// Creates the temporary file, marked for deletion when its handle closes;
// none when the name is taken.
std::optional<BinaryFile> createTemporary(const std::string& tempName, const std::string& target)
{
    const HANDLE handle = ::CreateFileW(widePath(tempName).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                        FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS)
        return std::nullopt;
    if (handle == INVALID_HANDLE_VALUE)
        raiseLastError();
    BinaryFile file = BinaryFile::adopt(handle, target);
    setDeleteOnClose(handle, true);
    return file;
}

// Puts the written file in the target's place. Replacing keeps the target's
// attributes, creation time and permissions; a replacement that the system
// could not rename after it removed the target is moved there instead.
void moveIntoPlace(const std::wstring& temp, const std::wstring& target, bool replacing)
{
    const DWORD flags = REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS;
    const bool moved = replacing && retryWhileShared([&] {
                           return ::ReplaceFileW(target.c_str(), temp.c_str(), nullptr, flags, nullptr, nullptr) != 0;
                       });
    if (moved)
        return;
    if (replacing && ::GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        raiseLastError();
    const DWORD moveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!retryWhileShared([&] { return ::MoveFileExW(temp.c_str(), target.c_str(), moveFlags) != 0; }))
        raiseLastError();
}

} // namespace

PendingFile PendingFile::create(const std::string& target)
{
    return ForFile(target, [&] {
        const DWORD attributes = requireRegularPath(target, Role::Output);
        const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
        if (replacing)
            requireReplaceable(target, attributes);
        else if (::GetLastError() != ERROR_FILE_NOT_FOUND)
            raiseLastError();

        for (unsigned attempt = 0;; ++attempt) {
            const std::string tempName = temporaryName(target, attempt);
            if (std::optional<BinaryFile> temp = createTemporary(tempName, target))
                return PendingFile(target, tempName, std::move(*temp), replacing, replacing ? attributes : 0, -1);
        }
    });
}

PendingFile::~PendingFile()
{
    if (tempName_.empty())
        return;
    try {
        // Closing the file removes it while it is marked; a file whose mark
        // was taken off for a move that then failed is removed by name.
        temp_.close();
        ::DeleteFileW(widePath(tempName_).c_str());
    } catch (const Error&) {
        // Nothing more can be done from a destructor.
    }
}

void PendingFile::copyFrom(BinaryFile& source, std::uint64_t length, const std::function<void(std::uint64_t)>& copied)
{
    std::vector<unsigned char> buffer(kCopyBuffer);
    source.seek(0);
    for (std::uint64_t done = 0; done < length;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, buffer.size()));
        const std::size_t got = source.readSome(buffer.data(), n);
        // The source ended early: it was cut short while it was read.
        if (got == 0)
            RaiseFor(IoError(IoCode::ReadBeyondEnd), source.path());
        temp_.writeAt(done, buffer.data(), got);
        done += got;
        copied(got);
    }
}

void PendingFile::commit()
{
    // An existing file is only given up once its replacement is on disk,
    // with the replaced file's attributes.
    if (replacing_) {
        ForFile(temp_.path(), [&] { setAttributes(static_cast<HANDLE>(temp_.fd_), mode_); });
        temp_.sync();
    }
    ForFile(temp_.path(), [&] { setDeleteOnClose(static_cast<HANDLE>(temp_.fd_), false); });
    temp_.close();
    ForFile(temp_.path(), [&] { moveIntoPlace(widePath(tempName_), widePath(target_), replacing_); });
    tempName_.clear();
}

} // namespace varnoquil::platform
