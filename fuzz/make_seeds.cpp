// SPDX-License-Identifier: MIT
// Writes the seed inputs of the fuzz harnesses: small ROM images built here,
// scale texts and DAT files. Usage: fuzz_seeds FOLDER (it gets header/,
// gems/, scale/, dat/).

#include "gems/table_search.h"
#include "rom_builder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace varnoquil;
using namespace vtest;

namespace {

// A game header over random data, cut to size (a cut header too).
a_byte Game(std::size_t size)
{
    a_byte image = RomBuilder(std::max<std::size_t>(size, 0x200))
                       .Random(unsigned(size), 0x200)
                       .GameHeader()
                       .BigEndian(0x18E, 0x0A5F, 2)
                       .bytes;
    image.resize(size);
    return image;
}

a_byte WithTables(std::size_t size, bool fm, bool psg)
{
    RomBuilder rom(Game(size));
    if (fm)
        rom.Put(0x301, DriverFm());
    if (psg)
        rom.Put(0x400, DriverPsg()).Put(0x400 + 38, a_byte{0x54}); // one low byte off by one
    return rom.bytes;
}

// The gems harness reads two scales in thousandths and the checksum option
// from the first five bytes.
a_byte GemsInput(std::uint16_t fm, std::uint16_t psg, bool checksum, const a_byte& image)
{
    a_byte input = {std::uint8_t(fm), std::uint8_t(fm >> 8), std::uint8_t(psg), std::uint8_t(psg >> 8), checksum};
    input.insert(input.end(), image.begin(), image.end());
    return input;
}

a_byte Text(const std::string& text)
{
    return a_byte(text.begin(), text.end());
}

// A DAT of the games given, as the catalogues write them.
a_byte Dat(const std::string& games)
{
    return Text("<?xml version=\"1.0\"?>\n<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" "
                "\"http://www.logiqx.com/Dats/datafile.dtd\">\n<datafile>\n\t<header>\n\t\t<name>Seed</name>\n"
                "\t</header>\n"
                + games + "</datafile>\n");
}

// The scale harness reads the separator from the first byte: odd is ','.
a_byte ScaleInput(char separator, const std::string& text)
{
    a_byte input = {std::uint8_t(separator == ',' ? 1 : 0)};
    input.insert(input.end(), text.begin(), text.end());
    return input;
}

void WriteAll(const std::filesystem::path& folder, const std::vector<a_byte>& inputs)
{
    std::filesystem::create_directories(folder);
    for (std::size_t i = 0; i < inputs.size(); ++i)
        WriteFile((folder / ("seed-" + std::to_string(i))).string(), inputs[i]);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("Usage: fuzz_seeds FOLDER\n", stderr);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    WriteAll(root / "header",
             {Game(0x400), Game(512), Game(511), Game(513), Interleave(Game(16384)), Mgd(Game(0x400)),
              ByteSwapped(Game(0x401)), RomBuilder(Game(0x400)).Put(0x100, "XXXX").BigEndian(4, 0x200, 4).bytes,
              RomBuilder(Game(0x300)).Put(0x1BC, "MOSEGA01.2").Put(0x190, "J6KPBFL40RTVCM").bytes,
              RomBuilder(Game(0x300)).Put(0x120, std::string("A\0\x1B[2J", 6)).bytes});
    WriteAll(root / "gems",
             {GemsInput(1250, 1500, true, WithTables(0x800, true, true)),
              GemsInput(2000, 500, false, WithTables(0x800, false, true)),
              GemsInput(1000, 1000, true, WithTables(0x800, true, false)), GemsInput(1, 32767, true, Game(399)),
              GemsInput(500, 500, true, a_byte(300))});
    WriteAll(root / "scale",
             {ScaleInput('.', "1.25"), ScaleInput('.', "2"), ScaleInput(',', " -1,5e3 "), ScaleInput('.', "0.001"),
              ScaleInput('.', "32.767"), ScaleInput('.', "1e999"), ScaleInput(',', "1.250"), ScaleInput('.', "abc")});
    const std::string sha1 = "sha1=\"F5BB5A05BB3A720793F1E43E66EFEF1377E6029A\"";
    WriteAll(
        root / "dat",
        {Dat("\t<game name=\"A &amp; B\">\n\t\t<description>A</description>\n\t\t<rom name=\"a.md\" "
             "size=\"524288\" crc=\"6c531b9d\" md5=\"6a74f11892413c71c3c91487a1e2ea2c\" "
             + sha1 + " status=\"verified\"/>\n\t</game>\n"),
         Dat("<game><description>B</description><rom name=\"b\" size=\"2797\" crc=\"1234\"/></game>"
             "<machine name=\"C\"><rom name=\"c\" "
             + sha1 + "/><rom name=\"d\" status=\"nodump\"/></machine><game name=\"E\"><rom " + sha1 + "/></game>"),
         Text("\xEF\xBB\xBF<datafile><game name=\"&#x42;\"><rom size=\"1\" crc=\"0\"/></game></datafile>"),
         Dat("<game name=\"x\"><rom sha1=\"abc\"/></game>"), Text("<?xml version=\"1.0\"?>\n<mame/>"),
         Text("<datafile>\n<game name=\"x\""), Text("")});
    return 0;
}
