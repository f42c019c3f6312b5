// SPDX-License-Identifier: MIT
// The command-line tool run as a separate process, on single images built
// here and on folders of real images: its text and JSON output, exit
// statuses, refusals and every command.

#include "rom_builder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace varnoquil;
using namespace vtest;
using nlohmann::json;

// The start of the tool's messages.
const std::string kTool = "varnoquil-cli: ";

// The text as one word of the shell, quoted.
std::string Q(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
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

    // Runs the tool in the test's folder, its standard error in a file of its
    // own; into one log with standard output, as "> log 2>&1" does; or on a
    // terminal in raw mode (made by script(1)), which shows both byte for byte.
    enum To { kFiles, kOneLog, kTerminal };
    Result Run(const std::string& args, To to = kFiles) const { return Shell(Q(VARNOQUIL_CLI) + " " + args, to); }
    // The same for any command line of the shell.
    Result Shell(const std::string& line, To to = kFiles) const
    {
        const std::string command
            = to == kTerminal ? "script -qec " + Q("stty raw -echo; " + line) + " /dev/null" : line;
        const std::string err = to == kFiles ? " 2>" + Q(io.Path("err")) : " 2>&1";
        const int status = std::system(
            ("cd " + Q(dir.root) + " && " + command + " >" + Q(io.Path("out")) + err + " </dev/null").c_str());
        const a_byte out = ReadFile(io.Path("out")), errors = to == kFiles ? ReadFile(io.Path("err")) : a_byte();
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, {out.begin(), out.end()}, {errors.begin(), errors.end()}};
    }

    // A game with both GEMS tables, a wrong stored checksum (0A5F), a modem
    // field, a zero byte in its memo and raw high bytes in its name.
    std::string Game(const std::string& name) const
    {
        RomBuilder rom
            = RomBuilder(0x400).Random(1, 0x200).GameHeader().BigEndian(0x18E, 0x0A5F, 2).Tables(0x301, 0x320);
        rom.Put(0x120, "\xC8\xC3\xD0").Put(0x1BC, "MOSEGA01.2").Put(0x1C8, std::string("M\0X", 3));
        WriteFile(dir.Path(name), rom.bytes);
        return dir.Path(name);
    }
};

// The driver's FM table, the start of its PSG table and 64 entries in all;
// the start of each table for other scales. The rows of the shipped engine
// list whose game or engine holds the text in any case, in the list's order
// (engines, then games); without a text, one line for each row of the data
// file.
TEST_F(Cli, TablesInHexAndTheEnginesOfTheShippedList)
{
    const std::string fm = "fm: 0284 02AA 02D3 02FE 032B 035B 038E 03C5 03FE 043B 047B 04BF 0508\n",
                      out = Run("tables").out, scaled = Run("tables --fm 2 --psg 0.5").out;
    EXPECT_EQ(std::pair(out.substr(0, fm.size() + 20), out.size()),
              std::pair(fm + "psg: 03F9 03C0 038A ", fm.size() + 4 + 64 * 5 + 1));
    EXPECT_EQ(scaled.substr(0, 9) + scaled.substr(scaled.find("\npsg:"), 11), "fm: 0508 \npsg: 07F2 ");

    const std::string sonic
        = "Sonic Spinball\tGEMS\nSonic the Hedgehog\tSMPS 68k\nSonic & Knuckles\tSMPS Z80/mod\n"
          "Sonic the Hedgehog 2\tSMPS Z80/mod\nSonic the Hedgehog 3\tSMPS Z80/mod\nSonic 3D Blast "
          "(Sonic 3D Flickies' Island)\tSMPS Z80\nSonic Crackers (prototype)\tSMPS Z80\nSonic Eraser\tSMPS Z80\n";
    EXPECT_EQ(Run("engines sOnIc"), (Result{0, sonic, ""}));
    const std::string all = Run("engines").out;
    EXPECT_EQ(std::to_string(std::count(all.begin(), all.end(), '\n')) + "\n",
              Shell("grep -cv '^#' " + Q(VARNOQUIL_SOUND_ENGINES_TSV)).out);
}

// Each row: the arguments, the exit status and a text standard error must
// hold. No run may write the output file or a JSON line, or change the
// inputs. Names are relative to the test's folder, where the tool runs. Fix
// GEMS refuses a disc image, as it repairs the checksum, which does not lie
// at 0x18E there. Then the version, and every help: one usage, lines within
// 80 columns, no parser's jargon, and only the command's own options.
TEST_F(Cli, HelpVersionAndTheExitStatusAndMessageOfEveryKindOfRequest)
{
    Game("in.bin"), Game("locked.bin");
    ::chmod(dir.Path("locked.bin").c_str(), 0444);
    WriteFile(dir.Path("disc.bin"), DiscImage(0));
    const std::string help = "\nTry 'varnoquil-cli --help'.\n", noName = "Expected a file name";
    // clang-format off
    const std::tuple<std::string, int, std::string> cases[] = {
        {"fix-gems --fm 1,5 in.bin out.bin", 2, kTool + "'1,5' is not a valid floating point value\n"},
        {"fix-gems --fm 0 in.bin out.bin", 2, "above 0"}, {"tables --psg -1", 2, "above 0"},
        {"fix-gems --preset Nope in.bin out.bin", 2, "'Nope' (the presets are \"Sega Tavrik\", \"Very Hi\", "},
        {"fix-gems in.bin in.bin", 2, kTool + "in.bin: The output file must not be the input file\n"},
        {"fix-gems in.bin no/out.bin", 1, kTool + "no/out.bin: File not found\n"},
        {"fix-gems disc.bin out.bin", 1, kTool + "disc.bin: Not a cartridge ROM image\n"},
        {"checksum --fix locked.bin", 1, kTool + "locked.bin: File access denied\n"},
        {"info none.bin", 1, kTool + "none.bin: File not found\n"},
        {"info -- -in.bin", 1, kTool + "-in.bin: File not found\n"},
        {"deinterleave in.bin out.bin", 1, kTool + "in.bin: Nothing to convert: already a plain cartridge image\n"},
        {"tables 2", 2, kTool + "unexpected argument '2'" + help},
        {"tables --psg", 2, kTool + "option '--psg' needs a value" + help},
        {"frobnicate", 2, kTool + "unknown command 'frobnicate'" + help},
        {"info -v in.bin", 2, kTool + "unknown option '-v'" + help},
        {"checksum --force in.bin", 2, "--fix"}, {"info ''", 2, noName}, {"checksum --fix ''", 2, noName},
        {"fix-gems '' out.bin", 2, noName}, {"fix-gems in.bin ''", 2, noName}};
    // clang-format on
    for (const auto& [args, exit, message] : cases) {
        const Result r = Run(args);
        EXPECT_TRUE(r.exit == exit && r.err.find(message) != std::string::npos
                    && r.out.find("Finished") == std::string::npos && r.out.find('{') == std::string::npos
                    && !std::filesystem::exists(dir.Path("out.bin")))
            << args << ": " << r;
    }
    EXPECT_EQ(ReadFile(dir.Path("in.bin")), ReadFile(dir.Path("locked.bin")));
    EXPECT_EQ(Run("-v"), (Result{0, "varnoquil-cli " VARNOQUIL_VERSION "\n", ""}));

    for (const std::string command :
         {"", "info", "checksum", "scan", "hash", "identify", "fix-gems", "convert", "tables", "engines"}) {
        const Result r = Run(command + " --help");
        EXPECT_TRUE(r.exit == 0 && r.out.find("Usage: varnoquil-cli " + command) == 0
                    && r.out.find("Usage:", 1) == std::string::npos)
            << r;
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
    // Notes wrap flush left.
    const std::string top = Run("--help").out;
    for (const char* lines : {"\n  -v, --version  Print the version and exit\n  -h, --help     Print",
                              "options. A\nfile name that begins with \"-\" follows \"--\""})
        EXPECT_NE(top.find(lines), std::string::npos) << top;
    const std::string info = Run("info --help").out, checksum = Run("checksum --help").out;
    EXPECT_TRUE(info.find("SCALE") == std::string::npos && info.find("--fix") == std::string::npos) << info;
    EXPECT_EQ(checksum.find("only read"), std::string::npos) << checksum;
}

TEST_F(Cli, ControlBytesOfHeadersAndNamesShowAsQuestionMarksOnATerminalOnly)
{
    const std::string rom = dir.Path("rom.bin");
    WriteFile(rom, RomBuilder(0x200).GameHeader().Put(0x120, "\x1B]0;owned\x07\x1B[2J\x7F\x01\xC8").bytes);
    // Shown, each control byte takes the place of one "?"; CR and LF stay.
    const std::string raw = Run("info " + Q(rom)).out, shown = Run("info " + Q(rom), kTerminal).out;
    EXPECT_NE(raw.find("D-name: \x1B]0;owned\x07\x1B[2J\x7F\x01\xC8"), std::string::npos);
    EXPECT_EQ(shown, std::string(raw).replace(raw.find("\x1B]0"), 17, "?]0;owned??[2J??\xC8"));

    // A name on a result line, a "PATH:" line and an error line; a pipe
    // keeps its bytes.
    const std::string red = "a\x1B[31m\nred.bin", gone = "gone\x1B[2J.bin";
    WriteFile(dir.Path(red), RomBuilder(0x200).GameHeader().bytes);
    const std::string args = Q(red) + " " + Q(gone);
    const std::string checksum = Run("checksum " + args, kTerminal).out, info = Run("info " + args, kTerminal).out;
    EXPECT_EQ(checksum,
              "a?[31m?red.bin: stored 0000 computed 0000\n"
              "varnoquil-cli: gone?[2J.bin: File not found\n2 files: 1 equal, 0 differ, 0 fixed, 1 failed\n");
    EXPECT_EQ(info.find("a?[31m?red.bin:\r\n"), 0u) << info;
    EXPECT_EQ(Run("checksum " + args, kOneLog).out,
              red + ": stored 0000 computed 0000\nvarnoquil-cli: " + gone
                  + ": File not found\n2 files: 1 equal, 0 differ, 0 fixed, 1 failed\n");
}

const std::string kData = VARNOQUIL_TEST_DATA;

// Runs in the test's folder, where roms/ holds real images (one equal, one
// differing), a disc image whose checksum differs, a file too short for a
// header, a text file that a folder does not stand for, and an image in a
// subfolder.
class Collections : public Cli {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.Path("roms/sub"));
        WriteFile(P("roms/good.bin"), mini);
        WriteFile(P("roms/notes.txt"), mini);
        WriteFile(P("roms/bad.bin"), bad);
        WriteFile(P("roms/sub/deep.BIN"), ReadFile(kData + "/sega-2048.bin"));
        WriteFile(P("roms/disc.bin"), RomBuilder(0x1000).GameHeader().Put(0, "SEGADISCSYSTEM").bytes);
        WriteFile(P("roms/short.bin"), a_byte(100));
    }

    const a_byte mini = ReadFile(kData + "/miniplanets-rev04.bin"), bad = ReadFile(kData + "/minimusic-sample.bin");
    std::string P(const std::string& name) const { return dir.Path(name); }
    // The hashes a report holds, from the system's tools and the test's CRC32.
    json HashesOf(const std::string& name) const
    {
        const std::vector<std::string> hashes = ToolHashes(P(name));
        return {{"crc32", hashes[0]}, {"md5", hashes[1]}, {"sha1", hashes[2]}};
    }
};

// The disc image's header is all zero past the game header: stored 0000,
// computed over zero bytes 0000. Exit 3 when a checksum differs and nothing
// failed; -r takes subfolders; one file named, whatever its extension, gives
// the line alone. Into one log, each file's lines come in the files' order.
// (Two files named without a folder are a batch too: the terminal test runs
// two.) The same file named again, through any path, is worked on after its
// earlier turn, never beside it: the repair is made once, whatever the run.
TEST_F(Collections, ChecksumOverAFolderNamesEachFileInItsTurnGoesOnAfterFailuresAndSumsUp)
{
    const std::string good = "roms/good.bin: stored 5873 computed 5873\n",
                      deep = "roms/sub/deep.BIN: stored 0000 computed 8182\n";
    EXPECT_EQ(
        Run("checksum roms"),
        (Result{1, "roms/bad.bin: stored 0000 computed 2109\nroms/disc.bin: stored 0000 computed 0000\n" + good,
                kTool + "roms/short.bin: Read beyond end of file\n4 files: 2 equal, 1 differ, 0 fixed, 1 failed\n"}));
    EXPECT_EQ(Run("checksum -r roms/good.bin roms/sub"),
              (Result{3, good + deep, "2 files: 1 equal, 1 differ, 0 fixed, 0 failed\n"}));
    EXPECT_EQ(Run("checksum roms/notes.txt"), (Result{0, "stored 5873 computed 5873\n", ""}));
    EXPECT_EQ(Run("checksum roms/good.bin roms/short.bin roms/sub", kOneLog).out,
              good + kTool + "roms/short.bin: Read beyond end of file\n" + deep
                  + "3 files: 1 equal, 1 differ, 0 fixed, 1 failed\n");

    // Zeros add nothing to the sum. At 4 MiB two workers reading the file
    // side by side would both find it unrepaired.
    a_byte padded = bad;
    padded.resize(0x400000);
    std::filesystem::create_symlink("bad.bin", P("roms/again.bin"));
    for (int run = 0; run < 5; ++run) {
        WriteFile(P("roms/bad.bin"), padded);
        EXPECT_EQ(Run("checksum --fix roms/bad.bin roms/bad.bin roms/again.bin roms/bad.bin"),
                  (Result{0,
                          "roms/bad.bin: stored 0000 computed 2109 fixed\nroms/bad.bin: stored 2109 computed 2109\n"
                          "roms/again.bin: stored 2109 computed 2109\nroms/bad.bin: stored 2109 computed 2109\n",
                          "4 files: 3 equal, 0 differ, 1 fixed, 0 failed\n"}));
    }
}

// One file repaired gives the line alone, and with JSON an error object in
// place of a failed one. Unforced, a dump is refused as the disc image is;
// forced, it is still refused: its checksum lies
// in its plain image, which a write at 0x18E would miss. --force writes what
// the window would: the checksum of the file's bytes.
TEST_F(Collections, RepairWritesOnlyPlainCartridgeImagesUnlessForced)
{
    // The forced repair below then has a sum to write.
    RomBuilder disc = RomBuilder(ReadFile(P("roms/disc.bin"))).Put(0x200, "xy");
    WriteFile(P("roms/disc.bin"), disc.bytes);
    const a_byte dump = Interleave(ReadFile(kData + "/sega-2048.bin"));
    WriteFile(P("dump.bin"), dump);
    WriteFile(P("one.bin"), bad);
    const std::string notCartridge = ": Not a cartridge ROM image\n";

    EXPECT_EQ(Run("checksum --fix roms"),
              (Result{1, "roms/bad.bin: stored 0000 computed 2109 fixed\nroms/good.bin: stored 5873 computed 5873\n",
                      kTool + "roms/disc.bin" + notCartridge + kTool + "roms/short.bin" + notCartridge
                          + "4 files: 1 equal, 0 differ, 1 fixed, 2 failed\n"}));
    EXPECT_EQ(ReadFile(P("roms/bad.bin")), RomBuilder(bad).BigEndian(0x18E, 0x2109, 2).bytes);
    EXPECT_EQ(ReadFile(P("roms/disc.bin")), disc.bytes);
    const std::pair<std::string, Result> runs[]
        = {{"checksum --fix one.bin", {0, "stored 0000 computed 2109\n", ""}},
           {"checksum --fix --json none.bin", {1, "{\"file\":\"none.bin\",\"error\":\"File not found\"}\n", ""}},
           {"checksum --fix --force dump.bin",
            {1, "",
             kTool
                 + "dump.bin: Not a cartridge ROM image: the checksum of an interleaved copier dump lies in the "
                   "plain image it holds (convert it first)\n"}},
           {"checksum --fix dump.bin", {1, "", kTool + "dump.bin" + notCartridge}}};
    for (const auto& [args, result] : runs)
        EXPECT_EQ(Run(args), result) << args;
    EXPECT_EQ(ReadFile(P("dump.bin")), dump);

    const json forced = json::parse(Run("checksum --fix --force --json roms/disc.bin").out);
    EXPECT_EQ(std::pair(forced.at("fixed"), forced.at("checksum")),
              std::pair(json(true), json::parse(R"({"stored": "0000", "computed": "7879", "equal": false,
                  "computed_rom_range": "7879"})")));
    EXPECT_EQ(ReadFile(P("roms/disc.bin")), disc.BigEndian(0x18E, 0x7879, 2).bytes);
    EXPECT_EQ(Run("checksum --fix --force roms/disc.bin"), (Result{0, "stored 7879 computed 7879\n", ""}));
}

// A DAT written from the real images: one found by its SHA-1, as its dump is
// by the image it holds, one by its CRC32 and size, one in no entry. A DAT at
// fault stops the run before an image is read. A listed image keeps the
// checksum it has unless forced. Hash writes a line as sha1sum writes it,
// also for a name it escapes, which its -c reads back; every hash asked for
// and no other, in the options' order.
TEST_F(Collections, IdentifyNamesWhatADatListsTheRepairLeavesItAloneAndHashWritesWhatSha1sumWrites)
{
    WriteFile(P("mini.smd"), Interleave(mini));
    const std::string dat = "<?xml version=\"1.0\"?>\n<datafile><header><name>Homebrew</name></header>\n"
                            "<game name=\"Miniplanets\"><rom name=\"m.md\" size=\"524288\" status=\"verified\" sha1=\""
        + ToolHash("sha1sum", P("roms/good.bin")) + "\"/></game>\n<game name=\"Minimusic\"><rom size=\"2797\" crc=\""
        + ToolHash(kCrc32, P("roms/bad.bin")) + "\"/></game></datafile>\n";
    WriteFile(P("hb.dat"), a_byte(dat.begin(), dat.end()));
    WriteFile(P("broken.dat"), RomBuilder(25).Put(0, "<datafile>\n<game name=\"x\"").bytes);
    EXPECT_EQ(Run("identify --dat hb.dat roms/good.bin mini.smd roms/bad.bin roms/sub"),
              (Result{5,
                      "roms/good.bin: Miniplanets\nmini.smd: Miniplanets (as plain image)\nroms/bad.bin: Minimusic\n"
                      "roms/sub/deep.BIN: no match\n",
                      "4 files: 3 matched, 1 unmatched, 0 failed\n"}));
    EXPECT_EQ(Shell("VARNOQUIL_DAT=:hb.dat: " + Q(VARNOQUIL_CLI) + " identify roms/good.bin roms/short.bin none.bin"),
              (Result{1, "roms/good.bin: Miniplanets\nroms/short.bin: no match\n",
                      kTool + "none.bin: File not found\n3 files: 1 matched, 1 unmatched, 1 failed\n"}));
    EXPECT_EQ(json::parse(Run("identify --json --dat hb.dat mini.smd").out).at("dat"),
              json::parse(R"({"name": "Homebrew", "game": "Miniplanets", "rom": "m.md", "status": "verified",
                  "plain_image": true})"));
    EXPECT_EQ(Run("identify --dat hb.dat --dat broken.dat none.bin"),
              (Result{2, "", kTool + "broken.dat: line 2: Not well-formed XML (Error parsing element attribute)\n"}));
    EXPECT_EQ(Run("identify none.bin").exit, 2);

    EXPECT_EQ(Run("checksum --fix --dat hb.dat roms/good.bin roms/bad.bin"),
              (Result{1, "roms/good.bin: stored 5873 computed 5873\n",
                      kTool + "roms/bad.bin: Matches Minimusic in Homebrew: a verified dump is not changed\n"
                          + "2 files: 1 equal, 0 differ, 0 fixed, 1 failed\n"}));
    EXPECT_EQ(ReadFile(P("roms/bad.bin")), bad);
    EXPECT_EQ(json::parse(Run("checksum --json --dat hb.dat roms/bad.bin").out).at("dat").at("game"), "Minimusic");
    EXPECT_EQ(Run("checksum --fix --force --dat hb.dat roms/bad.bin").out, "stored 0000 computed 2109\n");

    WriteFile(P("roms/a\\b\nc.bin"), mini);
    const std::string names = "roms/good.bin roms/short.bin 'roms/a\\b\nc.bin'";
    EXPECT_EQ(Run("hash " + names).out, Shell("sha1sum " + names).out);
    EXPECT_EQ(Shell(Q(VARNOQUIL_CLI) + " hash -r roms > list && sha1sum -c --quiet list"), (Result{0, "", ""}));
    const std::vector<std::string> good = ToolHashes(P("roms/good.bin"));
    EXPECT_EQ(Run("hash --crc32 roms/good.bin").out, good[0] + "  roms/good.bin\n");
    EXPECT_EQ(Run("hash --sha256 roms/good.bin").out, Shell("sha256sum roms/good.bin").out);
    EXPECT_EQ(Run("hash --sha256 --crc32 --sha1 --md5 roms/good.bin none.bin"),
              (Result{1, good[0] + " " + good[1] + " " + good[2] + " " + good[3] + "  roms/good.bin\n",
                      kTool + "none.bin: File not found\n2 files: 1 read, 1 failed\n"}));
}

// The header's text goes out as it is (the core's tests check its lines):
// it ends with the memo cut at its zero byte, no line break added. --long
// decodes the header for people, from the image's header bytes; an MGD dump
// of it reads the same, and converts back to it. With JSON every file gets
// its object, in the order of the text lines: each line of standard output
// parses, and nothing else is there. A dump is described by the image it
// holds, and checked by it.
TEST_F(Collections, InfoWritesTheHeaderTextDecodesItForPeopleOrDescribesEveryFileInJsonLines)
{
    const std::string header = Run("info " + Q(Game("game.bin"))).out;
    EXPECT_EQ(header.substr(header.size() - 15), "version: 2\r\n\r\nM");
    const std::string decoded
        = "format:         plain cartridge image\nfile size:      512 KiB\n"
          "system:         Mega Drive / Genesis\nhardware:       none\n"
          "platform:       SEGA MEGA DRIVE\ncopyright:      (C) SIK 2022.JUN\n"
          "domestic name:  MINIPLANETS\noverseas name:  MINIPLANETS\n"
          "serial:         GM SIK-MINI-04\ncountry:        JUE\n"
          "regions:        Japan, Americas, Europe\ndevices:        3-button joypad\n"
          "ROM:            0x000000-0x07FFFF, 512 KiB\nRAM:            0xFF0000-0xFFFFFF, 64 KiB\n"
          "backup memory:  none\nchecksum:       stored 5873, computed 5873 (equal)\n"
          "GEMS tables:    none\nmemo:\n";
    EXPECT_EQ(Run("info --long roms/good.bin"), (Result{0, decoded, ""}));
    WriteFile(P("mini.mgd"), Mgd(mini));
    const Result mgd = Run("info --long mini.mgd");
    EXPECT_EQ(mgd.out.substr(mgd.out.find('\n')), decoded.substr(decoded.find('\n'))) << mgd;
    EXPECT_EQ(Run("deinterleave mini.mgd plain.bin"), (Result{0, "", ""}));
    EXPECT_EQ(ReadFile(P("plain.bin")), mini);
    // A ROM range of 1 MiB in an image of 128 KiB, with SRAM; a game of
    // 1 KiB with both tables.
    const std::string two = Run("info --long roms/sub/deep.BIN game.bin").out;
    for (const char* line : {"\nhardware:       SRAM on odd bytes\n",
                             "\nROM:            0x000000-0x0FFFFF, 1 MiB (the image holds 128 KiB)\n",
                             "\nbackup memory:  SRAM on odd bytes, 0x200000-0x2001FF, 512 bytes, type F820\n",
                             "\nfile size:      1 KiB\n", "\nGEMS tables:    FM at 0x000301, PSG at 0x000320\n"})
        EXPECT_NE(two.find(line), std::string::npos) << two;

    WriteFile(P("roms/mini.smd"), Interleave(mini));
    WriteFile(P("roms/noise.bin"), RomBuilder(0x400).Random(9).bytes);
    const Result r = Run("info --json -r roms roms/mini.smd");
    EXPECT_EQ(std::tie(r.exit, r.err), std::make_tuple(1, "7 files: 6 read, 1 failed\n"));
    ASSERT_EQ(r.out.back(), '\n');
    std::vector<json> lines;
    std::string files;
    std::istringstream text(r.out);
    for (std::string line; std::getline(text, line); files += lines.back().at("file").get<std::string>() + ' ')
        lines.push_back(json::parse(line));
    ASSERT_EQ(files,
              "roms/sub/deep.BIN roms/bad.bin roms/disc.bin roms/good.bin roms/noise.bin roms/short.bin "
              "roms/mini.smd ");
    const auto& [deep, good, noise, dump] = std::tie(lines[0], lines[3], lines[4], lines[6]);

    EXPECT_EQ(good.at("header_hex").get<std::string>().substr(0, 8), "53454741");
    EXPECT_EQ(lines[5], (json{{"file", "roms/short.bin"}, {"error", "Read beyond end of file"}}));
    EXPECT_EQ(deep.at("sram"), json::parse(R"({"type": "F820", "kind": "sram-odd", "start": 2097152, "end": 2097663,
        "size": 512, "valid": true})"));
    EXPECT_EQ(std::tuple(lines[2].at("format"), noise.at("format"), noise.at("system")),
              std::tuple(json("mega-cd"), json("unknown"), json()));
    EXPECT_EQ(Run("checksum --json roms/mini.smd").exit + Run("checksum --json roms/bad.bin").exit, 0 + 3);
    EXPECT_EQ(std::make_pair(dump.at("file_size"), dump.at("format")),
              std::make_pair(json(mini.size() + 512), json("smd")));
    EXPECT_EQ(std::tie(dump.at("hashes"), dump.at("plain_hashes"), good.at("hashes")),
              std::make_tuple(HashesOf("roms/mini.smd"), HashesOf("roms/good.bin"), HashesOf("roms/good.bin")));
    dump["file_size"] = good.at("file_size"), dump["format"] = "bin", dump["file"] = good.at("file");
    dump["hashes"] = good.at("hashes"), dump["plain_hashes"] = nullptr;
    EXPECT_EQ(dump, good);

    good.erase("header_hex"), good.erase("hashes");
    EXPECT_EQ(good, json::parse(R"({"file": "roms/good.bin", "file_size": 524288, "format": "bin",
        "system": "mega-drive", "hardware": [], "platform": "SEGA MEGA DRIVE", "copyright": "(C) SIK 2022.JUN",
        "domestic_name": "MINIPLANETS", "overseas_name": "MINIPLANETS", "serial": "GM SIK-MINI-04",
        "memo": "", "country": "JUE", "checksum": {"stored": "5873", "computed": "5873", "equal": true,
        "computed_rom_range": null}, "rom": {"start": 0, "end": 524287, "size": 524288, "valid": true},
        "ram": {"start": 16711680, "end": 16777215, "size": 65536, "valid": true},
        "sram": null, "header_size_matches_file": true, "regions": ["Japan", "Americas", "Europe"],
        "devices": ["3-button joypad"], "gems": {"fm": [], "psg": []}, "plain_hashes": null})"));
}

// Scan lists every table's offset, and names that are not UTF-8 as well.
// Fix GEMS with the default preset (FM 1.25, PSG 1.5) changes the two
// tables' bytes and nothing else, as --no-checksum leaves the stored checksum
// alone. An image without tables is written all the same, with the checksum
// it had. Warnings follow the whole last status line, also in one log. Scales
// so far from 1 that every entry of a table comes out 0000 make the tables'
// bytes zeros, and the checksum bytes the new sum. Only tables that were
// written are warned about.
TEST_F(Collections, ScanListsEveryTableAndFixGemsWritesOnlyTheTablesAndSaysWhatWasNotFoundOrDoesNotFit)
{
    WriteFile(P("g\xFF.bin"), RomBuilder(0x1000).GameHeader().Tables(0x201, 0x400).Put(0xFE6, DriverFm()).bytes);
    EXPECT_EQ(Run("scan g\xFF.bin").out, "fm 0x00000201\nfm 0x00000FE6\npsg 0x00000400\n");
    const json scan = json::parse(Run("scan --json g\xFF.bin").out);
    EXPECT_EQ(std::pair(scan.at("file"), scan.at("gems")),
              std::pair(json("g\uFFFD.bin"), json{{"fm", {0x201, 0xFE6}}, {"psg", {0x400}}}));

    const std::string game = Game("game.bin");
    EXPECT_EQ(Run("fix-gems --no-checksum game.bin out.bin"),
              (Result{0, "Loading..\nfm fixed\npsg fixed\nFix Finished!\n", ""}));
    EXPECT_EQ(ReadFile(P("out.bin")), RomBuilder(ReadFile(game)).Tables(0x301, 0x320, 1.25, 1.5).bytes);
    const std::string fixed = "Loading..\nfm fixed\npsg fixed\nchecksum fix..\nFix Finished!\n";
    EXPECT_EQ(Run("fix-gems roms/good.bin out.bin"),
              (Result{4, "Loading..\nfm not fixed\npsg not fixed\nchecksum fix..\nFix Finished!\n",
                      kTool + "roms/good.bin: no GEMS tables found\n"}));
    EXPECT_EQ(ReadFile(P("out.bin")), mini);
    EXPECT_EQ(Run("fix-gems --preset 'Very Hi' --psg 0.0001 game.bin loud.bin", kOneLog).out,
              fixed + kTool + "warning: 4 FM entries exceed 2047, the chip's 11-bit field\n" + kTool
                  + "warning: 64 PSG entries wrapped past 16 bits\n");
    const std::string flat = R"({"file":"game.bin","output":"flat.bin","fm_fixed":true,"psg_fixed":true,"warnings":)"
                             R"(["all 13 FM entries are 0000","all 64 PSG entries are 0000"]})";
    EXPECT_EQ(
        Run("fix-gems --json --fm 1e-300 --psg 1e300 game.bin flat.bin"),
        (Result{0, flat + '\n',
                kTool + "warning: all 13 FM entries are 0000\n" + kTool + "warning: all 64 PSG entries are 0000\n"}));
    const a_byte written = ReadFile(P("flat.bin"));
    RomBuilder zeroed = RomBuilder(ReadFile(game)).Put(0x301, a_byte(26)).Put(0x320, a_byte(128));
    EXPECT_EQ(written, zeroed.Put(0x18E, a_byte(written.begin() + 0x18E, written.begin() + 0x190)).bytes);
    EXPECT_EQ(Run("checksum flat.bin").exit, 0);

    WriteFile(P("fm-only.bin"), RomBuilder(0x400).GameHeader().Put(0x300, DriverFm()).bytes);
    const std::string fmOnly = R"({"file":"fm-only.bin","output":"fm-out.bin","fm_fixed":true,"psg_fixed":false,)"
                               R"("warnings":[]})";
    EXPECT_EQ(Run("fix-gems --psg 0.0001 --json fm-only.bin fm-out.bin"), (Result{0, fmOnly + '\n', ""}));
}
