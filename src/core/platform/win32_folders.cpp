// SPDX-License-Identifier: MIT
// Folders on Windows: both separators, drive letters and network shares.
#include "platform/platform.h"

#include "platform/win32_common.h"

namespace varnoquil::platform {

using namespace win32;

namespace {

bool startsWithDrive(const std::string& path)
{
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// The length of the root a path starts with: "C:\" (3), "C:" (2), "\" (1),
// "\\server\share\" (all of it), or 0 for a relative path.
std::size_t rootLength(const std::string& path)
{
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        const std::size_t server = path.find_first_of("\\/", 2);
        const std::size_t share = server == std::string::npos ? server : path.find_first_of("\\/", server + 1);
        return share == std::string::npos ? path.size() : share + 1;
    }
    if (startsWithDrive(path))
        return path.size() > 2 && isSeparator(path[2]) ? 3 : 2;
    return !path.empty() && isSeparator(path[0]) ? 1 : 0;
}

DWORD attributesOfPath(const std::string& path)
{
    try {
        return ::GetFileAttributesW(widePath(path).c_str());
    } catch (const IoError&) {
        return INVALID_FILE_ATTRIBUTES;
    }
}

std::wstring searchPattern(const std::string& folder)
{
    const bool ends = !folder.empty() && isSeparator(folder.back());
    return widePath(folder + (ends ? "*" : "\\*"));
}

// A search of a folder's entries, closed when it goes.
class FolderSearch {
public:
    explicit FolderSearch(const std::string& folder)
        : handle_(::FindFirstFileExW(searchPattern(folder).c_str(), FindExInfoBasic, &found_, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH))
    {
        // Only an empty drive has no entry at all, not even ".".
        if (handle_ == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_NOT_FOUND)
            raiseLastError(folder);
    }
    FolderSearch(const FolderSearch&) = delete;
    FolderSearch& operator=(const FolderSearch&) = delete;
    ~FolderSearch()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            ::FindClose(handle_);
    }
    // The entry found last; none once every entry has been given.
    const WIN32_FIND_DATAW* current() const { return handle_ == INVALID_HANDLE_VALUE || done_ ? nullptr : &found_; }
    void next()
    {
        if (::FindNextFileW(handle_, &found_))
            return;
        if (::GetLastError() != ERROR_NO_MORE_FILES)
            raiseLastError();
        done_ = true;
    }

private:
    WIN32_FIND_DATAW found_{};
    HANDLE handle_;
    bool done_ = false;
};

} // namespace

char separator()
{
    return '\\';
}

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

char pathListSeparator()
{
    return ';';
}

std::string absolutePath(const std::string& path)
{
    const std::optional<std::wstring> full = fullPathOf(widePath(path));
    if (!full)
        raiseLastError(path);
    return utf8Text(*full);
}

bool sameName(const std::string& a, const std::string& b)
{
    const std::wstring wideA = wideText(a), wideB = wideText(b);
    return ::CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                  static_cast<int>(wideB.size()), TRUE)
        == CSTR_EQUAL;
}

std::string lastComponent(const std::string& path)
{
    const std::size_t root = rootLength(path);
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos || slash < root)
        return path.substr(root);
    return path.substr(slash + 1);
}

std::string folderOf(const std::string& path)
{
    const std::size_t root = rootLength(path);
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos || slash < root)
        return root > 0 ? path.substr(0, root) : ".";
    return path.substr(0, slash);
}

std::string currentDir()
{
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(needed, L'\0');
    const DWORD written = ::GetCurrentDirectoryW(needed, buffer.data());
    if (written == 0)
        raiseLastError();
    buffer.resize(written);
    return utf8Text(buffer);
}

void changeDir(const std::string& path)
{
    if (!::SetCurrentDirectoryW(widePath(path).c_str()))
        raiseLastError();
}

std::string executablePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD written = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (written == 0)
            raiseLastError();
        if (written < buffer.size()) {
            buffer.resize(written);
            return utf8Text(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

Attributes attributesOf(const std::string& path)
{
    const DWORD attributes = attributesOfPath(path);
    return Attributes{attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

bool isDirectory(const std::string& path)
{
    const DWORD attributes = attributesOfPath(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isSymbolicLink(const std::string& path)
{
    const DWORD attributes = attributesOfPath(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool isFileSystemRoot(const std::string& path)
{
    if (!isDirectory(path))
        return false;
    const std::optional<std::wstring> full = fullPathOf(widePath(path));
    if (!full)
        return false;
    const std::string text = utf8Text(*full);
    return rootLength(text) >= text.find_last_not_of("\\/") + 1;
}

std::vector<DirEntry> listDirectory(const std::string& path)
{
    std::vector<DirEntry> entries;
    for (FolderSearch search(path); const WIN32_FIND_DATAW* found = search.current(); search.next()) {
        const std::string name = utf8Text(found->cFileName);
        const DWORD attributes = found->dwFileAttributes;
        const bool hidden = (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
        if (name != "." && name != "..")
            entries.push_back({name, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, {}, hidden});
    }
    return entries;
}

void requireListable(const std::string& folder)
{
    if (!isDirectory(folder) && attributesOfPath(folder) != INVALID_FILE_ATTRIBUTES)
        RaiseFor(errorFor(ERROR_DIRECTORY), folder);
    const FolderSearch search(folder);
}

bool deleteFile(const std::string& path)
{
    // A read-only file is protected from deletion, which is what the
    // attribute means.
    const DWORD attributes = attributesOfPath(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return false;
    return ::DeleteFileW(widePath(path).c_str()) != 0;
}

} // namespace varnoquil::platform
