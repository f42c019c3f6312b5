// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// The file browser's rules: which entries a folder listing shows and in what
// order, how an entry's path is formed, and how entries are told apart.
namespace varnoquil::browser {

// The entry that leads to the parent folder; entry 0 in every folder but a
// file-system root.
inline const std::string kParentEntry = "..";

// The extension of a name: from its last "." to the end, provided no path
// separator follows that dot; otherwise empty.
std::string Extension(const std::string& name);

// A ROM image is a name whose extension, upper-cased in the ASCII range, is
// ".BIN". The start-up listing also admits ".SMD".
bool IsRomImage(const std::string& name);
bool IsStartupImage(const std::string& name);

// The path of an entry: the folder, a separator and the entry's text, joined
// as plain text (at the root "/" this gives "//name").
std::string EntryPath(const std::string& folder, const std::string& entry);

// True for an existing entry that is not a folder.
bool FileExists(const std::string& path);

// True when the path is a folder, or when its attributes cannot be read.
bool LooksLikeFolder(const std::string& path);

// Leaves a current folder that has been removed from outside for its nearest
// parent that still exists. Returns whether it had to.
bool LeaveRemovedFolder();

// The listing's order: by name ignoring ASCII case, ties in byte order.
bool ComesBefore(const std::string& a, const std::string& b);

enum class Filter {
    AllFiles,
    RomImages, // ".bin" files only
    StartupRomImages, // ".bin" and ".smd" files
};

// The entries of a folder: its visible folders (".." first) then its files,
// hidden files included, with the filter applied to files only.
std::vector<std::string> ListFolder(const std::string& folder, Filter filter);

// A path that a command working on many images is to take: a file, or
// something it cannot read, with the reason.
struct CollectedPath {
    std::string path;
    std::string problem; // empty when nothing is known against the path
};

// The files a list of paths names, for commands that work on many images.
// A file is taken as named, whatever its extension (a path that does not
// exist is kept too, so that it fails with its own error). A folder stands for
// its ROM images in the listing's order; with recursive, its subfolders'
// images come first, as the listing puts folders first. Hidden folders and
// symbolic links to folders are not entered. A folder that cannot be read,
// and an entry that cannot be looked at and might be an image (or, with
// recursive, a folder), is kept with its problem, so that none is left out
// unseen.
std::vector<CollectedPath> CollectRomImages(const std::vector<std::string>& paths, bool recursive);

} // namespace varnoquil::browser
