// SPDX-License-Identifier: MIT
#include "errors.h"
#include "rom.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

using namespace varnoquil;
using namespace vtest;

namespace {

TEST(Checksum, ParityByIndexAndWrapAround)
{
    struct Case {
        a_byte bytes;
        std::int64_t first, last;
        std::uint32_t sum;
    };
    const Case cases[] = {{{0x12, 0x34}, 0, 1, 0x1234},
                          {{0xFF, 0xFF, 0xFF}, 0, 2, 0x1FEFF},
                          {{1, 2, 3}, 1, 2, 0x0302},
                          {a_byte(514, 0xFF), 0, 513, 0x0100FEFF},
                          {a_byte(131076, 0xFF), 0, 131075, 0xFFFE}, // 65538 words of FFFF: the 32-bit sum wraps
                          {{1, 2}, 1, 0, 0},
                          {{}, 0, -1, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(checksumRange(c.bytes, c.first, c.last), c.sum) << c.first << ".." << c.last;
}

TEST(Checksum, AnyRangeSumsAsThePlainDefinition)
{
    std::mt19937 rng(5);
    const a_byte image = RomBuilder(9000).Random(5).bytes;
    for (int round = 0; round < 2000; ++round) {
        const std::int64_t first = rng() % 9000, last = first + std::int64_t(rng() % (9000 - first)) - 1;
        std::uint32_t sum = 0; // a byte at an even index is a high byte
        for (std::int64_t i = first; i <= last; ++i)
            sum += i % 2 == 0 ? image[i] << 8 : image[i];
        ASSERT_EQ(checksumRange(image, first, last), sum) << first << ".." << last;
    }
}

TEST(Checksum, HeaderReadSumsLargeFilesInChunksLikeTheWholeImage)
{
    TempDir dir;
    for (std::size_t size : {512, 513, 512 + (1 << 20), 513 + (1 << 20), 515 + (2 << 20)}) {
        const a_byte image = RomBuilder(size).Random(unsigned(size)).bytes;
        std::uint32_t sum = 0; // the plain definition: a byte at an even offset is a high byte
        for (std::size_t i = 512; i < size; ++i)
            sum += i % 2 == 0 ? image[i] << 8 : image[i];
        WriteFile(dir.Path("big.bin"), image);
        iSMD_ info;
        ReadHeader(dir.Path("big.bin"), info);
        EXPECT_EQ(info.FileCrc, std::uint16_t(sum)) << size;
        EXPECT_EQ(std::uint16_t(checksumRange(image, 512, std::int64_t(size) - 1)), std::uint16_t(sum)) << size;
    }
}

// A game whose stored checksum is 0A5F while its data sums to 1235.
RomBuilder StandardRom()
{
    return RomBuilder(0x204).GameHeader().BigEndian(0x18E, 0x0A5F, 2).BigEndian(0x200, 0x12340001, 4);
}

std::string InfoOf(const a_byte& image)
{
    TempDir dir;
    WriteFile(dir.Path("rom.bin"), image);
    iSMD_ info;
    ReadHeader(dir.Path("rom.bin"), info);
    return InformationText(info);
}

TEST(InformationText, StandardGameHeaderLineByLine)
{
    EXPECT_EQ(InfoOf(StandardRom().bytes),
              "platform: SEGA MEGA DRIVE \r\ncopyright: (C)SEGA 1991.APR\r\nD-name: "
                  + Pad("SONIC THE               HEDGEHOG", 48) + "\r\nO-name: " + Pad("SONIC THE HEDGEHOG", 48)
                  + "\r\ntype: Game\r\nversion:  00001009-0\r\ncountry: " + Pad("JUE", 16)
                  + "\r\nROM size: 1048575\r\nhdr CRC=0A5F\r\nfile CRC=1235\r\nsupported I/O devices:\r\n"
                    "> 3-button joypad\r\n"
                  + Pad("", 40));
    a_byte bare = StandardRom().bytes;
    bare.resize(512);
    EXPECT_NE(InfoOf(bare).find("\r\nfile CRC=0000\r\n"), std::string::npos);
}

TEST(InformationText, FieldsShapeTheLines)
{
    struct Case {
        std::size_t at;
        std::string raw, present, absent;
    };
    const std::string memo = Pad("", 40);
    const Case cases[]
        = {{0x100, std::string(16, '\0'), "platform: type: Game\r\nversion: ", "copyright"}, // cut at the zero byte
           {0x182, std::string("1\0", 2), "version: 1hdr CRC=0A5F\r\n", "country"},
           {0x1C8, std::string("AB\0CD", 5), "joypad\r\nAB", "CD"},
           {0x180, "gm", "type: Game\r\n", "Education"},
           {0x180, "AL", "type: Education\r\n", "Game"},
           {0x180, "GX", "version:", "type:"},
           {0x190, "MCVTR04LFBPK6JJM",
            "devices:\r\n> 3-button joypad\r\n> 6-button joypad\r\n> keyboard\r\n> printer\r\n"
            "> control ball\r\n> floppy disk drive\r\n> Activator\r\n> team play\r\n> joystick for MS\r\n"
            "> serial RS232C\r\n> tablet\r\n> paddle controller\r\n> CD-ROM\r\n> mega mouse\r\n"
                + memo,
            ""},
           {0x190, Pad("j", 16), "devices:\r\n" + memo, "joypad"},
           {0x1A4, "\xFF\xFF\xFF\xFF", "ROM size: -1\r\n", ""},
           {0x1BC, "MOSEGA01.2  ",
            "joypad\r\n> Modem support: \r\n   firmware: SEGA\r\n   modem No: 01\r\n   version: 2\r\n\r\n" + memo, ""}};
    for (const Case& c : cases) {
        const std::string text = InfoOf(StandardRom().Put(c.at, c.raw).bytes);
        EXPECT_NE(text.find(c.present), std::string::npos) << c.present << "\nin\n" << text;
        EXPECT_TRUE(c.absent.empty() || text.find(c.absent) == std::string::npos) << c.absent << "\nin\n" << text;
    }
}

TEST(HeaderFile, FailuresCarryTheirCodes)
{
    TempDir dir;
    const auto codeOf = [&](const std::string& name) {
        iSMD_ info;
        try {
            ReadHeader(dir.Path(name), info);
        } catch (const IoError& e) {
            return e.code();
        }
        return 0;
    };
    ::mkdir(dir.Path("folder.bin").c_str(), 0777);
    WriteFile(dir.Path("locked.bin"), StandardRom().bytes);
    ::chmod(dir.Path("locked.bin").c_str(), 0444);
    WriteFile(dir.Path("short.bin"), a_byte(511));
    EXPECT_EQ(codeOf("missing.bin"), 2);
    EXPECT_EQ(codeOf("folder.bin"), 5);
    EXPECT_EQ(codeOf("short.bin"), 100);
    EXPECT_THROW(WriteChecksum(dir.Path("locked.bin"), 0x1234), IoError);
    EXPECT_EQ(ReadFile(dir.Path("locked.bin")), StandardRom().bytes);
}

TEST(HeaderFile, WriteChecksumChangesOnlyTheTwoBytes)
{
    TempDir dir;
    const a_byte before = RomBuilder(0x301).Random(3).bytes;
    for (std::uint16_t crc : {0x00FF, 0x1234}) {
        WriteFile(dir.Path("rom.bin"), before);
        WriteChecksum(dir.Path("rom.bin"), crc);
        EXPECT_EQ(ReadFile(dir.Path("rom.bin")), RomBuilder(before).BigEndian(0x18E, crc, 2).bytes);
    }
}

} // namespace
