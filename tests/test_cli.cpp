// SPDX-License-Identifier: MIT
// The command-line tool run as a separate process, on single images built
// here and on folders of real images: its text and JSON output, exit
// statuses, refusals and every command.

#include "gems/fix_gems.h"
#include "rom_builder.h"
#include "ui/sound_engines.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <pty.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace varnoquil;
using namespace vtest;
using nlohmann::json;

namespace {

std::string Q(const std::string& text)
{
    return "'" + text + "'";
}

class Cli : public ::testing::Test {
protected:
    struct Result {
        int exit;
        std::string out, err;
        bool operator==(const Result& o) const { return std::tie(exit, out, err) == std::tie(o.exit, o.out, o.err); }
        friend std::ostream& operator<<(std::ostream& s, const Result& r)
        {
            return s << "exit " << r.exit << ", out \"" << r.out << "\", err \"" << r.err << '"';
        }
    };
    TempDir dir, io;

    // Runs the tool in the test's folder; with merged, standard error goes
    // into the same file as standard output, as "> log 2>&1" does.
    Result Run(const std::string& args, bool merged = false) const
    {
        const std::string err = merged ? " 2>&1" : " 2>" + Q(io.Path("err"));
        const int status = std::system(("cd " + Q(dir.root) + " && " + Q(VARNOQUIL_CLI) + " " + args + " >"
                                        + Q(io.Path("out")) + err + " </dev/null")
                                           .c_str());
        const a_byte out = ReadFile(io.Path("out")), errors = merged ? a_byte() : ReadFile(io.Path("err"));
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, {out.begin(), out.end()}, {errors.begin(), errors.end()}};
    }

    // A game with both GEMS tables, a wrong stored checksum (0A5F), a modem
    // field, a zero byte in its memo and raw high bytes in its name.
    std::string Game(const std::string& name) const
    {
        RomBuilder rom = RomBuilder(0x400).Random(1, 0x200).GameHeader().BigEndian(0x18E, 0x0A5F, 2);
        rom.Put(0x301, DriverFm()).Put(0x320, DriverPsg());
        rom.Put(0x120, "\xC8\xC3\xD0").Put(0x1BC, "MOSEGA01.2").Put(0x1C8, std::string("M\0X", 3));
        WriteFile(dir.Path(name), rom.bytes);
        return dir.Path(name);
    }
};

TEST_F(Cli, InfoAndFixGemsWriteWhatTheCoreWrites)
{
    const std::string in = Game("in.bin");
    iSMD_ info;
    ReadHeader(in, info);
    const Result r = Run("info " + Q(in));
    EXPECT_EQ(r.out, InformationText(info));
    EXPECT_EQ(r.out.substr(r.out.size() - 15), "version: 2\r\n\r\nM"); // no line break added after the memo

    // A preset with a scale of its own, and the checksum, are run in the
    // warnings' test.
    EXPECT_EQ(Run("fix-gems --no-checksum " + Q(in) + " " + Q(dir.Path("out.bin"))),
              (Result{0, "Loading..\nfm fixed\npsg fixed\nFix Finished!\n", ""}));
    a_byte buffer;
    FixGems(FixRequest(in, dir.Path("core.bin"), 1.25, 1.5, false), {}, buffer);
    EXPECT_EQ(ReadFile(dir.Path("out.bin")), ReadFile(dir.Path("core.bin")));
}

TEST_F(Cli, TablesInHex)
{
    const std::string fm = "fm: 0284 02AA 02D3 02FE 032B 035B 038E 03C5 03FE 043B 047B 04BF 0508\n";
    const Result r = Run("tables");
    EXPECT_EQ(r.out.substr(0, fm.size() + 20), fm + "psg: 03F9 03C0 038A ");
    EXPECT_EQ(r.out.size(), fm.size() + 4 + 64 * 5 + 1);
    const Result scaled = Run("tables --fm 2 --psg 0.5");
    EXPECT_EQ(scaled.out.substr(0, 9), "fm: 0508 ");
    EXPECT_NE(scaled.out.find("\npsg: 07F2 "), std::string::npos);
}

// Each row: the arguments, the exit status and a text standard error must
// hold. No run may write the output file or change the inputs. Names are
// relative to the test's folder, where the tool runs.
TEST_F(Cli, ExitStatusAndMessageOfEveryKindOfRequest)
{
    Game("in.bin"), Game("locked.bin");
    ::chmod(dir.Path("locked.bin").c_str(), 0444);
    const std::string help = "\nTry 'varnoquil-cli --help'.\n";
    const std::tuple<std::string, int, std::string> cases[]
        = {{"fix-gems --fm 1,5 in.bin out.bin", 2, "varnoquil-cli: '1,5' is not a valid floating point value\n"},
           {"fix-gems --fm 0 in.bin out.bin", 2, "above 0"},
           {"fix-gems --preset Nope in.bin out.bin", 2, "'Nope' (the presets are \"Sega Tavrik\", \"Very Hi\", "},
           {"fix-gems in.bin in.bin", 2, "varnoquil-cli: in.bin: The output file must not be the input file\n"},
           {"fix-gems in.bin no/out.bin", 1, "varnoquil-cli: no/out.bin: File not found\n"},
           {"checksum --fix locked.bin", 1, "varnoquil-cli: locked.bin: File access denied\n"},
           {"info none.bin", 1, "varnoquil-cli: none.bin: File not found\n"},
           {"info -- -in.bin", 1, "varnoquil-cli: -in.bin: File not found\n"},
           {"tables --psg -1", 2, "above 0"},
           {"tables --psg", 2, "varnoquil-cli: option '--psg' needs a value" + help},
           {"frobnicate", 2, "varnoquil-cli: unknown command 'frobnicate'" + help},
           {"info -v in.bin", 2, "varnoquil-cli: unknown option '-v'" + help},
           {"tables 2", 2, "varnoquil-cli: unexpected argument '2'" + help},
           {"checksum --force in.bin", 2, "--fix"},
           {"info ''", 2, "Expected a file name"},
           {"checksum --fix ''", 2, "Expected a file name"},
           {"fix-gems '' out.bin", 2, "Expected a file name"},
           {"fix-gems in.bin ''", 2, "Expected a file name"}};
    for (const auto& [args, exit, message] : cases) {
        const Result r = Run(args);
        EXPECT_EQ(r.exit, exit) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << ": " << r.err;
        EXPECT_EQ(r.out.find("Finished"), std::string::npos) << args;
        EXPECT_FALSE(std::filesystem::exists(dir.Path("out.bin"))) << args;
    }
    EXPECT_EQ(ReadFile(dir.Path("in.bin")), ReadFile(dir.Path("locked.bin")));
    EXPECT_EQ(Run("-v"), (Result{0, "varnoquil-cli " VARNOQUIL_VERSION "\n", ""}));
}

// Every help: one usage, lines within 80 columns, no parser's jargon, and
// only the command's own options.
TEST_F(Cli, HelpReadsLikeAUnixToolsHelp)
{
    for (const std::string command : {"", "info", "checksum", "scan", "fix-gems", "convert", "tables", "engines"}) {
        const Result r = Run(command + " --help");
        EXPECT_EQ(r.exit, 0) << command;
        EXPECT_EQ(r.out.find("Usage: varnoquil-cli " + command), 0u) << command;
        EXPECT_EQ(r.out.find("Usage:", 1), std::string::npos) << command;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(line.size(), 80u) << command << ": " << line;
        for (const char* jargon : {"REQUIRED", "Needs:", "TEXT TEXT", "PATH TEXT", "SUBCOMMAND"})
            EXPECT_EQ(r.out.find(jargon), std::string::npos) << command << ": " << jargon;
    }
    // Long lines go on under their first word; descriptions line up.
    EXPECT_EQ(Run("fix-gems --help")
                  .out.find("Usage: varnoquil-cli fix-gems [--preset NAME] [--fm SCALE] [--psg "
                            "SCALE]\n                              [--no-checksum] [--json] [--] IN OUT\n"),
              0u);
    EXPECT_NE(Run("--help").out.find("\n  -v, --version  Print the version and exit\n  -h, --help     Print"),
              std::string::npos);
    const std::string info = Run("info --help").out, checksum = Run("checksum --help").out;
    EXPECT_TRUE(info.find("SCALE") == std::string::npos && info.find("--fix") == std::string::npos) << info;
    EXPECT_EQ(checksum.find("only read"), std::string::npos) << checksum;
}

// What the tool, run in a folder, writes to a pseudo-terminal in raw mode,
// byte for byte.
std::string OnTerminalIn(const std::string& folder, const std::string& args)
{
    termios raw{};
    ::cfmakeraw(&raw);
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, &raw, nullptr);
    if (child == 0) {
        const std::string command = "cd " + Q(folder) + " && " + Q(VARNOQUIL_CLI) + " " + args;
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
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

TEST_F(Cli, ControlBytesOfHeadersAndNamesShowAsQuestionMarksOnATerminalOnly)
{
    const std::string rom = dir.Path("rom.bin");
    WriteFile(rom, RomBuilder(0x200).GameHeader().Put(0x120, "\x1B]0;owned\x07\x1B[2J\x7F\x01\xC8").bytes);
    const std::string raw = Run("info " + Q(rom)).out, shown = OnTerminalIn(dir.root, "info " + Q(rom));
    EXPECT_NE(raw.find("D-name: \x1B]0;owned\x07\x1B[2J\x7F\x01\xC8"), std::string::npos);
    EXPECT_NE(shown.find("D-name: ?]0;owned??[2J??\xC8"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r\nO-name: "), std::string::npos) << "line breaks stay";
    EXPECT_EQ(shown.size(), raw.size());

    // A name on a result line, a "PATH:" line and an error line; a pipe
    // keeps its bytes.
    const std::string red = "a\x1B[31m\nred.bin", gone = "gone\x1B[2J.bin";
    WriteFile(dir.Path(red), RomBuilder(0x200).GameHeader().bytes);
    const std::string args = Q(red) + " " + Q(gone);
    const std::string checksum = OnTerminalIn(dir.root, "checksum " + args),
                      info = OnTerminalIn(dir.root, "info " + args);
    EXPECT_EQ(checksum,
              "a?[31m?red.bin: stored 0000 computed 0000\n"
              "varnoquil-cli: gone?[2J.bin: File not found\n2 files: 1 equal, 0 differ, 0 fixed, 1 failed\n");
    EXPECT_EQ(info.find("a?[31m?red.bin:\r\n"), 0u) << info;
    EXPECT_EQ(Run("checksum " + args, true).out,
              red + ": stored 0000 computed 0000\nvarnoquil-cli: " + gone
                  + ": File not found\n2 files: 1 equal, 0 differ, 0 fixed, 1 failed\n");
}

const std::string kData = VARNOQUIL_TEST_DATA;
const std::string kTool = "varnoquil-cli: ";

class Collections : public Cli {
protected:
    // roms/ holds real images (one equal, one differing), a disc image whose
    // checksum differs, a file too short for a header, a text file that a
    // folder does not stand for, and an image in a subfolder.
    void SetUp() override
    {
        std::filesystem::create_directories(dir.Path("roms/sub"));
        WriteFile(P("roms/good.bin"), mini);
        WriteFile(P("roms/notes.txt"), mini);
        WriteFile(P("roms/bad.bin"), ReadFile(kData + "/minimusic-sample.bin"));
        WriteFile(P("roms/sub/deep.BIN"), ReadFile(kData + "/sega-2048.bin"));
        WriteFile(P("roms/disc.bin"), RomBuilder(0x1000).GameHeader().Put(0, "SEGADISCSYSTEM").bytes);
        WriteFile(P("roms/short.bin"), a_byte(100));
    }

    const a_byte mini = ReadFile(kData + "/miniplanets-rev04.bin");
    std::string P(const std::string& name) const { return dir.Path(name); }
    // Every line of standard output, each parsed: nothing else may be there.
    static std::vector<json> JsonLines(const std::string& out)
    {
        std::vector<json> objects;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);)
            objects.push_back(json::parse(line));
        EXPECT_TRUE(out.empty() || out.back() == '\n');
        return objects;
    }
};

// The disc image's header is all zero past the game header: stored 0000,
// computed over zero bytes 0000.
TEST_F(Collections, ChecksumOverAFolderNamesEachFileGoesOnAfterFailuresAndSumsUp)
{
    const std::string roms = P("roms");
    EXPECT_EQ(Run("checksum " + Q(roms)),
              (Result{1,
                      roms + "/bad.bin: stored 0000 computed 2109\n" + roms + "/disc.bin: stored 0000 computed 0000\n"
                          + roms + "/good.bin: stored 5873 computed 5873\n",
                      kTool + roms
                          + "/short.bin: Read beyond end of file\n4 files: 2 equal, 1 differ, 0 fixed, 1 failed\n"}));

    // Exit 3 when a checksum differs and nothing failed; -r takes subfolders;
    // two files named without a folder are a batch too.
    EXPECT_EQ(
        Run("checksum -r " + Q(P("roms/good.bin")) + " " + Q(P("roms/sub"))),
        (Result{3,
                roms + "/good.bin: stored 5873 computed 5873\n" + roms + "/sub/deep.BIN: stored 0000 computed 8182\n",
                "2 files: 1 equal, 1 differ, 0 fixed, 0 failed\n"}));
    EXPECT_EQ(Run("checksum " + Q(P("roms/good.bin")) + " " + Q(P("roms/good.bin"))).err,
              "2 files: 2 equal, 0 differ, 0 fixed, 0 failed\n");
    // One file named, whatever its extension: the line alone.
    EXPECT_EQ(Run("checksum " + Q(P("roms/notes.txt"))), (Result{0, "stored 5873 computed 5873\n", ""}));

    // Into one log, each file's lines come in the files' order.
    EXPECT_EQ(Run("checksum roms/good.bin roms/short.bin roms/sub", true).out,
              "roms/good.bin: stored 5873 computed 5873\n" + kTool
                  + "roms/short.bin: Read beyond end of file\n"
                    "roms/sub/deep.BIN: stored 0000 computed 8182\n3 files: 1 equal, 1 differ, 0 fixed, 1 failed\n");
}

// The same file named again, through any path, is worked on after its
// earlier turn, never beside it: the repair is made once, whatever the run.
TEST_F(Collections, AFileNamedAgainIsTakenInItsTurn)
{
    std::filesystem::create_symlink("bad.bin", P("roms/again.bin"));
    const a_byte bad = ReadFile(P("roms/bad.bin"));
    for (int run = 0; run < 5; ++run) {
        WriteFile(P("roms/bad.bin"), bad);
        EXPECT_EQ(Run("checksum --fix roms/bad.bin roms/bad.bin roms/again.bin roms/bad.bin"),
                  (Result{0,
                          "roms/bad.bin: stored 0000 computed 2109 fixed\nroms/bad.bin: stored 2109 computed 2109\n"
                          "roms/again.bin: stored 2109 computed 2109\nroms/bad.bin: stored 2109 computed 2109\n",
                          "4 files: 3 equal, 0 differ, 1 fixed, 0 failed\n"}));
    }
}

TEST_F(Collections, RepairWritesOnlyPlainCartridgeImagesUnlessForced)
{
    const std::string roms = P("roms");
    const a_byte bad = ReadFile(P("roms/bad.bin"));
    RomBuilder disc(ReadFile(P("roms/disc.bin")));
    disc.Put(0x200, "xy"); // the forced repair below then has a sum to write
    WriteFile(P("roms/disc.bin"), disc.bytes);
    WriteFile(P("dump.bin"), Interleave(ReadFile(kData + "/sega-2048.bin")));
    const a_byte dump = ReadFile(P("dump.bin"));

    EXPECT_EQ(
        Run("checksum --fix " + Q(roms)),
        (Result{1,
                roms + "/bad.bin: stored 0000 computed 2109 fixed\n" + roms + "/good.bin: stored 5873 computed 5873\n",
                kTool + roms + "/disc.bin: Not a cartridge ROM image\n" + kTool + roms
                    + "/short.bin: Not a cartridge ROM image\n4 files: 1 equal, 0 differ, 1 fixed, 2 failed\n"}));
    EXPECT_EQ(ReadFile(P("roms/bad.bin")), RomBuilder(bad).BigEndian(0x18E, 0x2109, 2).bytes);
    EXPECT_EQ(ReadFile(P("roms/disc.bin")), disc.bytes);

    EXPECT_EQ(Run("checksum --fix dump.bin"), (Result{1, "", kTool + "dump.bin: Not a cartridge ROM image\n"}));
    // One file: the line alone, and with JSON an error object in its place.
    WriteFile(P("one.bin"), bad);
    EXPECT_EQ(Run("checksum --fix one.bin"), (Result{0, "stored 0000 computed 2109\n", ""}));
    EXPECT_EQ(Run("checksum --fix --json none.bin"),
              (Result{1,
                      R"({"file":"none.bin","error":"File not found"})"
                      "\n",
                      ""}));
    // Forced, a dump is still refused: its checksum lies in its plain image,
    // which a write at 0x18E would miss.
    EXPECT_EQ(Run("checksum --fix --force dump.bin").err.find(kTool + "dump.bin: Not a cartridge ROM image: the"), 0u);
    EXPECT_EQ(ReadFile(P("dump.bin")), dump);

    // --force writes what the window would: the checksum of the file's bytes.
    const std::vector<json> forced = JsonLines(Run("checksum --fix --force --json " + Q(P("roms/disc.bin"))).out);
    ASSERT_EQ(forced.size(), 1u);
    EXPECT_EQ(forced[0].at("fixed"), true);
    EXPECT_EQ(forced[0].at("checksum"),
              (json{{"stored", "0000"}, {"computed", "7879"}, {"equal", false}, {"computed_rom_range", "7879"}}));
    EXPECT_EQ(ReadFile(P("roms/disc.bin")), disc.BigEndian(0x18E, 0x7879, 2).bytes);
    EXPECT_EQ(Run("checksum --fix --force roms/disc.bin"), (Result{0, "stored 7879 computed 7879\n", ""}));
    EXPECT_EQ(Run("checksum --force " + Q(P("roms/good.bin"))).exit, 2); // --force needs --fix
}

TEST_F(Collections, JsonLinesDescribeEveryFile)
{
    WriteFile(P("roms/mini.smd"), Interleave(mini));
    WriteFile(P("roms/noise.bin"), RomBuilder(0x400).Random(9).bytes);
    const Result r = Run("info --json -r " + Q(P("roms")) + " " + Q(P("roms/mini.smd")));
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "7 files: 6 read, 1 failed\n");
    std::vector<json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 7u);
    std::vector<std::string> names;
    for (json& object : lines)
        names.push_back(object.at("file").get<std::string>().substr(P("roms/").size()));
    EXPECT_EQ(names,
              (std::vector<std::string>{"sub/deep.BIN", "bad.bin", "disc.bin", "good.bin", "noise.bin", "short.bin",
                                        "mini.smd"}));
    const auto& [deep, good, noise, dump] = std::tie(lines[0], lines[3], lines[4], lines[6]);

    EXPECT_EQ(good.at("header_hex").get<std::string>().substr(0, 8), "53454741");
    EXPECT_EQ(lines[5], (json{{"file", P("roms/short.bin")}, {"error", "Read beyond end of file"}}));
    EXPECT_EQ(deep.at("sram"),
              (json{{"type", "F820"},
                    {"kind", "sram-odd"},
                    {"start", 0x200000},
                    {"end", 0x2001FF},
                    {"size", 0x200},
                    {"valid", true}}));
    EXPECT_EQ(lines[2].at("format"), "mega-cd");
    EXPECT_EQ(std::make_pair(noise.at("format"), noise.at("system")), std::make_pair(json("unknown"), json()));
    // The dump is described by the image it holds, and checked by it.
    EXPECT_EQ(Run("checksum --json " + Q(P("roms/mini.smd"))).exit, 0);
    EXPECT_EQ(Run("checksum --json roms/bad.bin").exit, 3);
    EXPECT_EQ(dump.at("file_size"), mini.size() + 512);
    dump.erase("file_size"), good.erase("file_size");
    EXPECT_EQ(dump.at("format"), "smd");
    dump["format"] = "bin", dump["file"] = good.at("file");
    EXPECT_EQ(dump, good);

    good.erase("header_hex");
    EXPECT_EQ(good, json::parse(R"({"file": ")" + P("roms/good.bin") + R"(", "format": "bin",
        "system": "mega-drive", "hardware": [], "platform": "SEGA MEGA DRIVE", "copyright": "(C) SIK 2022.JUN",
        "domestic_name": "MINIPLANETS", "overseas_name": "MINIPLANETS", "serial": "GM SIK-MINI-04",
        "memo": "", "country": "JUE", "checksum": {"stored": "5873", "computed": "5873", "equal": true,
        "computed_rom_range": null}, "rom": {"start": 0, "end": 524287, "size": 524288, "valid": true},
        "ram": {"start": 16711680, "end": 16777215, "size": 65536, "valid": true},
        "sram": null, "header_size_matches_file": true, "regions": ["Japan", "Americas", "Europe"],
        "devices": ["3-button joypad"], "gems": {"fm": [], "psg": []}})"));
}

// The decoded header for people, from the image's header bytes; an MGD dump
// of it reads the same, and converts back to it.
TEST_F(Collections, InfoLongDecodesTheHeaderForPeople)
{
    const std::string lines = "format:         plain cartridge image\n"
                              "file size:      512 KiB\n"
                              "system:         Mega Drive / Genesis\n"
                              "hardware:       none\n"
                              "platform:       SEGA MEGA DRIVE\n"
                              "copyright:      (C) SIK 2022.JUN\n"
                              "domestic name:  MINIPLANETS\n"
                              "overseas name:  MINIPLANETS\n"
                              "serial:         GM SIK-MINI-04\n"
                              "country:        JUE\n"
                              "regions:        Japan, Americas, Europe\n"
                              "devices:        3-button joypad\n"
                              "ROM:            0x000000-0x07FFFF, 512 KiB\n"
                              "RAM:            0xFF0000-0xFFFFFF, 64 KiB\n"
                              "backup memory:  none\n"
                              "checksum:       stored 5873, computed 5873 (equal)\n"
                              "GEMS tables:    none\n"
                              "memo:\n";
    EXPECT_EQ(Run("info --long roms/good.bin"), (Result{0, lines, ""}));
    WriteFile(P("mini.mgd"), Mgd(mini));
    const Result mgd = Run("info --long mini.mgd");
    EXPECT_EQ(mgd.out.substr(mgd.out.find('\n')), lines.substr(lines.find('\n'))) << mgd;
    EXPECT_EQ(Run("deinterleave mini.mgd plain.bin").exit + Run("checksum --fix mini.mgd").exit, 0 + 1);
    EXPECT_EQ(ReadFile(P("plain.bin")), mini);
}

TEST_F(Collections, ScanListsEveryTableOffsetAndNamesThatAreNotUtf8)
{
    const a_byte fm = DriverFm(), psg = DriverPsg();
    WriteFile(P("g\xFF.bin"), RomBuilder(0x1000).GameHeader().Put(0x201, fm).Put(0x400, psg).Put(0xFE6, fm).bytes);
    EXPECT_EQ(Run("scan " + Q(P("g\xFF.bin"))).out, "fm 0x00000201\nfm 0x00000FE6\npsg 0x00000400\n");
    const std::vector<json> lines = JsonLines(Run("scan --json " + Q(P("g\xFF.bin"))).out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].at("file"), P("g\uFFFD.bin"));
    EXPECT_EQ(lines[0].at("gems"), (json{{"fm", {0x201, 0xFE6}}, {"psg", {0x400}}}));
}

TEST_F(Collections, FixGemsSaysWhenNothingWasFoundAndWhatDoesNotFit)
{
    EXPECT_EQ(Run("fix-gems " + Q(P("roms/good.bin")) + " " + Q(P("out.bin"))),
              (Result{4, "Loading..\nfm not fixed\npsg not fixed\nchecksum fix..\nFix Finished!\n",
                      kTool + P("roms/good.bin") + ": no GEMS tables found\n"}));
    a_byte buffer;
    FixGems(FixRequest(P("roms/good.bin"), P("core.bin"), 1.25, 1.5, true), {}, buffer);
    EXPECT_EQ(ReadFile(P("out.bin")), ReadFile(P("core.bin"))); // written all the same

    const std::string game = Game("game.bin");
    // Warnings follow the whole last status line, also in one log.
    EXPECT_EQ(Run("fix-gems --preset 'Very Hi' --psg 0.0001 " + Q(game) + " " + Q(P("loud.bin")), true).out,
              "Loading..\nfm fixed\npsg fixed\nchecksum fix..\nFix Finished!\n" + kTool
                  + "warning: 4 FM entries exceed 2047, the chip's 11-bit field\n" + kTool
                  + "warning: 64 PSG entries wrapped past 16 bits\n");
    FixGems(FixRequest(game, P("core.bin"), 2, 0.0001, true), {}, buffer);
    EXPECT_EQ(ReadFile(P("loud.bin")), ReadFile(P("core.bin")));
    // Scales so far from 1 that every entry of a table comes out the same.
    const Result flat = Run("fix-gems --json --fm 1e-300 --psg 1e300 " + Q(game) + " flat.bin");
    EXPECT_EQ(flat.err,
              kTool + "warning: all 13 FM entries are 0000\n" + kTool + "warning: all 64 PSG entries are 0000\n");
    EXPECT_EQ(JsonLines(flat.out).at(0).at("warnings"),
              (json{"all 13 FM entries are 0000", "all 64 PSG entries are 0000"}));

    // Only tables that were written are warned about.
    WriteFile(P("fm-only.bin"), RomBuilder(0x400).GameHeader().Put(0x300, DriverFm()).bytes);
    const Result fmOnly = Run("fix-gems --psg 0.0001 --json " + Q(P("fm-only.bin")) + " " + Q(P("fm-out.bin")));
    EXPECT_TRUE(fmOnly.exit == 0 && fmOnly.err.empty()) << fmOnly;
    EXPECT_EQ(JsonLines(fmOnly.out),
              (std::vector<json>{{{"file", P("fm-only.bin")},
                                  {"output", P("fm-out.bin")},
                                  {"fm_fixed", true},
                                  {"psg_fixed", false},
                                  {"warnings", json::array()}}}));
}

// Only a plain cartridge image has its checksum at 0x18E: any other input is
// refused before OUT is made, unless its checksum is left alone.
TEST_F(Collections, FixGemsRetunesOnlyCartridgeImagesUnlessTheChecksumIsLeftAlone)
{
    WriteFile(P("mini.smd"), Interleave(mini));
    const a_byte fm = DriverFm();
    WriteFile(P("game.sms"), RomBuilder(0x8000).Put(0x7FF0, "TMR SEGA").Put(0x1000, fm).bytes);
    for (const std::string in : {"mini.smd", "roms/disc.bin", "game.sms"}) {
        EXPECT_EQ(Run("fix-gems " + in + " out.bin"),
                  (Result{1, "Loading..\n", kTool + in + ": Not a cartridge ROM image\n"}));
        EXPECT_FALSE(std::filesystem::exists(P("out.bin"))) << in;
        EXPECT_EQ(Run("fix-gems --no-checksum " + in + " out.bin").exit, in == "game.sms" ? 0 : 4) << in;
        EXPECT_TRUE(std::filesystem::remove(P("out.bin"))) << in;
    }
}

TEST_F(Collections, DeinterleaveWritesThePlainImageOfADumpOnly)
{
    WriteFile(P("mini.smd"), Interleave(mini));
    EXPECT_EQ(Run("deinterleave " + Q(P("mini.smd")) + " " + Q(P("plain.bin"))).exit, 0);
    EXPECT_EQ(ReadFile(P("plain.bin")), mini);

    EXPECT_EQ(Run("deinterleave " + Q(P("roms/good.bin")) + " " + Q(P("never.bin"))),
              (Result{1, "", kTool + P("roms/good.bin") + ": Nothing to convert: already a plain cartridge image\n"}));
    EXPECT_FALSE(std::filesystem::exists(P("never.bin")));
}

TEST_F(Collections, EnginesFiltersTheShippedList)
{
    const auto lines = [](const std::vector<SoundEngineRow>& rows) {
        std::string text;
        for (const SoundEngineRow& row : rows)
            text += row.game + "\t" + row.engine + "\n";
        return text;
    };
    const std::string all = lines(ShippedSoundEngines()),
                      sonic = lines(SoundEnginesMatching(ShippedSoundEngines(), "SONIC"));
    EXPECT_NE(sonic.find("Sonic the Hedgehog\tSMPS 68k\n"), std::string::npos);
    EXPECT_EQ(Run("engines SONIC").out, sonic);
    EXPECT_EQ(Run("engines").out, all);
}

} // namespace
