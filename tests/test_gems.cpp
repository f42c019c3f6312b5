// SPDX-License-Identifier: MIT
#include "errors.h"
#include "gems.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace varnoquil;
using namespace vtest;

namespace {

const FmTable kFm1
    = {0x0284, 0x02AA, 0x02D3, 0x02FE, 0x032B, 0x035B, 0x038E, 0x03C5, 0x03FE, 0x043B, 0x047B, 0x04BF, 0x0508};
const PsgTable kPsg1
    = {0x03F9, 0x03C0, 0x038A, 0x0357, 0x0327, 0x02FA, 0x02CF, 0x02A7, 0x0281, 0x025D, 0x023B, 0x021B, 0x01FC,
       0x01E0, 0x01C5, 0x01AC, 0x0194, 0x017D, 0x0168, 0x0153, 0x0140, 0x012E, 0x011D, 0x010D, 0x00FE, 0x00F0,
       0x00E2, 0x00D6, 0x00CA, 0x00BE, 0x00B4, 0x00AA, 0x00A0, 0x0097, 0x008F, 0x0087, 0x007F, 0x0078, 0x0071,
       0x006B, 0x0065, 0x005F, 0x005A, 0x0055, 0x0050, 0x004C, 0x0047, 0x0043, 0x0040, 0x003C, 0x0039, 0x0035,
       0x0032, 0x0030, 0x002D, 0x002A, 0x0028, 0x0026, 0x0024, 0x0022, 0x0020, 0x001E, 0x001C, 0x001B};
const a_byte kFmBytes = LittleEndian(kFm1);
const a_byte kPsgBytes = LittleEndian(kPsg1);

// A copy of bytes, cut to n bytes, with one byte changed by delta.
a_byte Changed(const a_byte& bytes, std::size_t n, std::size_t index = 0, int delta = 0)
{
    a_byte copy(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
    copy[index] = std::uint8_t(copy[index] + delta);
    return copy;
}

// The plain scan: every offset in order where the whole pattern matches. PSG
// low bytes (even pattern indexes) may differ by 1, everything else must be
// equal.
std::vector<std::int64_t> ReferenceFindAll(const a_byte& image, const a_byte& pattern, bool psg)
{
    std::vector<std::int64_t> offsets;
    for (std::size_t pos = 0; pos + pattern.size() <= image.size(); ++pos) {
        std::size_t i = 0;
        for (; i < pattern.size(); ++i) {
            const int d = int(image[pos + i]) - int(pattern[i]);
            if ((psg && i % 2 == 0) ? std::abs(d) > 1 : d != 0)
                break;
        }
        if (i == pattern.size())
            offsets.push_back(std::int64_t(pos));
    }
    return offsets;
}

TEST(Tables, ForEachScale)
{
    EXPECT_EQ(BuildFmTable(1.0), kFm1);
    EXPECT_EQ(BuildPsgTable(1.0), kPsg1);
    const FmTable fm2 = BuildFmTable(2.0), fm125 = BuildFmTable(1.25), fm0001 = BuildFmTable(0.001);
    const PsgTable psg2 = BuildPsgTable(2.0), psg125 = BuildPsgTable(1.25), psg0001 = BuildPsgTable(0.001);
    EXPECT_EQ(fm2[0], 1288);
    EXPECT_EQ(fm2[12], 2575);
    EXPECT_EQ((std::array{psg2[0], psg2[1], psg2[2]}), (std::array<std::uint16_t, 3>{508, 480, 453}));
    EXPECT_EQ(fm125[0], 805);
    EXPECT_EQ(psg125[0], 814);
    EXPECT_EQ(std::count(fm0001.begin(), fm0001.end(), 1), 13);
    EXPECT_EQ(psg0001[0], 33876); // 1016916 wraps modulo 65536
    EXPECT_EQ(psg0001[63], 26722);
}

TEST(Tables, ScaleNotAboveZeroIsRefused)
{
    for (double scale : {0.0, -1.0, std::nan("")}) {
        EXPECT_THROW(BuildFmTable(scale), RequestError) << scale;
        EXPECT_THROW(BuildPsgTable(scale), RequestError) << scale;
    }
}

TEST(Search, FirstMatchAtAnyByteOffset)
{
    using Placed = std::vector<std::pair<std::size_t, a_byte>>;
    struct Case {
        const char* what;
        bool psg;
        std::size_t size;
        Placed put;
        std::int64_t at;
    };
    const Case cases[] = {
        {"empty", false, 0, {}, -1},
        {"fm one byte short", false, 25, {{0, Changed(kFmBytes, 25)}}, -1},
        {"fm ends the image just after a false start", false, 1000, {{973, a_byte{0x84}}, {974, kFmBytes}}, 974},
        {"fm low byte off by one", false, 1000, {{100, Changed(kFmBytes, 26, 24, 1)}}, -1},
        {"psg one byte short", true, 127, {{0, Changed(kPsgBytes, 127)}}, -1},
        {"psg fills the image", true, 128, {{0, kPsgBytes}}, 0},
        {"psg ends the image, odd offset", true, 1001, {{873, kPsgBytes}}, 873},
        {"psg F9 read as FA", true, 1000, {{77, Changed(kPsgBytes, 128, 0, 1)}}, 77},
        {"psg high byte off by one", true, 1000, {{77, Changed(kPsgBytes, 128, 49, 1)}}, -1},
        {"psg low byte off by two", true, 1000, {{77, Changed(kPsgBytes, 128, 48, 2)}}, -1},
    };
    for (const Case& c : cases) {
        RomBuilder rom(c.size);
        for (const auto& [at, bytes] : c.put)
            rom.Put(at, bytes);
        EXPECT_EQ(c.psg ? FindPsgTable(rom.bytes) : FindFmTable(rom.bytes), c.at) << c.what;
    }
}

TEST(Search, SameMatchesAsThePlainScan)
{
    std::mt19937 rng(2024);
    const int deltas[] = {-2, -1, 1, 2, 0x80};
    for (int round = 0; round < 4000; ++round) {
        const bool psg = round % 2 == 1;
        const a_byte& pattern = psg ? kPsgBytes : kFmBytes;
        a_byte image(rng() % 700); // the pattern's own bytes, some off by one: partial matches everywhere
        for (auto& b : image)
            b = std::uint8_t(pattern[rng() % pattern.size()] + (rng() % 4 == 0 ? int(rng() % 3) - 1 : 0));
        for (int copies = rng() % 5; copies > 0 && image.size() >= pattern.size(); --copies) {
            const std::size_t at = rng() % (image.size() - pattern.size() + 1);
            const std::size_t n = rng() % 3 == 0 ? rng() % pattern.size() + 1 : pattern.size();
            const a_byte copy = Changed(pattern, n, rng() % n, rng() % 2 ? deltas[rng() % 5] : 0);
            std::copy(copy.begin(), copy.end(), image.begin() + std::ptrdiff_t(at));
        }
        const std::vector<std::int64_t> all = ReferenceFindAll(image, pattern, psg);
        ASSERT_EQ(psg ? FindPsgTable(image) : FindFmTable(image), all.empty() ? -1 : all.front()) << "round " << round;
        TableMatches whole;
        whole.add(image.data(), image.size());
        ASSERT_EQ(psg ? whole.psg() : whole.fm(), all) << "round " << round;
        // The same image in pieces of any size, as a file is read.
        TableMatches pieces;
        for (std::size_t at = 0; at < image.size();) {
            const std::size_t n = std::min<std::size_t>(image.size() - at, rng() % 200 + 1);
            pieces.add(image.data() + at, n);
            at += n;
        }
        ASSERT_EQ(psg ? pieces.psg() : pieces.fm(), all) << "round " << round << " in pieces";
    }
}

TEST(Tables, CountsEntriesThatDoNotFitTheirField)
{
    // FM entries run from 644 (C4) to 1288 (C5) at scale 1: 1.6 lifts only C5
    // above 2047, 2 the four top notes; at 60 every note exceeds 2047 and the
    // three from A#4 (1147 x 60 = 68820) pass 65535. A value that just fits
    // is not counted: C5 is 2047 at 1.59, B4 is 65535 at 53.923.
    struct Case {
        double scale;
        int above11Bits, wrapped;
    };
    for (const Case& c :
         {Case{1, 0, 0}, Case{1.59, 0, 0}, Case{1.6, 1, 0}, Case{2, 4, 0}, Case{53.923, 13, 1}, Case{60, 13, 3}}) {
        EXPECT_EQ(FmEntriesAbove11Bits(c.scale), c.above11Bits) << c.scale;
        EXPECT_EQ(WrappedFmEntries(c.scale), c.wrapped) << c.scale;
    }
    // PSG periods grow as the scale shrinks: the lowest is 27 at scale 1.
    EXPECT_EQ(WrappedPsgEntries(1), 0);
    EXPECT_EQ(WrappedPsgEntries(0.01), 8);
    EXPECT_EQ(WrappedPsgEntries(0.0001), 64);
    EXPECT_EQ(BuildFmTable(60)[12], std::uint16_t(77257 - 65536)); // what is written: the low 16 bits
}

} // namespace
