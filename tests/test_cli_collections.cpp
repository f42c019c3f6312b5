// SPDX-License-Identifier: MIT
// The command-line tool over many files and folders, its JSON output, the
// formats it refuses to repair, and its newer commands.

#include "cli_fixture.h"
#include "fix_gems.h"
#include "rom.h"
#include "sound_engines.h"
#include "text.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

using namespace varnoquil;
using namespace vtest;
using nlohmann::json;

namespace {

const std::string kData = VARNOQUIL_TEST_DATA;

class Collections : public Cli {
protected:
    // roms/ holds real images (one equal, one differing), a disc image whose
    // checksum differs, a file too short for a header, a text file that a
    // folder does not stand for, and an image in a subfolder.
    void SetUp() override
    {
        std::filesystem::create_directories(dir.Path("roms/sub"));
        Copy("miniplanets-rev04.bin", "roms/good.bin");
        Copy("minimusic-sample.bin", "roms/bad.bin");
        Copy("sega-2048.bin", "roms/sub/deep.BIN");
        Copy("miniplanets-rev04.bin", "roms/notes.txt");
        WriteFile(dir.Path("roms/disc.bin"),
                  RomBuilder(0x1000).Random(5, 0x200).GameHeader().Put(0, "SEGADISCSYSTEM").bytes);
        WriteFile(dir.Path("roms/short.bin"), a_byte(100));
    }

    void Copy(const std::string& real, const std::string& name) const
    {
        WriteFile(dir.Path(name), ReadFile(kData + "/" + real));
    }
    std::string P(const std::string& name) const { return dir.Path(name); }
    // The line the window's reading of a file gives.
    std::string Sums(const std::string& name) const
    {
        iSMD_ info;
        ReadHeader(P(name), info);
        return "stored " + Hex4(info.HeaderCrc) + " computed " + Hex4(info.FileCrc);
    }
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

TEST_F(Collections, ChecksumOverAFolderNamesEachFileGoesOnAfterFailuresAndSumsUp)
{
    const std::string roms = P("roms");
    const Result r = Run("checksum " + Q(roms));
    EXPECT_EQ(r.out,
              roms + "/bad.bin: stored 0000 computed 2109\n" + roms + "/disc.bin: " + Sums("roms/disc.bin") + "\n"
                  + roms + "/good.bin: stored 5873 computed 5873\n");
    EXPECT_EQ(r.err, roms + "/short.bin: Read beyond end of file\n4 files: 1 equal, 2 differ, 0 fixed, 1 failed\n");
    EXPECT_EQ(r.exit, 1);

    // Exit 3 when a checksum differs and nothing failed; -r takes subfolders.
    const Result differs = Run("checksum -r " + Q(P("roms/good.bin")) + " " + Q(P("roms/sub")));
    EXPECT_EQ(differs.out,
              roms + "/good.bin: stored 5873 computed 5873\n" + roms + "/sub/deep.BIN: stored 0000 computed 8182\n");
    EXPECT_EQ(differs.err, "2 files: 1 equal, 1 differ, 0 fixed, 0 failed\n");
    EXPECT_EQ(differs.exit, 3);
    // Two files named, no folder: still a batch, with its summary.
    const Result twice = Run("checksum " + Q(P("roms/good.bin")) + " " + Q(P("roms/good.bin")));
    EXPECT_EQ(twice.err, "2 files: 2 equal, 0 differ, 0 fixed, 0 failed\n");
    EXPECT_EQ(twice.exit, 0);

    // One file named, whatever its extension: the line alone, as ever.
    const Result single = Run("checksum " + Q(P("roms/notes.txt")));
    EXPECT_EQ(single.out, "stored 5873 computed 5873\n");
    EXPECT_EQ(single.err, "");
}

TEST_F(Collections, RepairWritesOnlyPlainCartridgeImagesUnlessForced)
{
    const std::string roms = P("roms");
    const a_byte bad = ReadFile(P("roms/bad.bin")), disc = ReadFile(P("roms/disc.bin"));
    const std::string discSums = Sums("roms/disc.bin");
    const Result r = Run("checksum --fix " + Q(roms));
    EXPECT_EQ(r.out,
              roms + "/bad.bin: stored 0000 computed 2109 fixed\n" + roms + "/good.bin: stored 5873 computed 5873\n");
    EXPECT_EQ(r.err,
              roms + "/disc.bin: Not a cartridge ROM image\n" + roms
                  + "/short.bin: Not a cartridge ROM image\n4 files: 1 equal, 0 differ, 1 fixed, 2 failed\n");
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(ReadFile(P("roms/bad.bin")), RomBuilder(bad).BigEndian(0x18E, 0x2109, 2).bytes);
    EXPECT_EQ(ReadFile(P("roms/disc.bin")), disc);

    // A copier dump alone: refused with exit 1 and untouched, as a disc is.
    WriteFile(P("dump.bin"), Interleave(ReadFile(kData + "/sega-2048.bin")));
    const a_byte dump = ReadFile(P("dump.bin"));
    const Result refused = Run("checksum --fix " + Q(P("dump.bin")));
    EXPECT_EQ(refused.exit, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "Not a cartridge ROM image\n");
    EXPECT_EQ(ReadFile(P("dump.bin")), dump);

    // --force writes what the window would: the checksum of the file's bytes.
    const Result forced = Run("checksum --fix --force " + Q(P("roms/disc.bin")));
    EXPECT_EQ(forced.exit, 0);
    EXPECT_EQ(forced.out, discSums + "\n");
    const std::string sum = discSums.substr(discSums.size() - 4);
    EXPECT_EQ(ReadFile(P("roms/disc.bin")), RomBuilder(disc).BigEndian(0x18E, std::stoul(sum, nullptr, 16), 2).bytes);
    EXPECT_EQ(Run("checksum --force " + Q(P("roms/good.bin"))).exit, 2); // --force needs --fix
}

TEST_F(Collections, JsonLinesDescribeEveryFileWithEveryKey)
{
    const a_byte mini = ReadFile(kData + "/miniplanets-rev04.bin");
    WriteFile(P("roms/mini.smd"), Interleave(mini));
    WriteFile(P("roms/noise.bin"), RomBuilder(0x400).Random(9).bytes);
    const Result r = Run("info --json -r " + Q(P("roms")) + " " + Q(P("roms/mini.smd")));
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "7 files: 6 read, 1 failed\n");
    const std::vector<json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 7u);

    const std::vector<std::string> names
        = {"sub/deep.BIN", "bad.bin", "disc.bin", "good.bin", "noise.bin", "short.bin", "mini.smd"};
    std::istringstream keyList(
        "file file_size format system platform copyright domestic_name overseas_name serial "
        "memo country header_hex checksum rom ram sram header_size_matches_file regions devices gems");
    const std::set<std::string> keys{std::istream_iterator<std::string>(keyList), {}};
    std::map<std::string, json> byName;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const json& object = lines[i];
        byName[object.at("file").get<std::string>().substr(P("roms/").size())] = object;
        EXPECT_EQ(object.at("file"), P("roms/" + names[i]));
        if (object.contains("error"))
            continue;
        std::set<std::string> present;
        for (const auto& item : object.items())
            present.insert(item.key());
        EXPECT_EQ(present, keys) << object.at("file");
    }

    EXPECT_EQ(byName["short.bin"], (json{{"file", P("roms/short.bin")}, {"error", "Read beyond end of file"}}));
    const json& good = byName["good.bin"];
    EXPECT_EQ(good.at("format"), "bin");
    EXPECT_EQ(good.at("system"), "mega-drive");
    EXPECT_EQ(good.at("domestic_name"), "MINIPLANETS");
    EXPECT_EQ(good.at("checksum"), (json{{"stored", "5873"}, {"computed", "5873"}, {"equal", true}}));
    EXPECT_EQ(good.at("rom"), (json{{"start", 0}, {"end", 524287}, {"size", 524288}}));
    EXPECT_EQ(good.at("header_size_matches_file"), true);
    EXPECT_EQ(good.at("regions"), (json{"Japan", "Americas", "Europe"}));
    EXPECT_EQ(good.at("devices"), (json{"3-button joypad"}));
    EXPECT_EQ(good.at("sram"), nullptr);
    EXPECT_EQ(good.at("gems"), (json{{"fm", json::array()}, {"psg", json::array()}}));
    EXPECT_EQ(good.at("header_hex").get<std::string>().substr(0, 8), "53454741");

    const json& saves = byName["sub/deep.BIN"];
    EXPECT_EQ(saves.at("sram"), (json{{"type", "F820"}, {"start", 0x200000}, {"end", 0x2001FF}}));
    EXPECT_EQ(saves.at("checksum").at("equal"), false);

    // The dump is described by the image it holds.
    const json& dump = byName["mini.smd"];
    EXPECT_EQ(dump.at("format"), "smd");
    EXPECT_EQ(dump.at("file_size"), mini.size() + 512);
    for (const char* key : {"header_hex", "checksum", "rom", "domestic_name", "header_size_matches_file"})
        EXPECT_EQ(dump.at(key), good.at(key)) << key;

    EXPECT_EQ(byName["disc.bin"].at("format"), "mega-cd");
    EXPECT_EQ(byName["noise.bin"].at("format"), "unknown");
    EXPECT_EQ(byName["noise.bin"].at("system"), nullptr);
}

TEST_F(Collections, JsonChecksumRepairSaysWhatItWrote)
{
    const Result r = Run("checksum --json --fix " + Q(P("roms/bad.bin")) + " " + Q(P("roms/disc.bin")));
    EXPECT_EQ(r.exit, 1);
    const std::vector<json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].at("fixed"), true);
    EXPECT_EQ(lines[0].at("checksum"), (json{{"stored", "0000"}, {"computed", "2109"}, {"equal", false}}));
    EXPECT_EQ(lines[1], (json{{"file", P("roms/disc.bin")}, {"error", "Not a cartridge ROM image"}}));
    EXPECT_EQ(Sums("roms/bad.bin"), "stored 2109 computed 2109");
}

TEST_F(Collections, ScanListsEveryTableOffset)
{
    const a_byte fm = LittleEndian(BuildFmTable(1.0)), psg = LittleEndian(BuildPsgTable(1.0));
    WriteFile(P("gems.bin"), RomBuilder(0x1000).GameHeader().Put(0x201, fm).Put(0x400, psg).Put(0xFE6, fm).bytes);
    const Result one = Run("scan " + Q(P("gems.bin")));
    EXPECT_EQ(one.out, "fm 0x00000201\nfm 0x00000FE6\npsg 0x00000400\n");
    EXPECT_EQ(one.exit, 0);

    // A name that is not UTF-8 still gives valid JSON, its bad byte replaced.
    std::filesystem::copy_file(P("gems.bin"), P("g\xFF.bin"));
    const std::vector<json> lines = JsonLines(Run("scan --json " + Q(P("g\xFF.bin"))).out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].at("file"), P("g\uFFFD.bin"));
    EXPECT_EQ(lines[0].at("gems"), (json{{"fm", {0x201, 0xFE6}}, {"psg", {0x400}}}));
}

TEST_F(Collections, FixGemsSaysWhenNothingWasFoundAndWhatDoesNotFit)
{
    const Result none = Run("fix-gems " + Q(P("roms/good.bin")) + " " + Q(P("out.bin")));
    EXPECT_EQ(none.exit, 4);
    EXPECT_EQ(none.out, "Loading..\nfm not fixed\npsg not fixed\nchecksum fix..\nFix Finished!\n");
    EXPECT_EQ(none.err, "no GEMS tables found\n");
    a_byte image;
    FixGems({P("roms/good.bin"), P("core.bin"), 1.25, 1.5, true}, {}, image);
    EXPECT_EQ(ReadFile(P("out.bin")), ReadFile(P("core.bin"))); // written all the same

    const std::string game = Q(Game("game.bin"));
    const Result loud = Run("fix-gems --fm 2 --psg 0.0001 " + game + " " + Q(P("loud.bin")));
    EXPECT_EQ(loud.exit, 0);
    EXPECT_EQ(loud.err,
              "warning: 4 FM entries exceed 2047, the chip's 11-bit field\n"
              "warning: 64 PSG entries wrapped past 16 bits\n");

    // Only tables that were written are warned about.
    WriteFile(P("fm-only.bin"), RomBuilder(0x400).GameHeader().Put(0x300, LittleEndian(BuildFmTable(1.0))).bytes);
    const Result fmOnly = Run("fix-gems --psg 0.0001 --json " + Q(P("fm-only.bin")) + " " + Q(P("fm-out.bin")));
    EXPECT_EQ(fmOnly.exit, 0);
    EXPECT_EQ(fmOnly.err, "");
    const std::vector<json> lines = JsonLines(fmOnly.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0],
              (json{{"file", P("fm-only.bin")},
                    {"output", P("fm-out.bin")},
                    {"fm_fixed", true},
                    {"psg_fixed", false},
                    {"warnings", json::array()}}));
}

TEST_F(Collections, DeinterleaveWritesThePlainImageOfADumpOnly)
{
    const a_byte mini = ReadFile(kData + "/miniplanets-rev04.bin");
    WriteFile(P("mini.smd"), Interleave(mini));
    const Result r = Run("deinterleave " + Q(P("mini.smd")) + " " + Q(P("plain.bin")));
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(ReadFile(P("plain.bin")), mini);

    const Result refused = Run("deinterleave " + Q(P("roms/good.bin")) + " " + Q(P("never.bin")));
    EXPECT_EQ(refused.exit, 1);
    EXPECT_EQ(refused.err, "Not an interleaved copier dump\n");
    EXPECT_FALSE(std::filesystem::exists(P("never.bin")));
}

TEST_F(Collections, EnginesFiltersTheShippedList)
{
    std::ifstream tsv(VARNOQUIL_SOUND_ENGINES_TSV);
    std::size_t rows = 0;
    for (std::string line; std::getline(tsv, line);)
        rows += !line.empty() && line[0] != '#';
    const Result all = Run("engines");
    EXPECT_EQ(std::size_t(std::count(all.out.begin(), all.out.end(), '\n')), rows);
    EXPECT_EQ(all.out.find('<'), all.out.find('\t') + 1); // notes in angle brackets come first

    const Result sonic = Run("engines SONIC");
    EXPECT_NE(sonic.out.find("Sonic the Hedgehog\tSMPS 68k\n"), std::string::npos);
    std::istringstream lines(sonic.out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_NE(LowerAscii(line).find("sonic"), std::string::npos) << line;
}

} // namespace
