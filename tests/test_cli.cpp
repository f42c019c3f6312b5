// SPDX-License-Identifier: MIT
// The command-line tool run as a separate process on images built here.

#include "cli_fixture.h"
#include "fix_gems.h"
#include "gems.h"

#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace varnoquil;
using namespace vtest;

namespace {

TEST_F(Cli, InfoWritesTheInformationTextByteForByte)
{
    const std::string rom = Game("rom.bin");
    iSMD_ info;
    ReadHeader(rom, info);
    const Result r = Run("info " + Q(rom));
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, InformationText(info));
    EXPECT_EQ(r.out.substr(r.out.size() - 15), "version: 2\r\n\r\nM"); // no line break added after the memo
}

TEST_F(Cli, FixGemsWritesWhatTheCoreWrites)
{
    struct Case {
        std::string options;
        double fm, psg;
        bool checksum;
    };
    const Case cases[] = {{"", 1.25, 1.5, true}, {"--preset 'Very Hi' --fm 1.5 --no-checksum", 1.5, 2, false}};
    const std::string in = Game("in.bin");
    for (const Case& c : cases) {
        const Result r = Run("fix-gems " + c.options + " " + Q(in) + " " + Q(dir.Path("out.bin")));
        EXPECT_EQ(r.exit, 0) << r.err;
        const std::string checksumLine = c.checksum ? "checksum fix..\n" : "";
        EXPECT_EQ(r.out, "Loading..\nfm fixed\npsg fixed\n" + checksumLine + "Fix Finished!\n");
        a_byte image;
        FixGems({in, dir.Path("core.bin"), c.fm, c.psg, c.checksum}, {}, image);
        EXPECT_EQ(ReadFile(dir.Path("out.bin")), ReadFile(dir.Path("core.bin"))) << c.options;
    }
}

TEST_F(Cli, TablesInHex)
{
    // Two lines of upper-case hex words; the values are the core's.
    const std::string fm = "fm: 0284 02AA 02D3 02FE 032B 035B 038E 03C5 03FE 043B 047B 04BF 0508\n";
    const Result r = Run("tables");
    EXPECT_EQ(r.out.substr(0, fm.size() + 20), fm + "psg: 03F9 03C0 038A ");
    EXPECT_EQ(r.out.size(), fm.size() + 4 + 64 * 5 + 1);
    const Result scaled = Run("tables --fm 2 --psg 0.5");
    EXPECT_EQ(scaled.out.substr(0, 9), "fm: 0508 ");
    EXPECT_NE(scaled.out.find("\npsg: 07F2 "), std::string::npos);
}

TEST_F(Cli, BadInputAndFileErrors)
{
    const std::string in = Q(Game("in.bin")), out = Q(dir.Path("out.bin")), locked = Q(Game("locked.bin"));
    ::chmod(dir.Path("locked.bin").c_str(), 0444);
    const std::tuple<std::string, int, std::string> cases[]
        = {{"fix-gems --fm 1,5 " + in + " " + out, 2, "'1,5' is not a valid floating point value\n"},
           {"fix-gems --fm 0 " + in + " " + out, 2, "above 0"},
           {"fix-gems --preset Nope " + in + " " + out, 2, "Nope"},
           {"fix-gems " + in + " " + in, 2, "input"},
           {"checksum --fix " + locked, 1, "File access denied\n"},
           {"tables --psg -1", 2, "above 0"},
           {"frobnicate", 2, ""}};
    for (const auto& [args, exit, message] : cases) {
        const Result r = Run(args);
        EXPECT_EQ(r.exit, exit) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << ": " << r.err;
        EXPECT_EQ(r.out.find("Finished"), std::string::npos) << args;
        struct stat st {};
        EXPECT_NE(::stat(dir.Path("out.bin").c_str(), &st), 0) << args;
    }
    EXPECT_EQ(ReadFile(dir.Path("in.bin")), ReadFile(dir.Path("locked.bin")));
}

// What the tool writes to a terminal: it runs on a pseudo-terminal in raw
// mode, so the bytes arrive as written.
std::string OnTerminal(const std::string& args)
{
    termios raw{};
    ::cfmakeraw(&raw);
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, &raw, nullptr);
    if (child == 0) {
        ::execl("/bin/sh", "sh", "-c", (Q(VARNOQUIL_CLI) + " " + args).c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;)
        out.append(buffer, std::size_t(n));
    ::close(terminal);
    ::waitpid(child, nullptr, 0);
    return out;
}

TEST_F(Cli, InfoShowsControlBytesAsQuestionMarksOnATerminalOnly)
{
    const std::string rom = dir.Path("rom.bin");
    WriteFile(rom, RomBuilder(0x200).GameHeader().Put(0x120, "\x1B]0;owned\x07\x1B[2J\x7F\x01\xC8").bytes);
    const std::string raw = Run("info " + Q(rom)).out;
    EXPECT_NE(raw.find("D-name: \x1B]0;owned\x07\x1B[2J\x7F\x01\xC8"), std::string::npos);
    const std::string shown = OnTerminal("info " + Q(rom));
    EXPECT_NE(shown.find("D-name: ?]0;owned??[2J??\xC8"), std::string::npos) << shown;
    EXPECT_EQ(shown.size(), raw.size());
    EXPECT_EQ(shown.find('\x1B'), std::string::npos);
    EXPECT_NE(shown.find("\r\nO-name: "), std::string::npos) << "line breaks stay";
}

TEST_F(Cli, EmptyNamesAndStandardOutputThatCannotBeWritten)
{
    const std::string in = Q(Game("in.bin"));
    for (const std::string& args : {std::string("info ''"), std::string("checksum --fix ''"),
                                    "fix-gems '' " + Q(dir.Path("out.bin")), "fix-gems " + in + " ''"}) {
        const Result r = Run(args);
        EXPECT_EQ(r.exit, 2) << args;
        EXPECT_NE(r.err.find("Expected a file name"), std::string::npos) << args << ": " << r.err;
    }
    // /dev/full takes no byte: every write fails with "no space left".
    for (const std::string& args : {"info " + in, "checksum " + in, std::string("tables"), std::string("--help")}) {
        const Result r = Run(args, "/dev/full");
        EXPECT_EQ(r.exit, 1) << args;
        EXPECT_EQ(r.err, "Cannot write to standard output: Disk full\n") << args;
    }
}

TEST_F(Cli, EveryCommandHasHelpAndTheToolAVersion)
{
    for (const char* args : {"--help", "info --help", "checksum --help", "scan --help", "fix-gems --help",
                             "deinterleave --help", "tables --help", "engines --help", "--version"}) {
        const Result r = Run(args);
        EXPECT_EQ(r.exit, 0) << args;
        EXPECT_FALSE(r.out.empty()) << args;
    }
}

} // namespace
