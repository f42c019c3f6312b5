#include "browser.h"

#include "errors.h"
#include "platform.h"
#include "text.h"

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

} // namespace

std::string Extension(const std::string& name)
{
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || name.find(platform::separator(), dot) != std::string::npos)
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

std::vector<std::string> ListFolder(const std::string& folder, Filter filter)
{
    const std::vector<platform::DirEntry> entries = platform::listDirectory(folder);
    std::vector<std::string> names;
    for (const auto& entry : entries)
        if (entry.directory && !entry.hidden)
            names.push_back(entry.name);
    for (const auto& entry : entries)
        if (!entry.directory && passes(entry.name, filter))
            names.push_back(entry.name);
    return names;
}

} // namespace varnoquil::browser
