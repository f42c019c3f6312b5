// SPDX-License-Identifier: MIT
#include "ui/start_place.h"

#include "platform/platform.h"

namespace varnoquil::ui {

namespace {

// A path from the root, so that the drive box finds the drive that holds
// it.
std::string FromRoot(const std::string& path)
{
    return path.front() == platform::separator() ? path : platform::currentDir() + platform::separator() + path;
}

} // namespace

std::string DefaultStartFolder(const std::string& programFolder, const std::string& installedFolder,
                               const std::string& homeFolder)
{
    if (!homeFolder.empty() && platform::sameFile(programFolder, installedFolder))
        return homeFolder;
    return programFolder;
}

StartPlace StartPlaceFor(const std::string& argument)
{
    const std::string path = argument.empty() ? argument : FromRoot(argument);
    if (platform::isDirectory(path)) {
        platform::requireListable(path);
        return {path, {}};
    }
    // A file the program could not read is no place to start from; opening
    // it also names what is wrong with a path that leads nowhere.
    platform::BinaryFile::openForReading(path).close();
    StartPlace place{platform::folderOf(path), platform::lastComponent(path)};
    platform::requireListable(place.folder);
    return place;
}

} // namespace varnoquil::ui
