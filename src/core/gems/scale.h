// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>

// Pitch scales as the user sees them: named presets, and the decimal texts of
// the scale boxes, mirrored in thousandths by their up-down controls.
namespace varnoquil {

struct ScalePreset {
    const char* name;
    std::int16_t fmThousandths;
    std::int16_t psgThousandths;
    bool custom; // the boxes are editable and the up-downs enabled
};

const std::array<ScalePreset, 7>& ScalePresets();
// The preset with the given name; throws RequestError when there is none.
const ScalePreset& ScalePresetNamed(const std::string& name);

// Up-down positions hold the scale in thousandths within this range.
constexpr int kMinThousandths = 0;
constexpr int kMaxThousandths = 32767;

// The shortest decimal text of a number (up to 15 significant digits, no
// trailing zeros, no separator for whole numbers): 1.25, 2, 0.001.
std::string ShortestDecimalText(double value, char decimalSeparator);

// Pads a text with zeros to three digits after its separator: 1.25 -> 1.250.
// Texts without a separator, or with three or more digits after it, stay.
std::string PadToThousandths(const std::string& text, char decimalSeparator);

// The text of a scale box for a position in thousandths, padded: 1.250, 2.
std::string ScaleText(int thousandths, char decimalSeparator);

// Converts a decimal text written with the given separator. Blanks around the
// number, a sign and an exponent are accepted. Throws ConvertError
// "'TEXT' is not a valid floating point value" for anything else.
double ParseDecimal(const std::string& text, char decimalSeparator);

// value × 1000 rounded to the nearest integer, ties to even, kept within the
// up-down range.
int ToThousandths(double value);

} // namespace varnoquil
