// SPDX-License-Identifier: MIT
// Where the window starts: the default folder of an installed program and
// of one run from elsewhere, and the place a folder or file argument names.

#include "errors.h"
#include "rom_builder.h"
#include "start_place.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

using namespace varnoquil;
using namespace varnoquil::ui;

namespace {

namespace fs = std::filesystem;

int IoCodeOf(const std::string& argument)
{
    try {
        StartPlaceFor(argument);
    } catch (const IoError& error) {
        return error.code();
    }
    return 0;
}

TEST(DefaultStartFolder, IsHomeOnlyForAProgramRunningFromItsInstalledFolder)
{
    vtest::TempDir dir;
    const std::string bin = dir.Path("usr-bin"), build = dir.Path("build"), home = dir.Path("home");
    for (const std::string& folder : {bin, build, home})
        fs::create_directory(folder);
    // The bin folder reached through a link, as /bin is /usr/bin on merged
    // systems: still the installed folder.
    fs::create_directory_symlink(bin, dir.Path("bin"));

    EXPECT_EQ(DefaultStartFolder(bin, bin, home), home);
    EXPECT_EQ(DefaultStartFolder(bin, dir.Path("bin"), home), home);
    EXPECT_EQ(DefaultStartFolder(build, bin, home), build);
    // A configured folder that does not exist here matches nothing.
    EXPECT_EQ(DefaultStartFolder(build, dir.Path("nowhere"), home), build);
    // Without a home folder the program's folder stays.
    EXPECT_EQ(DefaultStartFolder(bin, bin, ""), bin);
}

TEST(StartPlaceFor, AFolderIsTheStartFolderAndAFileIsSelectedInItsFolder)
{
    vtest::TempDir dir;
    fs::create_directory(dir.Path("roms"));
    vtest::WriteFile(dir.Path("roms/game.bin"), a_byte(512));

    const auto place = [](const std::string& argument) {
        const StartPlace found = StartPlaceFor(argument);
        return std::pair(found.folder, found.file);
    };
    EXPECT_EQ(place(dir.Path("roms")), std::pair(dir.Path("roms"), std::string()));
    EXPECT_EQ(place(dir.Path("roms/game.bin")), std::pair(dir.Path("roms"), std::string("game.bin")));

    // Relative paths start from the current folder.
    const fs::path before = fs::current_path();
    fs::current_path(dir.root);
    const auto bare = place("roms/game.bin"), relativeFolder = place("roms");
    fs::current_path(dir.Path("roms"));
    const auto bareName = place("game.bin");
    fs::current_path(before);
    EXPECT_EQ(bare, std::pair(dir.Path("roms"), std::string("game.bin")));
    EXPECT_EQ(relativeFolder.first, dir.root + "/roms");
    EXPECT_EQ(bareName, bare);
}

TEST(StartPlaceFor, AnArgumentThatCannotBeOpenedRaisesItsIoError)
{
    vtest::TempDir dir;
    vtest::WriteFile(dir.Path("game.bin"), a_byte(512));
    EXPECT_EQ(IoCodeOf(dir.Path("missing.bin")), IoCode::FileNotFound);
    EXPECT_EQ(IoCodeOf(""), IoCode::FileNotFound);
    EXPECT_EQ(IoCodeOf(dir.Path("game.bin/inside")), IoCode::InvalidFilename);
    fs::create_symlink(dir.Path("gone.bin"), dir.Path("dangling.bin"));
    EXPECT_EQ(IoCodeOf(dir.Path("dangling.bin")), IoCode::FileNotFound);
    fs::create_symlink(dir.Path("loop"), dir.Path("loop"));
    // A loop has no code of the program's own: its errno is kept as it is.
    try {
        StartPlaceFor(dir.Path("loop"));
        ADD_FAILURE() << "a link loop was opened";
    } catch (const IoError& error) {
        EXPECT_EQ(error.systemError(), ELOOP);
    }
    ASSERT_EQ(::mkfifo(dir.Path("pipe.bin").c_str(), 0644), 0);
    EXPECT_THROW(StartPlaceFor(dir.Path("pipe.bin")), NotRegularFileError);
}

} // namespace
