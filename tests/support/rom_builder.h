// SPDX-License-Identifier: MIT
#pragma once

// Fixtures for the tests: ROM images built byte by byte, a scratch folder
// that removes itself, and the text of the error an action raises.

#include "gems/fix_gems.h"
#include "gems/pitch_tables.h"
#include "rom/rom.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <vector>

namespace vtest {

using varnoquil::a_byte;

// The text of the exception an action raises; "" when it raises none.
inline std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

inline std::string Pad(std::string text, std::size_t n)
{
    return text.resize(n, ' '), text;
}

// The 2-byte little-endian layout of a table, as it lies in a ROM image.
template <std::size_t N>
a_byte LittleEndian(const std::array<std::uint16_t, N>& table)
{
    const auto bytes = varnoquil::TableBytes(table);
    return a_byte(bytes.begin(), bytes.end());
}

// The driver's own FM table (scale 1), as it lies in a ROM image.
inline a_byte DriverFm()
{
    return LittleEndian(varnoquil::BuildFmTable(varnoquil::Scale(1.0)));
}
// The fuzzers' seed maker (fuzz/make_seeds.cpp) builds its images with this.
inline a_byte DriverPsg()
{
    return LittleEndian(varnoquil::BuildPsgTable(varnoquil::Scale(1.0)));
}

// A Fix GEMS request for the tests.
inline varnoquil::FixGemsRequest FixRequest(const std::string& in, const std::string& out, double fm, double psg,
                                            bool checksum)
{
    return {in, out, {varnoquil::Scale(fm), varnoquil::Scale(psg)}, checksum};
}

// A ROM image under construction; every writer returns the builder.
struct RomBuilder {
    a_byte bytes;

    explicit RomBuilder(std::size_t size) : bytes(size) {}
    explicit RomBuilder(a_byte image) : bytes(std::move(image)) {}

    RomBuilder& Put(std::size_t at, const a_byte& raw)
    {
        if (at + raw.size() > bytes.size())
            throw std::out_of_range("fixture does not fit in the image");
        std::copy(raw.begin(), raw.end(), bytes.begin() + std::ptrdiff_t(at));
        return *this;
    }
    RomBuilder& Put(std::size_t at, const std::string& raw) { return Put(at, a_byte(raw.begin(), raw.end())); }
    // The GEMS tables for the scales (the driver's own by default) at their offsets.
    RomBuilder& Tables(std::size_t fmAt, std::size_t psgAt, double fm = 1, double psg = 1)
    {
        using varnoquil::Scale;
        return Put(fmAt, LittleEndian(BuildFmTable(Scale(fm)))).Put(psgAt, LittleEndian(BuildPsgTable(Scale(psg))));
    }
    RomBuilder& BigEndian(std::size_t at, std::uint32_t value, int width)
    {
        for (int i = width - 1; i >= 0; --i, value >>= 8)
            bytes.at(at + std::size_t(i)) = std::uint8_t(value);
        return *this;
    }
    // Pseudo-random bytes from `from` to the end.
    RomBuilder& Random(unsigned seed, std::size_t from = 0)
    {
        return std::generate(bytes.begin() + std::ptrdiff_t(from), bytes.end(), std::mt19937(seed)), *this;
    }
    // A typical game header: "GM" type, 3-button joypad, no modem, ROM 0..0xFFFFF.
    RomBuilder& GameHeader()
    {
        Put(0x100, "SEGA MEGA DRIVE (C)SEGA 1991.APR").Put(0x120, Pad("SONIC THE               HEDGEHOG", 48));
        Put(0x150, Pad("SONIC THE HEDGEHOG", 48)).Put(0x180, "GM 00001009-00").Put(0x190, Pad("J", 16));
        BigEndian(0x1A0, 0, 4).BigEndian(0x1A4, 0xFFFFF, 4);
        return Put(0x1BC, Pad("", 12)).Put(0x1C8, Pad("", 40)).Put(0x1F0, Pad("JUE", 16));
    }
};

// The interleaved copier dump of a plain image whose size is a multiple of
// 16 KiB: a 512-byte copier header, then for each 16 KiB block the bytes at
// odd offsets followed by those at even offsets.
inline a_byte Interleave(const a_byte& plain)
{
    a_byte dump(512 + plain.size());
    dump[8] = 0xAA, dump[9] = 0xBB; // the copier's marks
    for (std::size_t i = 0; i < plain.size(); ++i)
        dump.at(512 + i / 16384 * 16384 + (i % 2 ? 0 : 8192) + i % 16384 / 2) = plain[i];
    return dump;
}

// The MGD dump of a plain image of even size: its bytes at odd offsets, then
// those at even offsets.
inline a_byte Mgd(const a_byte& plain)
{
    a_byte dump(plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        dump.at((i % 2 ? 0 : plain.size() / 2) + i / 2) = plain[i];
    return dump;
}

// A plain image with the two bytes of every word swapped.
inline a_byte ByteSwapped(a_byte image)
{
    for (std::size_t i = 0; i + 1 < image.size(); i += 2)
        std::swap(image[i], image[i + 1]);
    return image;
}

// A disc image: "SEGADISCSYSTEM" at `at` (0 or 0x10), a game header at 0x100.
inline a_byte DiscImage(std::size_t at)
{
    return RomBuilder(0x1000).GameHeader().Put(at, "SEGADISCSYSTEM  ").bytes;
}

inline void WriteFile(const std::string& path, const a_byte& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
        throw std::runtime_error("cannot write " + path);
}

inline a_byte ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return a_byte(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The hash a system tool prints for a file: md5sum, sha1sum, sha256sum, or
// kCrc32, the CRC32 that gzip keeps at the end of what it writes (in the
// byte order in which od reads a number on a little-endian machine), printed
// as the others print theirs.
inline const std::string kCrc32 = "gzip -c | tail -c8 | od -An -tx4 -N4 | xargs printf '%s -'";
inline std::string ToolHash(const std::string& tool, const std::string& path)
{
    std::string out(64, '\0');
    FILE* pipe = ::popen(("< '" + path + "' " + tool).c_str(), "r");
    out.resize(pipe ? std::fread(out.data(), 1, out.size(), pipe) : 0);
    if (!pipe || ::pclose(pipe) != 0)
        throw std::runtime_error(tool + " failed on " + path);
    return out.substr(0, out.find(' '));
}

// What the system's tools give for a file: its CRC32, MD5, SHA-1 and SHA-256.
inline std::vector<std::string> ToolHashes(const std::string& path)
{
    return {ToolHash(kCrc32, path), ToolHash("md5sum", path), ToolHash("sha1sum", path), ToolHash("sha256sum", path)};
}

// A new folder under the temporary folder (or another), removed with
// everything in it.
struct TempDir {
    std::string root;

    explicit TempDir(const std::filesystem::path& parent = std::filesystem::temp_directory_path())
    {
        std::random_device random;
        do
            root = (parent / ("varnoquil-test-" + std::to_string(random()))).string();
        while (!std::filesystem::create_directory(root));
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    std::string Path(const std::string& name) const { return root + "/" + name; }
    // Every entry by name, with the content of the regular files.
    std::map<std::string, a_byte> Contents() const
    {
        std::map<std::string, a_byte> entries;
        std::error_code loop; // a link loop is not a regular file
        for (const auto& entry : std::filesystem::directory_iterator(root))
            entries[entry.path().filename().string()]
                = entry.is_regular_file(loop) ? ReadFile(entry.path().string()) : a_byte{};
        return entries;
    }
};

} // namespace vtest
