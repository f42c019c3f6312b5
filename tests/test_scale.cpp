// SPDX-License-Identifier: MIT
#include "errors.h"
#include "gems/scale.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace varnoquil;

// The presets by exact name, shortest and padded texts; decimals parsed
// strictly, and thousandths rounded half to even within the range.
TEST(ScaleTexts, PresetsByExactNameTextsAndStrictlyParsedDecimalsRoundedToThousandths)
{
    std::string presets;
    for (const ScalePreset& preset : ScalePresets())
        presets += std::string(preset.name) + ' ' + std::to_string(preset.fmThousandths) + ' '
            + std::to_string(preset.psgThousandths) + (preset.custom ? " custom|" : "|");
    EXPECT_EQ(presets,
              "Sega Tavrik 1250 1500|Very Hi 2000 2000|Little Hi 1500 1500|Default 1000 1000|"
              "Little Low 500 500|Very Low 1 1|Custom 1 1 custom|");
    EXPECT_EQ(&ScalePresetNamed("Little Low"), &ScalePresets()[4]);
    EXPECT_THROW(ScalePresetNamed("default"), RequestError);
    EXPECT_EQ(ScaleText(2000, '.') + " " + ScaleText(500, '.') + " " + ScaleText(1, '.') + " " + ScaleText(1250, ','),
              "2 0.500 0.001 1,250");
    EXPECT_EQ(ShortestDecimalText(1.0 / 3, '.') + " " + ShortestDecimalText(0.1 + 0.2, '.'), "0.333333333333333 0.3");
    EXPECT_EQ(PadToThousandths("1.", '.') + " " + PadToThousandths("1.2345", '.') + " " + PadToThousandths("1.5", ','),
              "1.000 1.2345 1.5");

    // Decimals are parsed strictly (the command line's and the window's
    // tests check the text of a refusal).
    const std::tuple<const char*, char, double> valid[]
        = {{".5", '.', 0.5}, {"5.", '.', 5},        {" 1.5 ", '.', 1.5}, {"-1.5", '.', -1.5},
           {"+2", '.', 2},   {"1.5E-1", '.', 0.15}, {"1,25", ',', 1.25}, {"1e3", '.', 1000}};
    for (const auto& [text, separator, value] : valid)
        EXPECT_EQ(ParseDecimal(text, separator), value) << text;
    for (const char* text :
         {"", " ", "1.2.3", "1,25", "e3", "1e", ".", "-", "0x10", "1 5", "inf", "nan", "1.5x", "1e999"})
        EXPECT_THROW(ParseDecimal(text, '.'), ConvertError) << "'" << text << "'";
    // n/16 is exact in binary, so n/16 × 1000 lands exactly on a half.
    const std::pair<double, int> thousandths[]
        = {{0.0625, 62}, {0.1875, 188}, {32.767, 32767}, {1e300, 32767}, {-1, 0}};
    for (const auto& [value, expected] : thousandths)
        EXPECT_EQ(ToThousandths(value), expected) << value;
}
