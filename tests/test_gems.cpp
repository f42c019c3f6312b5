// SPDX-License-Identifier: MIT
#include "errors.h"
#include "gems.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace varnoquil;

namespace {

// The driver's own tables, as they lie in the games.
const FmTable kFm1
    = {0x0284, 0x02AA, 0x02D3, 0x02FE, 0x032B, 0x035B, 0x038E, 0x03C5, 0x03FE, 0x043B, 0x047B, 0x04BF, 0x0508};
const PsgTable kPsg1
    = {0x03F9, 0x03C0, 0x038A, 0x0357, 0x0327, 0x02FA, 0x02CF, 0x02A7, 0x0281, 0x025D, 0x023B, 0x021B, 0x01FC,
       0x01E0, 0x01C5, 0x01AC, 0x0194, 0x017D, 0x0168, 0x0153, 0x0140, 0x012E, 0x011D, 0x010D, 0x00FE, 0x00F0,
       0x00E2, 0x00D6, 0x00CA, 0x00BE, 0x00B4, 0x00AA, 0x00A0, 0x0097, 0x008F, 0x0087, 0x007F, 0x0078, 0x0071,
       0x006B, 0x0065, 0x005F, 0x005A, 0x0055, 0x0050, 0x004C, 0x0047, 0x0043, 0x0040, 0x003C, 0x0039, 0x0035,
       0x0032, 0x0030, 0x002D, 0x002A, 0x0028, 0x0026, 0x0024, 0x0022, 0x0020, 0x001E, 0x001C, 0x001B};

TEST(Tables, ValuesAndEntriesThatDoNotFitTheirFieldForEachScale)
{
    EXPECT_EQ(BuildFmTable(1.0), kFm1);
    EXPECT_EQ(BuildPsgTable(1.0), kPsg1);
    // C5 (1288 at scale 1) is 2047 at 1.59 and B4 is 65535 at 53.923: a
    // value that just fits is not counted. What is written is the low 16 bits.
    using Values = std::array<int, 7>; // FM C4 and C5, PSG first and last, FM above 11 bits, wrapped FM and PSG
    const std::pair<double, Values> rows[]
        = {{2, {1288, 2575, 508, 13, 4, 0, 0}},      {1.25, {805, 1610, 814, 21, 0, 0, 0}},
           {1.59, {1024, 2047, 640, 17, 0, 0, 0}},   {1.6, {1030, 2060, 636, 17, 1, 0, 0}},
           {53.923, {34717, 3896, 19, 0, 13, 1, 0}}, {60, {38629, 77257 - 65536, 17, 0, 13, 3, 0}},
           {0.01, {6, 13, 36156, 2672, 0, 0, 8}},    {0.001, {1, 1, 1016916 - 15 * 65536, 26722, 0, 0, 48}},
           {0.0001, {0, 0, 11082, 5077, 0, 0, 64}}};
    for (const auto& [scale, values] : rows) {
        const FmTable fm = BuildFmTable(scale);
        const PsgTable psg = BuildPsgTable(scale);
        EXPECT_EQ((Values{fm[0], fm[12], psg[0], psg[63], FmEntriesAbove11Bits(scale), WrappedFmEntries(scale),
                          WrappedPsgEntries(scale)}),
                  values)
            << scale;
    }
    for (double scale : {0.0, -1.0, std::nan("")}) {
        EXPECT_THROW(BuildFmTable(scale), RequestError) << scale;
        EXPECT_THROW(BuildPsgTable(scale), RequestError) << scale;
    }
}

} // namespace
