// SPDX-License-Identifier: MIT
#include "browser.h"

#include "rom_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace varnoquil::browser;
using Names = std::vector<std::string>;

namespace {

class BrowserFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"x", ".h", "y.bin"})
            fs::create_directory(root / folder);
        for (const char* file : {"d.txt", "c.smd", "B.Bin", "a.bin", ".e.bin", "a.bin.bak", "f.bi"})
            std::ofstream(root / file) << "data";
    }
    vtest::TempDir dir;
    fs::path root = dir.root;
};

} // namespace

TEST_F(BrowserFolder, ListsVisibleFoldersFirstThenFilesThroughTheFilter)
{
    EXPECT_EQ(ListFolder(root, Filter::RomImages), (Names{"..", "x", "y.bin", ".e.bin", "a.bin", "B.Bin"}));
    EXPECT_EQ(ListFolder(root, Filter::StartupRomImages),
              (Names{"..", "x", "y.bin", ".e.bin", "a.bin", "B.Bin", "c.smd"}));
    EXPECT_EQ(ListFolder(root, Filter::AllFiles),
              (Names{"..", "x", "y.bin", ".e.bin", "a.bin", "a.bin.bak", "B.Bin", "c.smd", "d.txt", "f.bi"}));
}

// A missing entry looks like a folder; a link that leads nowhere is a file.
TEST_F(BrowserFolder, TellsFilesFromFoldersMissingEntriesAndBrokenLinks)
{
    EXPECT_FALSE(FileExists(EntryPath(root, "x")) || FileExists(EntryPath(root, "gone.bin")));
    EXPECT_TRUE(LooksLikeFolder(EntryPath(root, "gone.bin")));
    fs::create_symlink("nowhere", root / "dangling.bin");
    fs::create_symlink("loop", root / "loop");
    EXPECT_EQ(ListFolder(root, Filter::RomImages),
              (Names{"..", "x", "y.bin", ".e.bin", "a.bin", "B.Bin", "dangling.bin"}));
    for (const char* link : {"a.bin", "dangling.bin", "loop"}) {
        EXPECT_TRUE(FileExists(EntryPath(root, link))) << link;
        EXPECT_FALSE(LooksLikeFolder(EntryPath(root, link))) << link;
    }
}

TEST_F(BrowserFolder, CollectsTheRomImagesOfFilesAndFolders)
{
    fs::create_directories(root / "x" / "deep");
    for (const char* file : {"x/deep/z.BIN", "x/w.bin", "x/v.txt", "y.bin/u.bin", ".h/t.bin"})
        std::ofstream(root / file) << "data";
    fs::create_directory_symlink(root / "x", root / "link");
    const std::string r = root.string();

    EXPECT_EQ(CollectRomImages({r}, false), (Names{r + "/.e.bin", r + "/a.bin", r + "/B.Bin"}));
    EXPECT_EQ(CollectRomImages({r + "/"}, false), CollectRomImages({r}, false));
    // Subfolders first, as the listing shows them; hidden folders and links to
    // folders are not entered.
    EXPECT_EQ(
        CollectRomImages({r}, true),
        (Names{r + "/x/deep/z.BIN", r + "/x/w.bin", r + "/y.bin/u.bin", r + "/.e.bin", r + "/a.bin", r + "/B.Bin"}));
    // Named files are taken as they are, missing ones too; a named link to a
    // folder is entered.
    EXPECT_EQ(CollectRomImages({r + "/d.txt", r + "/gone.bin", r + "/link"}, false),
              (Names{r + "/d.txt", r + "/gone.bin", r + "/link/w.bin"}));
}

TEST(Browser, TheRootHasNoParentEntryAndAnUnreadableFolderListsNothing)
{
    const Names names = ListFolder("/", Filter::AllFiles);
    EXPECT_TRUE(std::find(names.begin(), names.end(), "..") == names.end());
    EXPECT_EQ(EntryPath("/", "tmp"), "//tmp");
    EXPECT_TRUE(ListFolder("/no/such/folder", Filter::AllFiles).empty());
}

TEST(Browser, OrdersNamesIgnoringCaseWithTiesInByteOrderAndHidesDotNames)
{
    Names names = {"b", "_x", "B", "a.bin", "A.BIN", "c"};
    std::sort(names.begin(), names.end(), ComesBefore);
    EXPECT_EQ(names, (Names{"_x", "A.BIN", "a.bin", "B", "b", "c"}));
    EXPECT_TRUE(IsHidden(".e.bin"));
    EXPECT_FALSE(IsHidden("e.bin") || IsHidden(""));
}

TEST(Browser, ExtensionTests)
{
    EXPECT_EQ(Extension("game.tar.bin"), ".bin");
    EXPECT_EQ(Extension("/folder.d/name"), "");
    for (const char* rom : {"game.bin", "GAME.Bin", ".bin"})
        EXPECT_TRUE(IsRomImage(rom)) << rom;
    for (const char* other : {"game.smd", "game.bin.txt", "..", "game.binx"})
        EXPECT_FALSE(IsRomImage(other)) << other;
    EXPECT_TRUE(IsStartupImage("game.SMD"));
    EXPECT_FALSE(IsStartupImage("game.txt"));
}
