// SPDX-License-Identifier: MIT
#include "browser/browser.h"

#include "rom_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using namespace varnoquil::browser;
using Names = std::vector<std::string>;

class BrowserFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"x", ".h", "y.bin"})
            fs::create_directory(root / folder);
        for (const char* file : {"d.txt", "c.smd", "b.bin", "B.Bin", "a.bin", "_g.bin", ".e.bin", "a.bin.bak", "f.bi"})
            std::ofstream(root / file) << "data";
    }
    vtest::TempDir dir;
    fs::path root = dir.root;
};

// Each path found, and its problem after a colon.
Names Found(const std::vector<CollectedPath>& paths)
{
    Names names;
    for (const CollectedPath& found : paths)
        names.push_back(found.path + (found.problem.empty() ? "" : ": " + found.problem));
    return names;
}

// These listings are made of symbolic links and POSIX roots, and hold two
// names that a case-insensitive file system keeps as one.
#ifndef _WIN32
// Names go by their lower-case letters, ties by their bytes.
TEST_F(BrowserFolder, ListsVisibleFoldersFirstThenFilesThroughTheFilterAndTellsThemApart)
{
    EXPECT_EQ(ListFolder(root.string(), Filter::RomImages),
              (Names{"..", "x", "y.bin", ".e.bin", "_g.bin", "a.bin", "B.Bin", "b.bin"}));
    EXPECT_EQ(ListFolder(root.string(), Filter::StartupRomImages),
              (Names{"..", "x", "y.bin", ".e.bin", "_g.bin", "a.bin", "B.Bin", "b.bin", "c.smd"}));
    EXPECT_EQ(ListFolder(root.string(), Filter::AllFiles),
              (Names{"..", "x", "y.bin", ".e.bin", "_g.bin", "a.bin", "a.bin.bak", "B.Bin", "b.bin", "c.smd", "d.txt",
                     "f.bi"}));
    EXPECT_TRUE(IsRomImage(".bin") && !IsRomImage("game.binx") && Extension("/folder.d/name").empty());
    // The root has no parent entry; a folder that cannot be read lists nothing.
    const Names top = ListFolder("/", Filter::AllFiles);
    EXPECT_TRUE(std::find(top.begin(), top.end(), "..") == top.end()
                && ListFolder("/no/such/folder", Filter::AllFiles).empty());

    // A missing entry looks like a folder; a link that leads nowhere is a file.
    fs::create_symlink("nowhere", root / "dangling.bin");
    fs::create_symlink("loop", root / "loop");
    EXPECT_EQ(ListFolder(root.string(), Filter::RomImages).back(), "dangling.bin");
    std::string files; // whether each is a file, and whether it looks like a folder
    for (const char* entry : {"x", "gone.bin", "a.bin", "dangling.bin", "loop"})
        files += std::string(FileExists(EntryPath(root.string(), entry)) ? "file" : "-")
            + (LooksLikeFolder(EntryPath(root.string(), entry)) ? "/folder " : " ");
    EXPECT_EQ(files, "-/folder -/folder file file file ");
}
#else
// A folder is left out by its hidden attribute, unless it is named; names
// that differ in case alone are one file, which keeps the case it was made
// with. (Wine gives every name that begins with a dot the hidden attribute,
// which Windows does not, so the dot-folder is not looked at here.)
TEST_F(BrowserFolder, ListsAndCollectsByTheHiddenAttributeAndOneCaseOfEachName)
{
    fs::remove(root / ".h");
    for (const char* file : {"x\\w.bin", "y.bin\\u.bin"})
        std::ofstream(root / file) << "data";
    ::SetFileAttributesW((root / "x").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::string r = root.string();

    EXPECT_EQ(ListFolder(r, Filter::RomImages), (Names{"..", "y.bin", ".e.bin", "_g.bin", "a.bin", "b.bin"}));
    EXPECT_EQ(ListFolder(r, Filter::AllFiles),
              (Names{"..", "y.bin", ".e.bin", "_g.bin", "a.bin", "a.bin.bak", "b.bin", "c.smd", "d.txt", "f.bi"}));
    EXPECT_EQ(Found(CollectRomImages({r}, true)),
              (Names{r + "\\y.bin\\u.bin", r + "\\.e.bin", r + "\\_g.bin", r + "\\a.bin", r + "\\b.bin"}));
    EXPECT_EQ(Found(CollectRomImages({r + "\\x", r + "\\gone.bin"}, false)),
              (Names{r + "\\x\\w.bin", r + "\\gone.bin"}));

    const Names drive = ListFolder(r.substr(0, 3), Filter::AllFiles);
    EXPECT_TRUE(std::find(drive.begin(), drive.end(), "..") == drive.end()
                && ListFolder(r + "\\no\\such", Filter::AllFiles).empty());
}
#endif

#ifndef _WIN32
TEST_F(BrowserFolder, CollectsTheRomImagesOfFilesAndFoldersAndWhatCannotBeRead)
{
    fs::create_directories(root / "x" / "deep");
    for (const char* file : {"x/deep/z.BIN", "x/w.bin", "x/v.txt", "y.bin/u.bin", ".h/t.bin"})
        std::ofstream(root / file) << "data";
    fs::create_directory_symlink(root / "x", root / "link");
    const std::string r = root.string();
    const Names top = {r + "/.e.bin", r + "/_g.bin", r + "/a.bin", r + "/B.Bin", r + "/b.bin"};

    EXPECT_EQ(Found(CollectRomImages({r}, false)), top);
    EXPECT_EQ(Found(CollectRomImages({r + "/"}, false)), top);
    // Subfolders first, as the listing shows them; hidden folders and links to
    // folders are not entered.
    Names deep = {r + "/x/deep/z.BIN", r + "/x/w.bin", r + "/y.bin/u.bin"};
    deep.insert(deep.end(), top.begin(), top.end());
    EXPECT_EQ(Found(CollectRomImages({r}, true)), deep);
    // Named files are taken as they are, missing ones too; a named link to a
    // folder is entered.
    EXPECT_EQ(Found(CollectRomImages({r + "/d.txt", r + "/gone.bin", r + "/link"}, false)),
              (Names{r + "/d.txt", r + "/gone.bin", r + "/link/w.bin"}));

    // A folder whose path is too long to open is kept with its reason; the
    // images beside it are still found.
    std::string longPath = r + "/x";
    fs::current_path(longPath);
    for (int level = 0; longPath.size() <= PATH_MAX; ++level) {
        fs::create_directory(std::string(200, 'a'));
        fs::current_path(std::string(200, 'a'));
        longPath += "/" + std::string(200, 'a');
    }
    fs::current_path(r);
    EXPECT_EQ(Found(CollectRomImages({r + "/x"}, true)),
              (Names{longPath + ": Invalid filename", r + "/x/deep/z.BIN", r + "/x/w.bin"}));
    // rm works down a chain of folders by their names, whatever its length.
    EXPECT_EQ(std::system(("rm -rf '" + r + "/x/" + std::string(200, 'a') + "'").c_str()), 0);
}
#endif
