// SPDX-License-Identifier: MIT
// The file layer on Windows, on real files in a scratch folder: what
// Windows has where POSIX has modes, FIFOs, signals and forks (attributes,
// devices in every folder, sharing, delete-on-close), its error codes, its
// paths and drives. Run under Wine by scripts/test-windows.sh; where Wine
// is not Windows, the test says so.

#include "browser/browser.h"
#include "errors.h"
#include "platform/platform.h"
#include "platform/win32_common.h"
#include "rom_builder.h"
#include "ui/start_place.h"
#include "ui/ui_logic.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <tuple>

using namespace varnoquil;
using namespace varnoquil::browser;
using namespace varnoquil::platform;
using namespace vtest;

namespace {

// Opens a file the way another program holding it without sharing does.
HANDLE HoldUnshared(const std::string& path)
{
    return ::CreateFileW(win32::widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string Write(const std::string& path, const a_byte& bytes)
{
    PendingFile out = PendingFile::create(path);
    out.writeAt(0, bytes.data(), bytes.size());
    out.commit();
    return path;
}

} // namespace

TEST(Win32Errors, CodesMapToTheProgramsTextsOrStayApart)
{
    // clang-format off
    const std::tuple<DWORD, std::string> rows[] = {
        {ERROR_FILE_NOT_FOUND, "File not found"}, {ERROR_PATH_NOT_FOUND, "Invalid filename"},
        {ERROR_INVALID_NAME, "Invalid filename"}, {ERROR_TOO_MANY_OPEN_FILES, "Too many open files"},
        {ERROR_ACCESS_DENIED, "File access denied"}, {ERROR_WRITE_PROTECT, "File access denied"},
        {ERROR_HANDLE_EOF, "Read beyond end of file"}, {ERROR_DISK_FULL, "Disk full"},
        {ERROR_HANDLE_DISK_FULL, "Disk full"}, {ERROR_SHARING_VIOLATION, "I/O error 32"},
        {ERROR_NOT_READY, "I/O error 21"}, {ERROR_CRC, "I/O error 23"}};
    // clang-format on
    for (const auto& [code, text] : rows)
        EXPECT_EQ(win32::errorFor(code).what(), text) << code;
    EXPECT_EQ(win32::errorFor(ERROR_CRC).systemError(), 23);
}

TEST(Win32Paths, BothSeparatorsDriveAndNetworkRoots)
{
    // clang-format off
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"C:\\roms\\a.bin", "a.bin", "C:\\roms"}, {"C:\\a.bin", "a.bin", "C:\\"}, {"C:a.bin", "a.bin", "C:"},
        {"C:/roms/a.bin", "a.bin", "C:/roms"}, {"\\\\server\\share\\a.bin", "a.bin", "\\\\server\\share\\"},
        {"roms/x\\a.bin", "a.bin", "roms/x"}, {"\\a.bin", "a.bin", "\\"}, {"a.bin", "a.bin", "."}};
    // clang-format on
    for (const auto& [path, last, folder] : rows)
        EXPECT_EQ(std::pair(lastComponent(path), folderOf(path)), std::pair(last, folder)) << path;
    EXPECT_EQ(separator(), '\\');
    EXPECT_TRUE(isFileSystemRoot("C:\\") && isFileSystemRoot("C:/") && !isFileSystemRoot("C:\\windows"));
    const std::vector<Drive> drives = listDrives();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.front().root + (drives.front().text.empty() ? " without a text" : ""), "C:\\");
}

// The names of devices are devices in every folder, whatever follows a dot.
TEST(Win32Files, DeviceNamesAreRefusedAsInputAndOutput)
{
    TempDir dir;
    for (const char* name : {"NUL", "nul.bin", "CON", "com1.txt", "LPT9", "aux .bin", "CONOUT$"}) {
        EXPECT_EQ(ErrorOf([&] { BinaryFile::openForReading(dir.Path(name)); }), "The input must be a regular file")
            << name;
        EXPECT_EQ(ErrorOf([&] { PendingFile::create(dir.Path(name)); }), "The output must be a regular file") << name;
    }
    EXPECT_EQ(ErrorOf([&] { BinaryFile::openForReading(dir.Path("console.bin")); }), "File not found");
    EXPECT_EQ(ErrorOf([&] { BinaryFile::openForReading(dir.Path("COM10")); }), "File not found");
    EXPECT_EQ(ErrorOf([&] { BinaryFile::openForReading(dir.root); }), "File access denied");
    EXPECT_TRUE(dir.Contents().empty());
}

// Wine keeps the attribute as the file's write permission bits, and as
// Windows does it refuses to write the file; it models no access control
// lists, so a file that a list forbids is not tested.
TEST(Win32Files, TheReadOnlyAttributeIsReadNeverWrittenNorDeleted)
{
    TempDir dir;
    const std::string file = Write(dir.Path("locked.bin"), {1, 2, 3});
    ASSERT_TRUE(::SetFileAttributesW(win32::widePath(file).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(BinaryFile::openForReading(file).size(), 3u);
    EXPECT_EQ(ErrorOf([&] { BinaryFile::openExisting(file); }), "File access denied");
    EXPECT_EQ(ErrorOf([&] { PendingFile::create(file); }), "File access denied");
    EXPECT_FALSE(deleteFile(file));
    EXPECT_EQ(dir.Contents(), (std::map<std::string, a_byte>{{"locked.bin", {1, 2, 3}}}));
}

// Another program holding the file without sharing keeps it from being read
// or replaced: the replacement is tried for about a second, then given up
// with the file as it was and nothing left beside it.
TEST(Win32Files, AFileHeldWithoutSharingIsNeitherReadNorReplaced)
{
    TempDir dir;
    const std::string file = Write(dir.Path("held.bin"), {4, 5});
    const HANDLE held = HoldUnshared(file);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ErrorOf([&] { BinaryFile::openForReading(file); }), "I/O error 32");
    EXPECT_EQ(ErrorOf([&] { Write(file, {6}); }), "I/O error 32");
    ::CloseHandle(held);
    EXPECT_EQ(dir.Contents(), (std::map<std::string, a_byte>{{"held.bin", {4, 5}}}));
    // Once the file is let go, it is replaced, keeping its attributes.
    ASSERT_TRUE(::SetFileAttributesW(win32::widePath(file).c_str(), FILE_ATTRIBUTE_HIDDEN));
    Write(file, {6});
    EXPECT_EQ(dir.Contents(), (std::map<std::string, a_byte>{{"held.bin", {6}}}));
    EXPECT_TRUE(::GetFileAttributesW(win32::widePath(file).c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// A pending file is marked for deletion until it is committed: the system
// removes it however the program ends, also when it is ended from outside
// with no code of its own run.
TEST(Win32Files, AnUncommittedOutputIsRemovedHoweverTheProgramEnds)
{
    if (const char* folder = std::getenv("VARNOQUIL_END_IN")) {
        PendingFile out = PendingFile::create(std::string(folder) + "\\out.bin");
        out.writeAt(0, "data", 4);
        ::TerminateProcess(::GetCurrentProcess(), 9);
    }
    TempDir dir;
    // A temporary name another file holds is passed over for the next one.
    const std::string taken = "out.bin.~" + std::to_string(::GetCurrentProcessId()) + "-0.tmp";
    WriteFile(dir.Path(taken), {1});
    {
        PendingFile out = PendingFile::create(dir.Path("out.bin"));
        out.writeAt(0, "data", 4);
    }
    EXPECT_EQ(dir.Contents(), (std::map<std::string, a_byte>{{taken, {1}}}));
    ::DeleteFileW(win32::widePath(dir.Path(taken)).c_str());

    ::SetEnvironmentVariableW(L"VARNOQUIL_END_IN", win32::widePath(dir.root).c_str());
    std::wstring command = L"\"" + win32::widePath(executablePath())
        + L"\" --gtest_filter=Win32Files.AnUncommittedOutputIsRemovedHoweverTheProgramEnds";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(
        ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    ::SetEnvironmentVariableW(L"VARNOQUIL_END_IN", nullptr);
    ::WaitForSingleObject(child.hProcess, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(child.hProcess, &status);
    ::CloseHandle(child.hProcess);
    ::CloseHandle(child.hThread);
    EXPECT_TRUE(status == 9 && dir.Contents().empty()) << status;
}

// Names are UTF-8 inside the program, whatever the code page; paths longer
// than the classic limit of 260 characters work as any other.
TEST(Win32Files, UnicodeNamesAndLongPaths)
{
    TempDir dir;
    const std::string name = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0 \xC3\xA9.bin"; // katakana, e acute
    Write(dir.Path(name), {7});
    ASSERT_EQ(listDirectory(dir.root).size(), 1u);
    EXPECT_EQ(listDirectory(dir.root).front().name, name);
    std::string deep = dir.root;
    for (int i = 0; i < 6; ++i) {
        deep += "\\" + std::string(50, char('a' + i));
        std::filesystem::create_directory(std::filesystem::u8path(deep));
    }
    const std::string file = Write(deep + "\\" + name, {8, 9});
    ASSERT_GT(file.size(), 300u);
    EXPECT_EQ(BinaryFile::openForReading(file).size(), 2u);
    EXPECT_TRUE(isDirectory(deep) && !isDirectory(file) && deleteFile(file));
    EXPECT_EQ(ErrorOf([&] { BinaryFile::openForReading(file); }), "File not found");
    EXPECT_EQ(ErrorOf([&] { BinaryFile::openForReading(dir.Path("none\\x.bin")); }), "Invalid filename");
}

// Relative paths, also to the current drive, start from the current folder;
// a drive holds its folders whatever their case; folders with the hidden or
// system attribute are not listed, and names that differ in case alone are
// one file.
TEST(Win32Paths, StartPlacesDrivesAndListings)
{
    TempDir dir;
    for (const char* folder : {"roms", "secret", "system"})
        std::filesystem::create_directory(dir.Path(folder));
    ::SetFileAttributesW(win32::widePath(dir.Path("secret")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW(win32::widePath(dir.Path("system")).c_str(), FILE_ATTRIBUTE_SYSTEM);
    WriteFile(dir.Path("roms\\game.bin"), {1});
    WriteFile(dir.Path("roms\\GAME.BIN"), {2});
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.root);
    const ui::StartPlace place = ui::StartPlaceFor("roms/game.bin");
    const ui::StartPlace drive = ui::StartPlaceFor(dir.root.substr(0, 2) + "roms");
    const ui::StartPlace root = ui::StartPlaceFor("\\");
    std::filesystem::current_path(before);
    EXPECT_EQ(std::tuple(place.folder, place.file, drive.folder, root.folder),
              std::tuple(dir.root + "\\roms", std::string("game.bin"), dir.root + "\\roms", dir.root.substr(0, 3)));

    EXPECT_EQ(ListFolder(dir.root, Filter::AllFiles), (std::vector<std::string>{"..", "roms"}));
    EXPECT_EQ(ListFolder(dir.Path("roms"), Filter::AllFiles), (std::vector<std::string>{"..", "game.bin"}));
    EXPECT_EQ(ReadFile(dir.Path("roms\\game.bin")), a_byte{2});
    EXPECT_EQ(ui::DriveHolding({"C:\\", "Z:\\", "Z:\\Media"}, "z:\\media\\roms"), 2);
    EXPECT_EQ(ui::DriveHolding({"C:\\", "Z:\\"}, "z:\\roms"), 1);
    EXPECT_EQ(ui::DriveHolding({"C:\\"}, "D:\\"), -1);
}
