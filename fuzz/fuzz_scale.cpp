// SPDX-License-Identifier: MIT
// The scale texts: any text typed into a scale box, with either separator.

#include "errors.h"
#include "fuzz_check.h"
#include "gems/scale.h"

#include <cmath>
#include <string>

using namespace varnoquil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const char separator = data[0] & 1 ? ',' : '.';
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    double value = 0;
    try {
        value = ParseDecimal(text, separator);
    } catch (const ConvertError& e) {
        // what() is a C string: a zero byte in the text ends it there.
        const std::string message = "'" + text + "' is not a valid floating point value";
        Check(e.what() == message.substr(0, message.find('\0')), "the conversion error names the text");
        return 0;
    }
    Check(std::isfinite(value), "a number is finite");

    const std::string shortest = ShortestDecimalText(value, separator);
    const double back = ParseDecimal(shortest, separator);
    Check(std::fabs(back - value) <= std::fabs(value) * 1e-14, "the shortest text keeps 15 significant digits");

    const int thousandths = ToThousandths(value);
    Check(thousandths >= kMinThousandths && thousandths <= kMaxThousandths, "positions stay in range");
    const std::string shown = ScaleText(thousandths, separator);
    Check(ToThousandths(ParseDecimal(shown, separator)) == thousandths, "a scale text reads back as its position");
    Check(PadToThousandths(shown, separator) == shown, "a padded text stays as it is");
    return 0;
}
