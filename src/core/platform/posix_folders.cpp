// SPDX-License-Identifier: MIT
// Folders: the current folder, what a path names and what a folder holds.
#include "platform/platform.h"

#include "platform/posix_common.h"

#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace varnoquil::platform {

using namespace posix;

char separator()
{
    return '/';
}

bool isSeparator(char c)
{
    return c == '/';
}

char pathListSeparator()
{
    return ':';
}

std::string absolutePath(const std::string& path)
{
    return !path.empty() && path.front() == '/' ? path : currentDir() + "/" + path;
}

bool sameName(const std::string& a, const std::string& b)
{
    return a == b;
}

std::string lastComponent(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string currentDir()
{
    std::string buffer(PATH_MAX, '\0');
    if (!::getcwd(buffer.data(), buffer.size()))
        raiseErrno();
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
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
        return Attributes{true};
    return Attributes{S_ISDIR(st.st_mode)};
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

bool isFileSystemRoot(const std::string& path)
{
    return resolvedPath(path) == "/";
}

namespace {

// An entry as the folder's listing gives it. A link that leads nowhere is
// listed as the file it is; any other entry that cannot be looked at counts
// as a folder, with the reason.
DirEntry entryOf(DIR* dir, const char* name)
{
    struct stat st {};
    const bool hidden = name[0] == '.';
    if (::fstatat(::dirfd(dir), name, &st, 0) == 0)
        return {name, S_ISDIR(st.st_mode), {}, hidden};
    const int err = errno;
    if (::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
        return {name, false, {}, hidden};
    return {name, true, IoError::fromErrno(err).what(), hidden};
}

} // namespace

std::vector<DirEntry> listDirectory(const std::string& path)
{
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        raiseErrno();
    std::vector<DirEntry> entries;
    for (;;) {
        errno = 0;
        const dirent* item = ::readdir(dir);
        if (!item)
            break;
        const std::string name = item->d_name;
        if (name != "." && name != "..")
            entries.push_back(entryOf(dir, item->d_name));
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0)
        throw IoError::fromErrno(err);
    return entries;
}

void requireListable(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        raiseErrno(folder);
    ::closedir(dir);
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

} // namespace varnoquil::platform
