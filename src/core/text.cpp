// SPDX-License-Identifier: MIT
#include "text.h"

#include <cstdio>

namespace varnoquil {

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string LowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string ControlBytesAsQuestionMarks(std::string text, LineBreaks lineBreaks)
{
    const bool keepLineBreaks = lineBreaks == LineBreaks::Keep;
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool lineBreak = c == '\r' || c == '\n';
        if ((byte < 0x20 && !(lineBreak && keepLineBreaks)) || byte == 0x7F)
            c = '?';
    }
    return text;
}

std::string HexText(const std::uint8_t* bytes, std::size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * n);
    for (const std::uint8_t* byte = bytes; byte != bytes + n; ++byte)
        hex += {digits[*byte >> 4], digits[*byte & 0xF]};
    return hex;
}

std::string Hex4(std::uint16_t value)
{
    char buffer[5];
    std::snprintf(buffer, sizeof buffer, "%04X", value);
    return buffer;
}

} // namespace varnoquil
