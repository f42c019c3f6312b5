// SPDX-License-Identifier: MIT
// Where the window starts: the default folder of an installed program and
// of one run from elsewhere, and the place a folder or file argument names.

#include "rom_builder.h"
#include "text.h"
#include "ui/start_place.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace varnoquil;
using namespace varnoquil::ui;

namespace fs = std::filesystem;

// "folder|file" of the place an argument names, or the text of its error.
std::string PlaceOf(const std::string& argument)
{
    StartPlace place;
    const std::string error = vtest::ErrorOf([&] { place = StartPlaceFor(argument); });
    return error.empty() ? place.folder + "|" + place.file : error;
}

// Made of symbolic links, a FIFO and POSIX roots.
#ifndef _WIN32
TEST(StartPlace, TheDefaultFolderAndThePlaceOrErrorThatAnArgumentNames)
{
    vtest::TempDir dir;
    const std::string roms = dir.Path("roms"), bin = dir.Path("usr-bin"), home = dir.Path("home");
    fs::create_directory(roms), fs::create_directory(bin);
    // Home only for a program running from its installed folder, also when
    // it is reached through a link, as /bin is /usr/bin on merged systems. A
    // configured folder that does not exist here matches nothing.
    fs::create_directory_symlink(bin, dir.Path("bin"));
    EXPECT_EQ(DefaultStartFolder(bin, dir.Path("bin"), home) + " " + DefaultStartFolder(roms, bin, home) + " "
                  + DefaultStartFolder(roms, dir.Path("nowhere"), home) + " " + DefaultStartFolder(bin, bin, ""),
              home + " " + roms + " " + roms + " " + bin);

    vtest::WriteFile(roms + "/game.bin", a_byte(512));
    fs::create_symlink(dir.Path("loop"), dir.Path("loop"));
    // A folder that cannot be listed, or a file in one, is no place to start
    // (but root lists every folder).
    const std::string locked = dir.Path("locked");
    fs::create_directory(locked), vtest::WriteFile(locked + "/game.bin", a_byte(512));
    ::chmod(locked.c_str(), 0311);
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(::mkfifo(dir.Path("pipe.bin").c_str(), 0644), 0);
    // A loop of links and a fifo are entries of their folder, which the list
    // tells the user about when it selects them.
    // clang-format off
    const std::pair<std::string, std::string> places[] = {
        {roms, roms + "|"}, {roms + "/game.bin", roms + "|game.bin"},
        {dir.Path("missing.bin"), "File not found"}, {"", "File not found"},
        {roms + "/game.bin/inside", "Invalid filename"}, {dir.Path("loop"), dir.root + "|loop"},
        {dir.Path("pipe.bin"), dir.root + "|pipe.bin"},
        {locked, root ? locked + "|" : "File access denied"},
        {locked + "/game.bin", root ? locked + "|game.bin" : "File access denied"}};
    // clang-format on
    for (const auto& [argument, place] : places)
        EXPECT_EQ(PlaceOf(argument), place) << argument;
    ::chmod(locked.c_str(), 0755);

    // Relative paths start from the current folder.
    const fs::path before = fs::current_path();
    fs::current_path(dir.root);
    std::string relative = PlaceOf("roms/game.bin") + " " + PlaceOf("roms");
    fs::current_path(roms);
    relative += " " + PlaceOf("game.bin");
    fs::current_path(before);
    EXPECT_EQ(relative, roms + "|game.bin " + roms + "| " + roms + "|game.bin");
}
#else
// Paths come back whole, with backslashes, whichever separator and letter
// case the argument used.
TEST(StartPlace, TheDefaultFolderAndThePlaceOrErrorThatAnArgumentNamesOnWindows)
{
    vtest::TempDir dir;
    const std::string roms = dir.root + "\\roms", bin = dir.root + "\\bin", home = dir.root + "\\home";
    fs::create_directory(roms), fs::create_directory(bin);
    EXPECT_EQ(DefaultStartFolder(bin, UpperAscii(bin), home) + " " + DefaultStartFolder(roms, bin, home) + " "
                  + DefaultStartFolder(roms, dir.root + "\\nowhere", home),
              home + " " + roms + " " + roms);

    vtest::WriteFile(roms + "\\game.bin", a_byte(512));
    // clang-format off
    const std::pair<std::string, std::string> places[] = {
        {dir.root + "/roms", roms + "|"}, {dir.root + "/roms/GAME.BIN", roms + "|GAME.BIN"},
        {roms + "\\missing.bin", "File not found"},
        {roms + "\\game.bin\\inside", "Invalid filename"}};
    // clang-format on
    for (const auto& [argument, place] : places)
        EXPECT_EQ(PlaceOf(argument), place) << argument;
}
#endif
