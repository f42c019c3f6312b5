// SPDX-License-Identifier: MIT
// Hashes of files, of dumps and of the plain images they hold, against the
// system's tools; DAT files written here, read and looked up.

#include "identify/dat_index.h"
#include "identify/hashes.h"
#include "rom/image_report.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace varnoquil;
using namespace vtest;
using Strings = std::vector<std::string>;

Strings Of(const FileHashes& hashes)
{
    return {hashes.crc32, hashes.md5, hashes.sha1, hashes.sha256};
}

// A real image of 512 KiB, read in two pieces (its MGD dump's halves in
// four), and each dump of it: the file's hashes, and those of the image it
// holds. Files of any size hash whole, and only the hashes asked for.
TEST(Hashes, OfEveryDumpAndOfThePlainImageItHoldsAreTheSystemToolsOnes)
{
#ifdef _WIN32
    GTEST_SKIP() << "the system's hash tools are Linux programs; scripts/test-windows.sh compares the hashes that "
                    "the tool prints on Windows with the Linux build's";
#endif
    const std::string image = VARNOQUIL_TEST_DATA "/miniplanets-rev04.bin";
    const a_byte plain = ReadFile(image);
    const HashKinds all{true, true, true, true};
    TempDir dir;
    const std::string file = dir.Path("f");
    for (const a_byte& dump : {plain, Interleave(plain), Mgd(plain), ByteSwapped(plain)}) {
        WriteFile(file, dump);
        const ImageReport report = ReportImage(file, all);
        EXPECT_EQ(Of(*report.hashes), ToolHashes(file));
        EXPECT_EQ(report.plainHashes ? Of(*report.plainHashes) : Strings(),
                  dump == plain ? Strings() : ToolHashes(image));
    }
    for (const std::size_t size : {0u, 1u, 511u, 600000u}) {
        WriteFile(file, RomBuilder(size).Random(unsigned(size)).bytes);
        EXPECT_EQ(Of(HashFile(file, all)), ToolHashes(file)) << size;
    }
    EXPECT_EQ(Of(HashFile(image, kDatHashes)), (Strings{ToolHash(kCrc32, image), "", ToolHash("sha1sum", image), ""}));
}

std::string Dat(const std::string& games)
{
    return "<?xml version=\"1.0\"?>\n<datafile>\n<header><name>Test</name></header>\n" + games + "</datafile>\n";
}

// Each row: a DAT's text, and the games that three files are found as (SHA-1
// a..., CRC32 11111111, 100 bytes; b..., 00001234, 200; c..., 00001234, 201),
// or the error the DAT raises.
TEST(DatFiles, AreLookedUpBySha1ElseByCrc32AndSizeOrRefusedWithTheirLine)
{
    const std::string a(40, 'a'), upperA(40, 'A');
    // clang-format off
    const std::pair<std::string, std::string> rows[] = {
        {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN"
         "\" \"http://www.logiqx.com/Dats/datafile.dtd\">\n<datafile><game name=\"A &amp; &#x42;\"><rom name=\"a\" "
         "size=\"100\" crc=\"11111111\" sha1=\"" + upperA + "\"/></game></datafile>", "A & B|||"},
        {Dat("<game name=\"C\"><rom name=\"c\" size=\"200\" crc=\"1234\"/></game>"), "|C||"},
        {Dat("<game name=\"D\"><rom size=\"100\" crc=\"11111111\" sha1=\"" + std::string(40, 'd') + "\"/></game>"),
         "|||"},
        {Dat("<game><description>E</description><rom name=\"e\" sha1=\"" + a + "\"/></game><machine name=\"\">"
             "<rom name=\"f.md\" size=\"200\" crc=\"00001234\"/></machine><game name=\"G\"><rom crc=\"00001234\"/>"
             "</game>"), "E|f.md||"},
        {Dat("<game name=\"H0\"><rom sha1=\"" + std::string(40, '0') + "\"/></game><game name=\"H1\"><rom sha1=\""
             + a + "\"/></game><game name=\"H2\"><rom sha1=\"" + upperA + "\"/></game>"), "H1|||"},
        {Dat("<game name=\"x\">\n<rom name=\"r\" sha1=\"abc\"/>\n</game>\n"),
         "line 5: Rom \"r\": sha1 \"abc\" is not a SHA-1 of 40 hexadecimal digits"},
        {Dat("<game name=\"x\"><rom name=\"r\" size=\"12x\"/></game>\n"),
         "line 4: Rom \"r\": size \"12x\" is not a number of bytes"},
        {Dat("<game name=\"x\"><rom name=\"r\" crc=\"123456789\"/></game>\n"),
         "line 4: Rom \"r\": crc \"123456789\" is not a CRC32 of up to 8 hexadecimal digits"},
        {"<datafile>\n<game>\n</datafile>\n", "line 3: Not well-formed XML (Start-end tags mismatch)"},
        {"<?xml version=\"1.0\"?>\n<mame/>\n",
         "line 2: Not a Logiqx DAT file: its root element is <mame>, not <datafile>"},
        {"", "line 1: Not well-formed XML (No document element found)"}};
    // clang-format on
    const std::tuple<std::string, std::string, std::uint64_t> files[]
        = {{a, "11111111", 100}, {std::string(40, 'b'), "00001234", 200}, {std::string(40, 'c'), "00001234", 201}};
    TempDir dir;
    const auto write = [&](const std::string& name, const std::string& text) {
        WriteFile(dir.Path(name), a_byte(text.begin(), text.end()));
        return dir.Path(name);
    };
    // The game that a file of the hashes and size is found as, or "".
    const auto gameOf = [](const std::vector<std::string>& dats, const std::string& sha1, std::uint64_t size,
                           const std::string& crc32 = "00000000") {
        const DatIndex index = DatIndex::load(dats);
        const auto match = index.find({crc32, "", sha1, ""}, size);
        return match ? std::string(match->entry->game) : "";
    };
    for (const auto& [text, expected] : rows) {
        const std::string dat = write("t.dat", text);
        std::string found;
        const std::string error = ErrorOf([&] {
            for (const auto& [sha1, crc32, size] : files)
                found += gameOf({dat}, sha1, size, crc32) + "|";
        });
        EXPECT_EQ(error.empty() ? found : error, expected) << text;
    }

    // The earlier DAT wins; a large one is read whole; a file too large for
    // a DAT, or no regular file, is refused before it is read.
    const std::string first = write("1.dat", Dat("<game name=\"1\"><rom sha1=\"" + a + "\"/></game>")),
                      second = write("2.dat", Dat("<game name=\"2\"><rom sha1=\"" + a + "\"/></game>"));
    EXPECT_EQ(gameOf({first, second}, a, 0) + gameOf({second, first}, a, 0), "12");
    std::string games;
    char sha1[41];
    for (int i = 0; i < 100000; ++i) {
        std::snprintf(sha1, sizeof sha1, "%040x", i);
        games += "<game name=\"" + std::to_string(i) + "\"><rom sha1=\"" + sha1 + "\"/></game>\n";
    }
    const std::string many = write("many.dat", Dat(games));
    EXPECT_EQ(gameOf({many}, std::string(40, '0'), 0) + " " + gameOf({many}, sha1, 0), "0 99999");
    std::filesystem::resize_file(write("huge.dat", ""), std::uint64_t(300) << 20);
#ifdef _WIN32
    const std::string device = dir.Path("nul.dat"); // the null device, in every folder
#else
    const std::string device = dir.Path("fifo.dat");
    ::mkfifo(device.c_str(), 0600);
#endif
    EXPECT_EQ(ErrorOf([&] { DatIndex::load({dir.Path("huge.dat")}); }) + "; "
                  + ErrorOf([&] { DatIndex::load({device}); }),
              "Too large for a DAT file: 300 MiB, over the 128 MiB a DAT may have; The input must be a regular file");
}
