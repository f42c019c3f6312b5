// SPDX-License-Identifier: MIT
#include "ui/start_place.h"

#include "errors.h"
#include "platform/platform.h"

#include <filesystem>
#include <system_error>

namespace varnoquil::ui {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Raise(const std::error_code& error)
{
    throw IoError::fromErrno(error.value());
}

void RequireListable(const std::string& folder)
{
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error)
        Raise(error);
}

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
    std::error_code error;
    const fs::file_status status = fs::status(argument, error);
    if (error)
        Raise(error);
    const std::string path = FromRoot(argument);
    if (fs::is_directory(status)) {
        RequireListable(path);
        return {path, {}};
    }
    // A file the program could not read is no place to start from.
    platform::BinaryFile::openForReading(path).close();
    StartPlace place{platform::folderOf(path), platform::lastComponent(path)};
    RequireListable(place.folder);
    return place;
}

} // namespace varnoquil::ui
