// SPDX-License-Identifier: MIT
#include "browser/browser.h"

#include "errors.h"
#include "platform/platform.h"
#include "text.h"

#include <algorithm>

namespace varnoquil::browser {

namespace {

bool passes(const std::string& name, Filter filter)
{
    switch (filter) {
    case Filter::AllFiles: return true;
    case Filter::RomImages: return IsRomImage(name);
    case Filter::StartupRomImages: return IsStartupImage(name);
    }
    return false;
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && platform::isSeparator(folder.back()))
        return folder + name;
    return folder + platform::separator() + name;
}

// The entries of a folder in the listing's order, not yet parted into
// folders and files.
std::vector<platform::DirEntry> sortedEntries(const std::string& folder)
{
    std::vector<platform::DirEntry> entries = platform::listDirectory(folder);
    std::sort(entries.begin(), entries.end(),
              [](const platform::DirEntry& a, const platform::DirEntry& b) { return ComesBefore(a.name, b.name); });
    return entries;
}

void collectFolder(const std::string& folder, bool recursive, std::vector<CollectedPath>& found)
{
    std::vector<platform::DirEntry> entries;
    try {
        entries = sortedEntries(folder);
    } catch (const IoError& error) {
        found.push_back({folder, error.what()});
        return;
    }
    for (const platform::DirEntry& entry : entries) {
        const std::string path = joinPath(folder, entry.name);
        if (!entry.problem.empty()) {
            // It might be an image, or a folder that would be entered.
            if (IsRomImage(entry.name) || (recursive && !entry.hidden))
                found.push_back({path, entry.problem});
        } else if (entry.directory && recursive && !entry.hidden && !platform::isSymbolicLink(path)) {
            collectFolder(path, recursive, found);
        }
    }
    for (const platform::DirEntry& entry : entries)
        if (!entry.directory && IsRomImage(entry.name))
            found.push_back({joinPath(folder, entry.name), {}});
}

} // namespace

std::string Extension(const std::string& name)
{
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos
        || std::any_of(name.begin() + static_cast<std::ptrdiff_t>(dot), name.end(), platform::isSeparator))
        return {};
    return name.substr(dot);
}

bool IsRomImage(const std::string& name)
{
    return UpperAscii(Extension(name)) == ".BIN";
}

bool IsStartupImage(const std::string& name)
{
    return IsRomImage(name) || UpperAscii(Extension(name)) == ".SMD";
}

std::string EntryPath(const std::string& folder, const std::string& entry)
{
    return folder + platform::separator() + entry;
}

bool FileExists(const std::string& path)
{
    return !platform::attributesOf(path).directory;
}

bool LooksLikeFolder(const std::string& path)
{
    return platform::attributesOf(path).directory;
}

bool LeaveRemovedFolder()
{
    // A removed folder still leads to the folder it stood in. The climb is
    // bounded, as a folder outside the process's root never reaches one that
    // can be named.
    constexpr int kDeepestClimb = 4096;
    for (int climbed = 0;; ++climbed) {
        try {
            platform::currentDir();
            return climbed > 0;
        } catch (const IoError& error) {
            if (error.code() != IoCode::FileNotFound || climbed == kDeepestClimb)
                throw;
        }
        platform::changeDir("..");
    }
}

bool ComesBefore(const std::string& a, const std::string& b)
{
    const std::string la = LowerAscii(a), lb = LowerAscii(b);
    return la != lb ? la < lb : a < b;
}

std::vector<std::string> ListFolder(const std::string& folder, Filter filter)
{
    std::vector<platform::DirEntry> entries;
    try {
        entries = sortedEntries(folder);
    } catch (const IoError&) {
        return {};
    }
    std::vector<std::string> names;
    if (!platform::isFileSystemRoot(folder))
        names.push_back(kParentEntry);
    for (const auto& entry : entries)
        if (entry.directory && !entry.hidden)
            names.push_back(entry.name);
    for (const auto& entry : entries)
        if (!entry.directory && passes(entry.name, filter))
            names.push_back(entry.name);
    return names;
}

std::vector<CollectedPath> CollectRomImages(const std::vector<std::string>& paths, bool recursive)
{
    std::vector<CollectedPath> found;
    for (const std::string& path : paths) {
        if (platform::isDirectory(path))
            collectFolder(path, recursive, found);
        else
            found.push_back({path, {}});
    }
    return found;
}

} // namespace varnoquil::browser
