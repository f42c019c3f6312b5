// SPDX-License-Identifier: MIT
// Formats, the decoded header and the image report on images built here;
// the command-line tests describe real images.

#include "errors.h"
#include "rom/checksum_repair.h"
#include "rom/image_report.h"
#include "rom/rom_format.h"
#include "rom/rom_header.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

using namespace varnoquil;
using namespace vtest;

// A dump of one block is enough; a dump whose size is not whole blocks, or
// whose image has no mark, is not one. The format is read from a file's first
// bytes.
TEST(RomFormat, TellsCartridgesCopierDumpsDiscsAndTheRest)
{
    const a_byte marked = RomBuilder(16384).Put(0x100, "SEGA").bytes,
                 unmarked = RomBuilder(marked).Put(0x100, "X").bytes;
    a_byte oddSizedDump = Interleave(marked);
    oddSizedDump.push_back(0);
    using F = RomFormat;
    // clang-format off
    const std::pair<a_byte, RomFormat> cases[] = {
        {RomBuilder(0x200).Put(0x100, " SEGA GENESIS").bytes, F::Bin}, {Interleave(marked), F::Smd},
        {oddSizedDump, F::Unknown}, {Interleave(unmarked), F::Unknown}, {unmarked, F::Unknown},
        {DiscImage(0), F::MegaCd}, {DiscImage(0x10), F::MegaCd}, {a_byte(0x102), F::Unknown}, {a_byte(), F::Unknown}};
    // clang-format on
    TempDir dir;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        WriteFile(dir.Path("f"), cases[i].first);
        EXPECT_EQ(FormatName(ReadChecksumFacts(dir.Path("f")).format), std::string(FormatName(cases[i].second))) << i;
    }
}

// Only trailing blanks and zeros go. Shift_JIS katakana, one with 0x5C as its
// second byte, and half-width katakana; beside them backslash and tilde stay
// ASCII. Text that is not Shift_JIS, or a lead byte cut off at the end, has
// each high byte replaced. Region letters win over digits; "E" is a letter,
// not the digit 14.
TEST(HeaderText, TrimsAndDecodesAsciiShiftJisOrReplacementRegionsFromLettersOrOneHexDigit)
{
    // clang-format off
    const std::pair<std::string, std::string> texts[] = {
        {std::string(" A \0 B \0\0 ", 10), std::string(" A \0 B", 6)}, {"C:\\GAMES~1", "C:\\GAMES~1"},
        {"\x83\x5C\x83\x6A\x83\x62\x83\x4E  ", "\u30bd\u30cb\u30c3\u30af"}, {"\xB1\xB2 ABC", "\uff71\uff72 ABC"},
        {"\x83\x5C\\~", "\u30bd\\~"}, {"\xFF\xFE OK\x01", "\ufffd\ufffd OK\x01"}, {"AB\x81", "AB\ufffd"},
        {"\0\0  ", ""}};
    // clang-format on
    for (const auto& [bytes, text] : texts)
        EXPECT_EQ(DecodeHeaderText(bytes), text) << bytes;

    const std::string japan = "Japan", americas = "Americas", europe = "Europe", asia = "Asia";
    // clang-format off
    const std::pair<std::string, std::vector<std::string>> regions[] = {
        {"EUJ", {japan, americas, europe}}, {"E               ", {europe}}, {"U4B", {americas}}, {"4", {americas}},
        {std::string("4\0\0\0\0\0", 6), {americas}}, {"  8   ", {europe}}, {"A", {europe, asia}},
        {"f", {japan, americas, europe, asia}}, {"1", {japan}}, {"12", {}}, {"jue", {}}, {std::string(16, '\0'), {}}};
    // clang-format on
    for (const auto& [country, names] : regions)
        EXPECT_EQ(RegionsOf(country), names) << country;
}

// A dump is described by the image it holds (the command-line tests compare
// a real image's whole description, its checksum among it, with its dump's).
// The file is read in pieces of 256 KiB: tables that straddle them are found
// too. Devices come in the table's order, whatever the letters' order, up to
// the field's last byte.
TEST(ImageReport, HeaderFieldsAndTablesOfAnImageAndItsCopierDumpAlike)
{
    RomBuilder rom = RomBuilder(0x80000).GameHeader().Put(0x100, "SEGA 32X        ").Put(0x190, Pad("6CJ", 15) + "M");
    rom.BigEndian(0x1A4, 0x7FFFF, 4).Put(0x1C8, Pad("MEMO", 39) + "!").Tables(0x201, 0x3FFF0).Put(0x7FFE6, DriverFm());
    TempDir dir;
    WriteFile(dir.Path("rom.bin"), rom.bytes);
    WriteFile(dir.Path("rom.smd"), Interleave(rom.bytes));
    const ImageReport plain = ReportImage(dir.Path("rom.bin")), dump = ReportImage(dir.Path("rom.smd"));
    EXPECT_EQ(std::make_pair(plain.format, dump.format), std::make_pair(RomFormat::Bin, RomFormat::Smd));
    for (const ImageReport& report : {plain, dump}) {
        using Strings = std::vector<std::string>;
        EXPECT_EQ((Strings{*report.system(), report.header.memo, report.header.headerHex.substr(0x90 * 2, 32)}),
                  (Strings{"32x", Pad("MEMO", 39) + "!", "36434A2020202020202020202020204D"}));
        EXPECT_EQ(report.header.devices, (Strings{"3-button joypad", "6-button joypad", "CD-ROM", "mega mouse"}));
        using Offsets = std::vector<std::int64_t>;
        EXPECT_EQ(std::tuple(report.fmTables, report.psgTables, report.headerSizeMatchesFile()),
                  std::tuple(Offsets{0x201, 0x7FFE6}, Offsets{0x3FFF0}, true));
    }
    EXPECT_FALSE(ReportImage(VARNOQUIL_TEST_DATA "/minimusic-sample.bin").headerSizeMatchesFile());
    // A header alone is an image; one byte less is not.
    WriteFile(dir.Path("header.bin"), RomBuilder(0x200).GameHeader().bytes);
    WriteFile(dir.Path("short.bin"), RomBuilder(0x1FF).bytes);
    EXPECT_EQ(ReportImage(dir.Path("header.bin")).computedChecksum, 0);
    EXPECT_EQ(ErrorOf([&] { ReportImage(dir.Path("short.bin")); }), "Read beyond end of file");

    // Deinterleaving never writes over its input, takes whole blocks only,
    // and only of a dump: a plain image of a dump's size is refused.
    EXPECT_THROW(DeinterleaveFile(dir.Path("rom.smd"), dir.Path("rom.smd")), RequestError);
    WriteFile(dir.Path("sized.bin"), RomBuilder(512 + 16384).GameHeader().bytes);
    EXPECT_THROW(DeinterleaveFile(dir.Path("sized.bin"), dir.Path("out.bin")), ImageFormatError);
    EXPECT_EQ(std::pair(std::filesystem::exists(dir.Path("out.bin")), ReadFile(dir.Path("rom.smd"))),
              std::pair(false, Interleave(rom.bytes)));
    EXPECT_THROW(Deinterleave(a_byte(512 + 100)), ImageFormatError);

    // An end before the start is not wrapped; a save RAM needs its "RA".
    rom.Put(0x100, "SEGA PICO       ").Put(0x1B0, "RB").BigEndian(0x1A0, 0x10, 4).BigEndian(0x1A4, 0x0F, 4);
    const DecodedHeader pico = DecodeHeader(rom.bytes.data() + 0x100);
    EXPECT_EQ(std::make_tuple(pico.system, pico.sram.has_value(), pico.rom.size()), std::make_tuple("pico", false, 0));
}
