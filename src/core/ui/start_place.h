// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Where the window starts.
namespace varnoquil::ui {

// The folder the window starts in when it is given no folder or file: its
// own folder, except that a program running from the folder it was installed
// to starts in the user's home folder rather than among the system's
// programs.
std::string DefaultStartFolder(const std::string& programFolder, const std::string& installedFolder,
                               const std::string& homeFolder);

// A folder to start in, and the name of a file in it to select (empty for
// none).
struct StartPlace {
    std::string folder;
    std::string file;
};

// The place a folder or file given to the program names: the folder itself,
// or the folder that holds the file, with the file. Raises a FileError when
// the argument names nothing, names a file that cannot be read as a ROM image
// (no read permission, not a regular file), or its folder cannot be listed.
StartPlace StartPlaceFor(const std::string& argument);

} // namespace varnoquil::ui
