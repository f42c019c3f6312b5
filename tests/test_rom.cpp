// SPDX-License-Identifier: MIT
#include "rom/rom.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

#include <random>

using namespace varnoquil;
using namespace vtest;

// The plain definition: a byte at an even offset is a high byte.
std::uint32_t PlainSum(const a_byte& image, std::int64_t first, std::int64_t last)
{
    std::uint32_t sum = 0;
    for (std::int64_t i = first; i <= last; ++i) {
        const std::uint32_t byte = image[std::size_t(i)];
        sum += i % 2 == 0 ? byte << 8 : byte;
    }
    return sum;
}

// The header of an image, read from a file.
iSMD_ HeaderOf(const a_byte& image)
{
    TempDir dir;
    WriteFile(dir.Path("rom.bin"), image);
    iSMD_ info;
    ReadHeader(dir.Path("rom.bin"), info);
    return info;
}

TEST(Checksum, RangesAndFilesSumAsThePlainDefinition)
{
    // 65538 words of FFFF: the 32-bit sum wraps, and each 16-bit lane of the
    // fast sum is emptied before it would overflow.
    EXPECT_EQ(checksumRange(a_byte(131076, 0xFF), 0, 131075), 0xFFFEu);
    std::mt19937 rng(5);
    const a_byte image = RomBuilder(9000).Random(5).bytes;
    for (int round = 0; round < 2000; ++round) {
        const std::int64_t first = std::int64_t(rng() % 9000),
                           last = first + std::int64_t(rng() % std::uint64_t(9000 - first)) - 1;
        ASSERT_EQ(checksumRange(image, first, last), PlainSum(image, first, last)) << first << ".." << last;
    }
    // The header read sums the file from 0x200 in chunks.
    for (std::size_t size : {512u, 513u, 512u + (1u << 20), 513u + (1u << 20), 515u + (2u << 20)}) {
        const a_byte big = RomBuilder(size).Random(unsigned(size)).bytes;
        EXPECT_EQ(HeaderOf(big).FileCrc, std::uint16_t(PlainSum(big, 512, std::int64_t(size) - 1))) << size;
    }
}

// A game whose stored checksum is 0A5F while its data sums to 1235.
RomBuilder StandardRom()
{
    return RomBuilder(0x204).GameHeader().BigEndian(0x18E, 0x0A5F, 2).BigEndian(0x200, 0x12340001, 4);
}

TEST(InformationText, LinesOfTheHeaderFields)
{
    const std::string memo = Pad("", 40);
    EXPECT_EQ(InformationText(HeaderOf(StandardRom().bytes)),
              "platform: SEGA MEGA DRIVE \r\ncopyright: (C)SEGA 1991.APR\r\nD-name: "
                  + Pad("SONIC THE               HEDGEHOG", 48) + "\r\nO-name: " + Pad("SONIC THE HEDGEHOG", 48)
                  + "\r\ntype: Game\r\nversion:  00001009-0\r\ncountry: " + Pad("JUE", 16)
                  + "\r\nROM size: 1048575\r\nhdr CRC=0A5F\r\nfile CRC=1235\r\nsupported I/O devices:\r\n"
                    "> 3-button joypad\r\n"
                  + memo);
    // Each row: where a field is changed, its bytes, a text the result holds
    // and one it does not.
    // clang-format off
    const std::tuple<std::size_t, std::string, std::string, std::string> cases[] = {
        {0x100, std::string(16, '\0'), "platform: type: Game\r\nversion: ", "copyright"}, // cut at the zero byte
        {0x180, "gm", "type: Game\r\n", "Education"}, {0x180, "AL", "type: Education\r\n", "Game"},
        {0x180, "GX", "version:", "type:"}, {0x180, "XAL", "version: L", "type:"},
        {0x190, Pad("j", 16), "devices:\r\n" + memo, "joypad"},
        {0x190, Pad("6", 16) + "J", "devices:\r\n> 6-button joypad\r\n" + memo, "3-button"}, // J starts the ROM
        {0x1A4, "\xFF\xFF\xFF\xFF", "ROM size: -1\r\n", ""},
        {0x1A0, std::string("\0\0\x10\0", 4), "ROM size: 1044479\r\n", ""}, // from 0x1000 to 0xFFFFF
        {0x1BC, "MOSEGA01.2  ",
         "joypad\r\n> Modem support: \r\n   firmware: SEGA\r\n   modem No: 01\r\n   version: 2\r\n\r\n" + memo, ""}};
    // clang-format on
    for (const auto& [at, raw, present, absent] : cases) {
        const std::string text = InformationText(HeaderOf(StandardRom().Put(at, raw).bytes));
        EXPECT_NE(text.find(present), std::string::npos) << present << "\nin\n" << text;
        EXPECT_TRUE(absent.empty() || text.find(absent) == std::string::npos) << absent << "\nin\n" << text;
    }
}
