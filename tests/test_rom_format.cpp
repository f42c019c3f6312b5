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

#include <sys/stat.h>

using namespace varnoquil;
using namespace vtest;

namespace {

const std::string kData = VARNOQUIL_TEST_DATA;

a_byte RealRom(const std::string& name)
{
    return ReadFile(kData + "/" + name);
}

RomFormat FormatOf(const a_byte& bytes)
{
    return DetectFormat(bytes.data(), std::min(bytes.size(), kFormatProbeSize), bytes.size());
}

TEST(RomFormat, TellsCartridgesCopierDumpsDiscsAndTheRest)
{
    const a_byte plain = RealRom("miniplanets-rev04.bin");
    a_byte oddSizedDump = Interleave(plain);
    oddSizedDump.push_back(0);
    a_byte unmarked = plain;
    unmarked[0x100] = 'X';
    const std::pair<a_byte, RomFormat> cases[] = {
        {plain, RomFormat::Bin},
        {RomBuilder(0x200).Put(0x100, " SEGA GENESIS").bytes, RomFormat::Bin},
        {Interleave(plain), RomFormat::Smd},
        {Interleave(RomBuilder(16384).Put(0x100, "SEGA").bytes), RomFormat::Smd}, // one block is enough
        {oddSizedDump, RomFormat::Unknown},
        {Interleave(unmarked), RomFormat::Unknown},
        {unmarked, RomFormat::Unknown},
        {DiscImage(0), RomFormat::MegaCd},
        {DiscImage(0x10), RomFormat::MegaCd},
        {a_byte(0x102), RomFormat::Unknown},
        {a_byte(), RomFormat::Unknown},
    };
    TempDir dir;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [bytes, format] = cases[i];
        EXPECT_EQ(FormatName(FormatOf(bytes)), std::string(FormatName(format))) << "case " << i;
        WriteFile(dir.Path("f"), bytes);
        EXPECT_EQ(DetectFileFormat(dir.Path("f")), format) << "case " << i;
    }
}

TEST(RomFormat, DeinterleavingGivesBackThePlainImage)
{
    const a_byte plain = RealRom("miniplanets-rev04.bin");
    TempDir dir;
    WriteFile(dir.Path("game.smd"), Interleave(plain));
    WriteFile(dir.Path("plain.bin"), plain);
    DeinterleaveFile(dir.Path("game.smd"), dir.Path("out.bin"));
    EXPECT_EQ(ReadFile(dir.Path("out.bin")), plain);

    // Anything but an interleaved dump is refused, and nothing is written.
    for (const char* input : {"plain.bin", "missing.smd"})
        EXPECT_THROW(DeinterleaveFile(dir.Path(input), dir.Path("refused.bin")), Error) << input;
    EXPECT_THROW(DeinterleaveFile(dir.Path("game.smd"), dir.Path("game.smd")), RequestError);
    EXPECT_EQ(dir.Contents().count("refused.bin"), 0u);
    EXPECT_EQ(dir.Contents().size(), 3u);
    EXPECT_THROW(Deinterleave(a_byte(512 + 100)), ImageFormatError);
}

TEST(RomFormat, OnlyPlainCartridgeImagesPassTheRepairCheck)
{
    TempDir dir;
    const a_byte plain = RealRom("miniplanets-rev04.bin");
    WriteFile(dir.Path("game.bin"), plain);
    EXPECT_NO_THROW(RequireCartridgeImage(dir.Path("game.bin")));
    for (const a_byte& image : {Interleave(plain), DiscImage(0x10), a_byte(0x400)}) {
        WriteFile(dir.Path("other.bin"), image);
        try {
            RequireCartridgeImage(dir.Path("other.bin"));
            ADD_FAILURE() << "accepted an image of format " << FormatName(FormatOf(image));
        } catch (const ImageFormatError& error) {
            EXPECT_STREQ(error.what(), "Not a cartridge ROM image");
        }
    }
}

TEST(HeaderText, TrimsAndDecodesAsciiShiftJisOrReplacement)
{
    const std::pair<std::string, std::string> cases[] = {
        {"SONIC THE HEDGEHOG    ", "SONIC THE HEDGEHOG"},
        {std::string("GM 00001009-00\0\0", 16), "GM 00001009-00"},
        {std::string(" A \0 B \0 ", 9), std::string(" A \0 B", 6)}, // only trailing blanks and zeros go
        {"C:\\GAMES~1", "C:\\GAMES~1"},
        // Shift_JIS katakana, one with 0x5C as its second byte, and half-width katakana.
        {"\x83\x5C\x83\x6A\x83\x62\x83\x4E  ", "\u30bd\u30cb\u30c3\u30af"},
        {"\xB1\xB2 ABC", "\uff71\uff72 ABC"},
        {"\x83\x5C\\~", "\u30bd\\~"}, // beside Japanese text, backslash and tilde stay ASCII
        {"\xFF\xFE OK\x01", "\ufffd\ufffd OK\x01"}, // not Shift_JIS: each high byte replaced
        {"AB\x81", "AB\ufffd"}, // a lead byte cut off at the end
        {"\0\0  ", ""},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(DecodeHeaderText(bytes), text) << bytes;
}

TEST(HeaderText, RegionsFromLettersOrOneHexDigit)
{
    using R = std::vector<std::string>;
    const std::pair<std::string, R> cases[] = {
        {"JUE             ", {"Japan", "Americas", "Europe"}},
        {"EUJ", {"Japan", "Americas", "Europe"}},
        {"E               ", {"Europe"}}, // a letter, not the digit 14
        {"U4B", {"Americas"}}, // letters win over digits
        {"4", {"Americas"}},
        {"  8   ", {"Europe"}},
        {"A", {"Europe", "Asia"}},
        {"f", {"Japan", "Americas", "Europe", "Asia"}},
        {"1", {"Japan"}},
        {"0", {}},
        {"12", {}},
        {"jue", {}},
        {std::string(16, '\0'), {}},
    };
    for (const auto& [country, regions] : cases)
        EXPECT_EQ(RegionsOf(country), regions) << country;
}

TEST(DecodedHeader, FieldsRangesSaveRamAndDevices)
{
    RomBuilder rom = RomBuilder(0x200).GameHeader();
    rom.Put(0x100, "SEGA 32X        ").Put(0x190, Pad("M6CJ", 16)).BigEndian(0x18E, 0x0A5F, 2);
    rom.BigEndian(0x1A8, 0xFF0000, 4).BigEndian(0x1AC, 0xFFFFFF, 4);
    rom.Put(0x1B0, "RA").BigEndian(0x1B2, 0xF820, 2).BigEndian(0x1B4, 0x200001, 4).BigEndian(0x1B8, 0x203FFF, 4);
    rom.Put(0x1C8, Pad("MEMO", 40));
    const DecodedHeader header = DecodeHeader(rom.bytes.data() + 0x100);
    EXPECT_EQ(header.system, "32x");
    EXPECT_EQ(header.platform, "SEGA 32X");
    EXPECT_EQ(header.domesticName, "SONIC THE               HEDGEHOG");
    EXPECT_EQ(header.serial, "GM 00001009-00");
    EXPECT_EQ(header.memo, "MEMO");
    EXPECT_EQ(header.country, "JUE");
    EXPECT_EQ(header.storedChecksum, 0x0A5F);
    EXPECT_EQ(header.rom.size(), 0x100000);
    EXPECT_EQ(header.ram.start, 0xFF0000u);
    EXPECT_EQ(header.ram.size(), 0x10000);
    ASSERT_TRUE(header.sram);
    EXPECT_EQ(header.sram->type, "F820");
    EXPECT_EQ(header.sram->start, 0x200001u);
    EXPECT_EQ(header.sram->end, 0x203FFFu);
    // The device table's order, whatever the letters' order.
    EXPECT_EQ(header.devices, (std::vector<std::string>{"3-button joypad", "6-button joypad", "CD-ROM", "mega mouse"}));
    ASSERT_EQ(header.headerHex.size(), 512u);
    EXPECT_EQ(header.headerHex.substr(0, 16), "5345474120333258");
    EXPECT_EQ(header.headerHex.substr(0x8E * 2, 4), "0A5F");

    rom.Put(0x100, "SEGA PICO       ").Put(0x1B0, "FL").BigEndian(0x1A0, 0x10, 4).BigEndian(0x1A4, 0x0F, 4);
    const DecodedHeader pico = DecodeHeader(rom.bytes.data() + 0x100);
    EXPECT_EQ(pico.system, "pico");
    EXPECT_FALSE(pico.sram);
    EXPECT_EQ(pico.rom.size(), 0); // an end before the start is not wrapped
}

TEST(ImageReport, RealImagesAndTheirCopierDump)
{
    TempDir dir;
    const a_byte mini = RealRom("miniplanets-rev04.bin");
    WriteFile(dir.Path("mini.bin"), mini);
    WriteFile(dir.Path("mini.smd"), Interleave(mini));

    const ImageReport plain = ReportImage(dir.Path("mini.bin"));
    EXPECT_EQ(plain.format, RomFormat::Bin);
    EXPECT_EQ(plain.system(), std::optional<std::string>("mega-drive"));
    EXPECT_EQ(plain.header.storedChecksum, 0x5873);
    EXPECT_EQ(plain.computedChecksum, 0x5873);
    EXPECT_TRUE(plain.headerSizeMatchesFile());

    // A dump is described by the image it holds.
    const ImageReport dump = ReportImage(dir.Path("mini.smd"));
    EXPECT_EQ(dump.format, RomFormat::Smd);
    EXPECT_EQ(dump.fileSize, mini.size() + 512);
    EXPECT_EQ(dump.header.headerHex, plain.header.headerHex);
    EXPECT_EQ(dump.computedChecksum, 0x5873);
    EXPECT_TRUE(dump.headerSizeMatchesFile());

    const ImageReport odd = ReportImage(kData + "/minimusic-sample.bin");
    EXPECT_EQ(odd.computedChecksum, 0x2109); // the odd last byte counts as a high byte
    EXPECT_FALSE(odd.checksumEqual());
    EXPECT_FALSE(odd.headerSizeMatchesFile());

    WriteFile(dir.Path("noise.bin"), RomBuilder(0x400).Random(3).bytes);
    EXPECT_EQ(ReportImage(dir.Path("noise.bin")).system(), std::nullopt);
}

TEST(ImageReport, FindsEveryTableAndFailsOnFilesShorterThanAHeader)
{
    TempDir dir;
    const a_byte fm = LittleEndian(BuildFmTable(1.0)), psg = LittleEndian(BuildPsgTable(1.0));
    // The file is read in pieces of 256 KiB: tables that straddle them too.
    const a_byte rom = RomBuilder(0x80000).GameHeader().Put(0x201, fm).Put(0x3FFF0, psg).Put(0x7FFE6, fm).bytes;
    WriteFile(dir.Path("gems.bin"), rom);
    const ImageReport report = ReportImage(dir.Path("gems.bin"));
    EXPECT_EQ(report.fmTables, (std::vector<std::int64_t>{0x201, 0x7FFE6}));
    EXPECT_EQ(report.psgTables, (std::vector<std::int64_t>{0x3FFF0}));
    WriteFile(dir.Path("gems.smd"), Interleave(rom));
    const ImageReport dump = ReportImage(dir.Path("gems.smd"));
    EXPECT_EQ(dump.fmTables, report.fmTables);
    EXPECT_EQ(dump.psgTables, report.psgTables);
    EXPECT_EQ(dump.computedChecksum, static_cast<std::uint16_t>(checksumRange(rom, 0x200, 0x7FFFF)));

    WriteFile(dir.Path("short.bin"), a_byte(511));
    try {
        ReportImage(dir.Path("short.bin"));
        ADD_FAILURE() << "a 511-byte file was reported";
    } catch (const IoError& error) {
        EXPECT_EQ(error.code(), IoCode::ReadBeyondEnd);
    }
}

} // namespace
