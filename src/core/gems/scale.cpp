// SPDX-License-Identifier: MIT
#include "gems/scale.h"

#include "errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace varnoquil {

const std::array<ScalePreset, 7>& ScalePresets()
{
    static const std::array<ScalePreset, 7> presets = {{
        {"Sega Tavrik", 1250, 1500, false},
        {"Very Hi", 2000, 2000, false},
        {"Little Hi", 1500, 1500, false},
        {"Default", 1000, 1000, false},
        {"Little Low", 500, 500, false},
        {"Very Low", 1, 1, false},
        {"Custom", 1, 1, true},
    }};
    return presets;
}

const ScalePreset& ScalePresetNamed(const std::string& name)
{
    for (const ScalePreset& preset : ScalePresets())
        if (name == preset.name)
            return preset;
    throw RequestError("Unknown preset '" + name + "'");
}

std::string ShortestDecimalText(double value, char decimalSeparator)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

std::string PadToThousandths(const std::string& text, char decimalSeparator)
{
    const auto separator = text.find(decimalSeparator);
    if (separator == std::string::npos)
        return text;
    const std::size_t digits = text.size() - separator - 1;
    return digits >= 3 ? text : text + std::string(3 - digits, '0');
}

std::string ScaleText(int thousandths, char decimalSeparator)
{
    return PadToThousandths(ShortestDecimalText(thousandths / 1000.0, decimalSeparator), decimalSeparator);
}

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(const std::string& text, std::size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

// Rewrites "  -1,5e3 " (with ',' as the separator) as "-1.5e3", or returns
// an empty text when the input is not a decimal number.
std::string canonicalNumber(const std::string& text, char decimalSeparator)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    std::string number = text.substr(first, last - first + 1);

    std::size_t at = (number[0] == '+' || number[0] == '-') ? 1 : 0;
    const std::size_t intEnd = skipDigits(number, at);
    std::size_t digits = intEnd - at;
    at = intEnd;
    if (at < number.size() && number[at] == decimalSeparator) {
        number[at] = '.';
        const std::size_t fracEnd = skipDigits(number, at + 1);
        digits += fracEnd - at - 1;
        at = fracEnd;
    }
    if (digits == 0)
        return {};
    if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
        std::size_t exp = at + 1;
        if (exp < number.size() && (number[exp] == '+' || number[exp] == '-'))
            ++exp;
        const std::size_t expEnd = skipDigits(number, exp);
        if (expEnd == exp)
            return {};
        at = expEnd;
    }
    if (at != number.size())
        return {};
    if (number[0] == '+')
        number.erase(0, 1);
    return number;
}

} // namespace

double ParseDecimal(const std::string& text, char decimalSeparator)
{
    const std::string number = canonicalNumber(text, decimalSeparator);
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || result.ec != std::errc() || result.ptr != number.data() + number.size())
        throw ConvertError(text);
    return value;
}

int ToThousandths(double value)
{
    const double rounded = std::nearbyint(value * 1000.0);
    return static_cast<int>(std::clamp(rounded, double(kMinThousandths), double(kMaxThousandths)));
}

} // namespace varnoquil
