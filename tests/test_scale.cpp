// SPDX-License-Identifier: MIT
#include "errors.h"
#include "scale.h"

#include <gtest/gtest.h>

using namespace varnoquil;

namespace {

TEST(Presets, LookupByExactNameAndThreeDecimalTexts)
{
    const ScalePreset& tavrik = ScalePresetNamed("Sega Tavrik");
    EXPECT_EQ(ScaleText(tavrik.fmThousandths, '.') + " " + ScaleText(tavrik.psgThousandths, '.'), "1.250 1.500");
    EXPECT_FALSE(tavrik.custom);
    EXPECT_TRUE(ScalePresetNamed("Custom").custom);
    EXPECT_THROW(ScalePresetNamed("default"), RequestError);
    const std::pair<int, const char*> texts[] = {{2000, "2"}, {1000, "1"}, {500, "0.500"}, {1, "0.001"}};
    for (auto [thousandths, text] : texts)
        EXPECT_EQ(ScaleText(thousandths, '.'), text);
    EXPECT_EQ(ScaleText(1250, ','), "1,250");
}

TEST(ScaleTexts, ShortestTextAndPadding)
{
    const std::pair<double, const char*> shortest[] = {{1.25, "1.25"},
                                                       {2, "2"},
                                                       {0.001, "0.001"},
                                                       {1.251, "1.251"},
                                                       {32.767, "32.767"},
                                                       {0, "0"},
                                                       {1.0 / 3, "0.333333333333333"},
                                                       {0.1 + 0.2, "0.3"},
                                                       {1999 / 1000.0, "1.999"}};
    for (auto [value, text] : shortest)
        EXPECT_EQ(ShortestDecimalText(value, '.'), text);
    EXPECT_EQ(ShortestDecimalText(1.25, ','), "1,25");

    const std::tuple<const char*, char, const char*> padded[]
        = {{"1.25", '.', "1.250"},    {"0.5", '.', "0.500"}, {"2", '.', "2"},    {"1.", '.', "1.000"},
           {"1.2345", '.', "1.2345"}, {"1,5", ',', "1,500"}, {"1.5", ',', "1.5"}};
    for (auto [text, separator, result] : padded)
        EXPECT_EQ(PadToThousandths(text, separator), result) << text;
}

TEST(ScaleTexts, ParseDecimal)
{
    const std::tuple<const char*, char, double> valid[]
        = {{"1.25", '.', 1.25},   {"2", '.', 2},       {".5", '.', 0.5}, {"5.", '.', 5},
           {" 1.5 ", '.', 1.5},   {"-1.5", '.', -1.5}, {"+2", '.', 2},   {"1e3", '.', 1000},
           {"1.5E-1", '.', 0.15}, {"1,25", ',', 1.25}, {"0", '.', 0}};
    for (auto [text, separator, value] : valid)
        EXPECT_EQ(ParseDecimal(text, separator), value) << text;

    for (const char* text :
         {"", " ", "abc", "1.2.3", "1,25", "e3", "1e", ".", "-", "0x10", "1 5", "inf", "nan", "1.5x"}) {
        try {
            ParseDecimal(text, '.');
            ADD_FAILURE() << "'" << text << "' was accepted";
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
    EXPECT_THROW(ParseDecimal("1.25", ','), ConvertError);
}

TEST(ScaleTexts, ThousandthsRoundHalfToEvenWithinTheUpDownRange)
{
    // n/16 is exact in binary, so n/16 × 1000 lands exactly on a half.
    const std::pair<double, int> cases[]
        = {{0.0625, 62},   {0.1875, 188},   {0.3125, 312}, {0.4375, 438},  {1.25, 1250}, {0.001, 1}, {1.2504, 1250},
           {1.2506, 1251}, {32.767, 32767}, {40, 32767},   {1e300, 32767}, {0, 0},       {-1, 0}};
    for (auto [value, thousandths] : cases)
        EXPECT_EQ(ToThousandths(value), thousandths) << value;
}

} // namespace
