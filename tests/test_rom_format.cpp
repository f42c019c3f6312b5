// SPDX-License-Identifier: MIT
// Formats, the decoded header and the image report, on real images and on
// images built here.

#include "errors.h"
#include "gems.h"
#include "image_report.h"
#include "rom_builder.h"
#include "rom_format.h"
#include "rom_header.h"

#include <gtest/gtest.h>

using namespace varnoquil;
using namespace vtest;

namespace {

const std::string kData = VARNOQUIL_TEST_DATA;
const a_byte kPlain = ReadFile(kData + "/miniplanets-rev04.bin");

TEST(RomFormat, TellsCartridgesCopierDumpsDiscsAndTheRest)
{
    a_byte oddSizedDump = Interleave(kPlain);
    oddSizedDump.push_back(0);
    const a_byte unmarked = RomBuilder(kPlain).Put(0x100, "X").bytes;
    const std::pair<a_byte, RomFormat> cases[]
        = {{kPlain, RomFormat::Bin},
           {RomBuilder(0x200).Put(0x100, " SEGA GENESIS").bytes, RomFormat::Bin},
           {Interleave(kPlain), RomFormat::Smd},
           {Interleave(RomBuilder(16384).Put(0x100, "SEGA").bytes), RomFormat::Smd}, // one block is enough
           {oddSizedDump, RomFormat::Unknown},
           {Interleave(unmarked), RomFormat::Unknown},
           {unmarked, RomFormat::Unknown},
           {DiscImage(0), RomFormat::MegaCd},
           {DiscImage(0x10), RomFormat::MegaCd},
           {a_byte(0x102), RomFormat::Unknown},
           {a_byte(), RomFormat::Unknown}};
    TempDir dir;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [bytes, format] = cases[i];
        const std::size_t probe = std::min(bytes.size(), kFormatProbeSize);
        EXPECT_EQ(FormatName(DetectFormat(bytes.data(), probe, bytes.size())), std::string(FormatName(format))) << i;
        WriteFile(dir.Path("f"), bytes);
        EXPECT_EQ(DetectFileFormat(dir.Path("f")), format) << i;
    }
}

TEST(HeaderText, TrimsAndDecodesAsciiShiftJisOrReplacementRegionsFromLettersOrOneHexDigit)
{
    const std::pair<std::string, std::string> texts[]
        = {{std::string(" A \0 B \0\0 ", 10), std::string(" A \0 B", 6)}, // only trailing blanks and zeros go
           {"C:\\GAMES~1", "C:\\GAMES~1"},
           // Shift_JIS katakana, one with 0x5C as its second byte, and half-width katakana.
           {"\x83\x5C\x83\x6A\x83\x62\x83\x4E  ", "\u30bd\u30cb\u30c3\u30af"},
           {"\xB1\xB2 ABC", "\uff71\uff72 ABC"},
           {"\x83\x5C\\~", "\u30bd\\~"}, // beside Japanese text, backslash and tilde stay ASCII
           {"\xFF\xFE OK\x01", "\ufffd\ufffd OK\x01"}, // not Shift_JIS: each high byte replaced
           {"AB\x81", "AB\ufffd"}, // a lead byte cut off at the end
           {"\0\0  ", ""}};
    for (const auto& [bytes, text] : texts)
        EXPECT_EQ(DecodeHeaderText(bytes), text) << bytes;

    const std::string japan = "Japan", americas = "Americas", europe = "Europe", asia = "Asia";
    const std::pair<std::string, std::vector<std::string>> regions[]
        = {{"JUE             ", {japan, americas, europe}},
           {"EUJ", {japan, americas, europe}},
           {"E               ", {europe}}, // a letter, not the digit 14
           {"U4B", {americas}}, // letters win over digits
           {"4", {americas}},
           {"  8   ", {europe}},
           {"A", {europe, asia}},
           {"f", {japan, americas, europe, asia}},
           {"1", {japan}},
           {"0", {}},
           {"12", {}},
           {"jue", {}},
           {std::string(16, '\0'), {}}};
    for (const auto& [country, names] : regions)
        EXPECT_EQ(RegionsOf(country), names) << country;
}

// A dump is described by the image it holds. The file is read in pieces of
// 256 KiB: tables that straddle them are found too.
TEST(ImageReport, HeaderFieldsAndTablesOfAnImageAndItsCopierDumpAlike)
{
    const a_byte fm = LittleEndian(BuildFmTable(1.0)), psg = LittleEndian(BuildPsgTable(1.0));
    RomBuilder rom = RomBuilder(0x80000).GameHeader().Put(0x100, "SEGA 32X        ").Put(0x190, Pad("M6CJ", 16));
    rom.BigEndian(0x18E, 0x0A5F, 2).BigEndian(0x1A4, 0x7FFFF, 4).BigEndian(0x1A8, 0xFF0000, 4);
    rom.BigEndian(0x1AC, 0xFFFFFF, 4).Put(0x1B0, "RA").BigEndian(0x1B2, 0xF820, 2).BigEndian(0x1B4, 0x200001, 4);
    rom.BigEndian(0x1B8, 0x203FFF, 4).Put(0x1C8, Pad("MEMO", 40)).Put(0x201, fm).Put(0x3FFF0, psg).Put(0x7FFE6, fm);
    TempDir dir;
    WriteFile(dir.Path("rom.bin"), rom.bytes);
    WriteFile(dir.Path("rom.smd"), Interleave(rom.bytes));
    const ImageReport plain = ReportImage(dir.Path("rom.bin")), dump = ReportImage(dir.Path("rom.smd"));
    EXPECT_EQ(plain.format, RomFormat::Bin);
    EXPECT_EQ(dump.format, RomFormat::Smd);
    EXPECT_EQ(dump.fileSize, rom.bytes.size() + 512);
    for (const ImageReport& report : {plain, dump}) {
        const DecodedHeader& header = report.header;
        using Strings = std::vector<std::string>;
        EXPECT_EQ((Strings{*report.system(), header.platform, header.domesticName, header.serial, header.memo,
                           header.country, header.headerHex.substr(0, 16), header.headerHex.substr(0x8E * 2, 4)}),
                  (Strings{"32x", "SEGA 32X", "SONIC THE               HEDGEHOG", "GM 00001009-00", "MEMO", "JUE",
                           "5345474120333258", "0A5F"}));
        EXPECT_EQ(std::make_tuple(header.storedChecksum, header.rom.size(), header.ram.start, header.ram.size(),
                                  header.headerHex.size()),
                  std::make_tuple(0x0A5F, 0x80000, 0xFF0000u, 0x10000, 512u));
        ASSERT_TRUE(header.sram);
        EXPECT_EQ(std::make_tuple(header.sram->type, header.sram->start, header.sram->end),
                  std::make_tuple("F820", 0x200001u, 0x203FFFu));
        // The device table's order, whatever the letters' order.
        EXPECT_EQ(header.devices, (Strings{"3-button joypad", "6-button joypad", "CD-ROM", "mega mouse"}));
        EXPECT_EQ(report.computedChecksum, std::uint16_t(checksumRange(rom.bytes, 0x200, 0x7FFFF)));
        EXPECT_TRUE(report.headerSizeMatchesFile());
        EXPECT_EQ(report.fmTables, (std::vector<std::int64_t>{0x201, 0x7FFE6}));
        EXPECT_EQ(report.psgTables, (std::vector<std::int64_t>{0x3FFF0}));
    }
    const ImageReport odd = ReportImage(kData + "/minimusic-sample.bin");
    EXPECT_EQ(odd.computedChecksum, 0x2109); // the odd last byte counts as a high byte
    EXPECT_FALSE(odd.checksumEqual());
    EXPECT_FALSE(odd.headerSizeMatchesFile());

    // Deinterleaving never writes over its input, and takes whole blocks only.
    EXPECT_THROW(DeinterleaveFile(dir.Path("rom.smd"), dir.Path("rom.smd")), RequestError);
    EXPECT_EQ(ReadFile(dir.Path("rom.smd")), Interleave(rom.bytes));
    EXPECT_THROW(Deinterleave(a_byte(512 + 100)), ImageFormatError);

    rom.Put(0x100, "SEGA PICO       ").Put(0x1B0, "FL").BigEndian(0x1A0, 0x10, 4).BigEndian(0x1A4, 0x0F, 4);
    const DecodedHeader pico = DecodeHeader(rom.bytes.data() + 0x100);
    EXPECT_EQ(pico.system, "pico");
    EXPECT_FALSE(pico.sram);
    EXPECT_EQ(pico.rom.size(), 0); // an end before the start is not wrapped
}

} // namespace
