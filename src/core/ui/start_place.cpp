// SPDX-License-Identifier: MIT
#include "ui/start_place.h"

#include "platform/platform.h"

namespace varnoquil::ui {

std::string DefaultStartFolder(const std::string& programFolder, const std::string& installedFolder,
                               const std::string& homeFolder)
{
    if (!homeFolder.empty() && platform::sameFile(programFolder, installedFolder))
        return homeFolder;
    return programFolder;
}

StartPlace StartPlaceFor(const std::string& argument)
{
    // A path from the root, so that the drive box finds the drive that holds it.
    const std::string path = argument.empty() ? argument : platform::absolutePath(argument);
    if (platform::isDirectory(path)) {
        platform::requireListable(path);
        return {path, {}};
    }
    // Any entry of a folder is a place to start from, as it could be selected
    // in the list, which then says what is wrong with it (a fifo, a link that
    // leads nowhere). A path that names no entry fails with its reason, which
    // opening it tells.
    if (platform::attributesOf(path).directory)
        platform::BinaryFile::openForReading(path).close();
    StartPlace place{platform::folderOf(path), platform::lastComponent(path)};
    platform::requireListable(place.folder);
    return place;
}

} // namespace varnoquil::ui
