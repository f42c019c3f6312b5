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

#include <functional>

using namespace varnoquil;
using namespace vtest;

// Each kind of dump, told by its content; the reordered ones give back the
// image they hold, and convert to it. A dump whose size is not whole blocks,
// or whose image has no mark, is none, and a plain image of a dump's size is
// no dump; what is no dump is not converted, and nothing is written.
TEST(RomFormat, TellsEveryKindOfDumpApartAndGivesBackThePlainImage)
{
    const a_byte marked = RomBuilder(32768).Random(3).GameHeader().bytes,
                 unmarked = RomBuilder(marked).Put(0, a_byte(8)).Put(0x100, "X").bytes,
                 // A 68000's stack in work RAM and a start after the header.
        headerless = RomBuilder(unmarked).BigEndian(0, 0xFFFFFE00, 4).BigEndian(4, 0x200, 4).bytes;
    a_byte oddSizedDump = Interleave(marked);
    oddSizedDump.push_back(0);
    // clang-format off
    const std::tuple<a_byte, RomFormat, a_byte> cases[] = {
        {RomBuilder(0x200).Put(0x100, " SEGA GENESIS").bytes, RomFormat::Bin, {}},
        {RomBuilder(512 + 16384).GameHeader().bytes, RomFormat::Bin, {}}, // a dump's size
        {Interleave(marked), RomFormat::Smd, marked}, {Mgd(marked), RomFormat::Mgd, marked},
        {ByteSwapped(marked), RomFormat::ByteSwapped, marked}, {headerless, RomFormat::Headerless, {}},
        {RomBuilder(headerless).BigEndian(4, 0x201, 4).bytes, RomFormat::Unknown, {}},
        {RomBuilder(headerless).BigEndian(0, 0xDFFFFE, 4).bytes, RomFormat::Unknown, {}},
        {oddSizedDump, RomFormat::Unknown, {}}, {Interleave(unmarked), RomFormat::Unknown, {}},
        {Mgd(unmarked), RomFormat::Unknown, {}}, {unmarked, RomFormat::Unknown, {}},
        {Mgd(RomBuilder(unmarked).Put(0x100, "SEXA").bytes), RomFormat::Unknown, {}},
        {DiscImage(0), RomFormat::MegaCd, {}}, {DiscImage(0x10), RomFormat::MegaCd, {}},
        {a_byte(0x102), RomFormat::Unknown, {}}, {a_byte(), RomFormat::Unknown, {}}};
    // clang-format on
    TempDir dir;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [bytes, format, plain] = cases[i];
        WriteFile(dir.Path("f"), bytes);
        EXPECT_EQ(FormatName(ReadChecksumFacts(dir.Path("f")).format), std::string(FormatName(format))) << i;
        const std::string converted = ErrorOf([&] { ConvertToPlainImage(dir.Path("f"), dir.Path("plain")); });
        if (plain.empty()) {
            EXPECT_TRUE(converted != "" && !std::filesystem::exists(dir.Path("plain"))) << i << ": nothing to convert";
            continue;
        }
        EXPECT_EQ(ReadFile(dir.Path("plain")), plain) << i;
        std::filesystem::remove(dir.Path("plain"));
    }
}

// Real-world headers, each row the kind of image and what it decodes to.
// Where each rule comes from:
// - system texts ("SEGA 32X", "SEGA SSF", "SEGA PICO", "SEGA TERA68K"/"TERA286"):
//   the list of system types at plutiedev.com/rom-header; the Pico's other
//   names ("SAMSUNG PICO", the Japanese "IMA IKUNOUJYUKU") are the ones its
//   cartridges carry, which emulators of the Pico accept;
// - the 32X security code: the code at 0x3F0 that the 32X compares with its
//   own copy (Chilly Willy's public 32X toolchain, m68k_crt0, says so of it);
// - the backup memory bytes after "RA": Sega's header guide (reproduced at
//   patpend.net/technical/genesis/genrom.html: %1x1yz000 %00100000, yz 11 odd,
//   10 even, 00 both), BlastEm's romdb.h (RAM_FLAG_ODD 0x18, RAM_FLAG_EVEN
//   0x10, RAM_FLAG_BOTH 0x00), SGDK's rom_head.c (0xF820 odd, 0xF020 even,
//   0xE020 both) and 0x40 in the second byte for a serial EEPROM (0xE840).
TEST(HeaderDecode, RealWorldHeaders)
{
    const a_byte securityCode
        = {0x28, 0x7C, 0xFF, 0xFF, 0xFF, 0xC0, 0x23, 0xFC, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA1, 0x51, 0x28};
    const auto platform
        = [](const std::string& text) { return [=](RomBuilder& rom) { rom.Put(0x100, Pad(text, 16)); }; };
    const auto backup = [](std::uint8_t flags, std::uint8_t kind) {
        return [=](RomBuilder& rom) { rom.Put(0x1B0, "RA").Put(0x1B2, a_byte{flags, kind}); };
    };
    const auto withSecurityCode
        = [&](RomBuilder& rom) { rom.Put(0x100, Pad("SEGA 32X", 16)).Put(0x3F0, securityCode); };
    // Each row: the kind of image, what makes it of a plain game, its system and its hardware.
    const std::tuple<const char*, std::function<void(RomBuilder&)>, std::string, std::vector<std::string>> rows[]
        = {{"a Mega Drive game", [](RomBuilder&) {}, "mega-drive", {}},
           {"a Genesis game", platform("SEGA GENESIS"), "mega-drive", {}},
           {"a 32X game", withSecurityCode, "32x", {"32x-security-code"}},
           {"a 32X game without its security code", platform("SEGA 32X"), "32x", {}},
           {"a Pico game", platform("SEGA PICO"), "pico", {}},
           {"a Pico game from Samsung", platform("SAMSUNG PICO"), "pico", {}},
           {"a Japanese Pico game", platform("IMA IKUNOUJYUKU"), "pico", {}},
           {"a Teradrive program", platform("SEGA TERA286"), "teradrive", {}},
           {"a game over 4 MiB on the Sega mapper", platform("SEGA SSF"), "mega-drive", {"sega-mapper"}},
           {"battery SRAM on odd bytes", backup(0xF8, 0x20), "mega-drive", {"sram-odd"}},
           {"battery SRAM on even bytes", backup(0xF0, 0x20), "mega-drive", {"sram-even"}},
           {"SRAM on both bytes", backup(0xE0, 0x20), "mega-drive", {"sram-both"}},
           {"a serial EEPROM", backup(0xE8, 0x40), "mega-drive", {"eeprom"}}};
    for (const auto& [kind, make, system, hardware] : rows) {
        RomBuilder rom = RomBuilder(0x800).GameHeader();
        make(rom);
        const DecodedHeader header = DecodeHeader(rom.bytes.data(), rom.bytes.size());
        EXPECT_EQ(std::tie(header.system, header.hardware, header.regions),
                  std::make_tuple(system, hardware, std::vector<std::string>{"Japan", "Americas", "Europe"}))
            << kind;
    }
    // An end before the start is no range and has no size, an end at the
    // start is one byte; a backup memory needs its "RA" (the command line's
    // tests read a backup memory's range).
    RomBuilder rom = RomBuilder(0x400).GameHeader().BigEndian(0x1A0, 0x10, 4).BigEndian(0x1A4, 0x0F, 4);
    rom.Put(0x1B0, "RB").BigEndian(0x1A8, 0xFF0000, 4).BigEndian(0x1AC, 0xFF0000, 4);
    const DecodedHeader header = DecodeHeader(rom.bytes.data(), rom.bytes.size());
    EXPECT_EQ(std::make_tuple(header.rom.valid(), header.rom.size(), header.backup.has_value(), header.ram.size()),
              std::make_tuple(false, std::optional<std::int64_t>(), false, std::optional<std::int64_t>(1)));
}

// Only trailing blanks and zeros go. Shift_JIS katakana, one with 0x5C as its
// second byte, half-width katakana, and the characters that code page 932
// reads unlike plain Shift_JIS (wave dash, dash, circled and Roman numerals);
// beside them backslash and tilde stay ASCII. Text that is not Shift_JIS, or
// a lead byte cut off at the end, has each high byte replaced. Region letters win over digits; "E" is a letter,
// not the digit 14. Country words ("EUR", "JAP", "USA") stand beside the
// letters J, U, E and one hexadecimal digit: European releases and BlastEm's
// region letters.
TEST(HeaderText, TrimsAndDecodesAsciiShiftJisOrReplacementRegionsFromLettersOrOneHexDigit)
{
    // clang-format off
    const std::pair<std::string, std::string> texts[] = {
        {std::string(" A \0 B \0\0 ", 10), std::string(" A \0 B", 6)}, {"C:\\GAMES~1", "C:\\GAMES~1"},
        {"\x83\x5C\x83\x6A\x83\x62\x83\x4E  ", "\u30bd\u30cb\u30c3\u30af"}, {"\xB1\xB2 ABC", "\uff71\uff72 ABC"},
        {"\x83\x5C\\~", "\u30bd\\~"}, {"\xFF\xFE OK\x01", "\ufffd\ufffd OK\x01"}, {"AB\x81", "AB\ufffd"},
        {"\0\0  ", ""}, {"\x81\x60\x81\x5C\x87\x40\xFA\x40\x81\x7C", "\uff5e\u2015\u2460\u2170\uff0d"}};
    // clang-format on
    for (const auto& [bytes, text] : texts)
        EXPECT_EQ(DecodeHeaderText(bytes), text) << bytes;

    const std::string japan = "Japan", americas = "Americas", europe = "Europe", asia = "Asia";
    // clang-format off
    const std::pair<std::string, std::vector<std::string>> regions[] = {
        {"EUJ", {japan, americas, europe}}, {"E               ", {europe}}, {"U4B", {americas}}, {"4", {americas}},
        {std::string("4\0\0\0\0\0", 6), {americas}}, {"  8   ", {europe}}, {"A", {europe, asia}},
        {"F", {japan, americas, europe, asia}}, {"f", {}}, {"e", {}}, {"1", {japan}}, {"12", {}}, {"jue", {}},
        {std::string(16, '\0'), {}}, {Pad("EUR", 16), {europe}}, {"jap", {japan}}, {"usa", {americas}}};
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
    WriteFile(dir.Path("rom.mgd"), Mgd(rom.bytes));
    WriteFile(dir.Path("rom.swapped"), ByteSwapped(rom.bytes));
    for (const char* name : {"rom.bin", "rom.smd", "rom.mgd", "rom.swapped"}) {
        SCOPED_TRACE(name);
        const ImageReport report = ReportImage(dir.Path(name));
        using Strings = std::vector<std::string>;
        EXPECT_EQ((Strings{*report.system(), report.header.memo, report.header.headerHex.substr(0x90 * 2, 32)}),
                  (Strings{"32x", Pad("MEMO", 39) + "!", "36434A2020202020202020202020204D"}));
        EXPECT_EQ(report.header.devices, (Strings{"3-button joypad", "6-button joypad", "CD-ROM", "mega mouse"}));
        EXPECT_EQ(std::tuple(report.computedChecksum, report.headerSizeMatchesFile(), report.fmTables, report.psgTables,
                             report.computedRomRangeChecksum.has_value()),
                  std::tuple(std::uint16_t(checksumRange(rom.bytes, 0x200, 0x7FFFF)), true,
                             std::vector<std::int64_t>{0x201, 0x7FFE6}, std::vector<std::int64_t>{0x3FFF0}, false));
    }
    // An overdump: the sum over the ROM the header states leaves the extra
    // bytes out, also where the stated end falls within a piece of reading or
    // on the first byte of one.
    for (const std::uint32_t end : {0x7FFFFu, 0x7EFFFu, 0x80000u}) {
        RomBuilder over = RomBuilder(rom.bytes).BigEndian(0x1A4, end, 4);
        over.bytes.resize(0x81000, 0x5A);
        WriteFile(dir.Path("over.bin"), over.bytes);
        const ImageReport overdump = ReportImage(dir.Path("over.bin"));
        EXPECT_EQ(overdump.computedRomRangeChecksum, std::uint16_t(checksumRange(over.bytes, 0x200, end))) << end;
        EXPECT_NE(overdump.computedChecksum, *overdump.computedRomRangeChecksum);
    }

    // The real images and the dumps of them that collections hold read alike,
    // and so does an image whose halves end within a piece of reading.
    const std::string data = VARNOQUIL_TEST_DATA + std::string("/");
    WriteFile(dir.Path("pieces.bin"), RomBuilder(2 * kReadPiece + 0x4000).Random(5).GameHeader().bytes);
    for (const std::string& image : {data + "miniplanets-rev04.bin", data + "sega-2048.bin",
                                     data + "minimusic-sample.bin", dir.Path("pieces.bin")}) {
        const a_byte bytes = ReadFile(image);
        const ImageReport real = ReportImage(image);
        // Dumps come in whole words, an interleaved one in whole blocks.
        std::vector<a_byte> dumps = {ByteSwapped(bytes)};
        if (bytes.size() % 2 == 0)
            dumps.push_back(Mgd(bytes));
        if (bytes.size() % 16384 == 0)
            dumps.push_back(Interleave(bytes));
        for (const a_byte& dump : dumps) {
            WriteFile(dir.Path("dump"), dump);
            const ImageReport report = ReportImage(dir.Path("dump"));
            EXPECT_EQ(
                std::make_tuple(report.header.headerHex, report.computedChecksum, report.fmTables, report.imageSize),
                std::make_tuple(real.header.headerHex, real.computedChecksum, real.fmTables, real.imageSize))
                << image << " as " << FormatName(report.format);
        }
    }
    EXPECT_FALSE(ReportImage(VARNOQUIL_TEST_DATA "/minimusic-sample.bin").headerSizeMatchesFile());
    // A header alone is an image, whose checksum is repaired to 0000; one byte
    // less is not.
    WriteFile(dir.Path("header.bin"), RomBuilder(0x200).GameHeader().BigEndian(0x18E, 0x1234, 2).bytes);
    WriteFile(dir.Path("short.bin"), RomBuilder(0x1FF).bytes);
    EXPECT_EQ(ReportImage(dir.Path("header.bin")).computedChecksum, 0);
    EXPECT_TRUE(RepairChecksum(dir.Path("header.bin"), false).written);
    EXPECT_EQ(ReportImage(dir.Path("header.bin")).header.storedChecksum, 0);
    EXPECT_EQ(ErrorOf([&] { ReportImage(dir.Path("short.bin")); }), "Read beyond end of file");
    EXPECT_EQ(ErrorOf([&] { RepairChecksum(dir.Path("short.bin"), true); }), "Read beyond end of file");

    // A conversion never writes over its input.
    EXPECT_THROW(ConvertToPlainImage(dir.Path("rom.smd"), dir.Path("rom.smd")), RequestError);
    EXPECT_EQ(ReadFile(dir.Path("rom.smd")), Interleave(rom.bytes));
}
