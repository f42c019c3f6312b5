// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

// Small text rules shared by the core: the ROM header's texts are bytes, and
// case is folded in the ASCII range only.
namespace varnoquil {

inline const std::string kCrLf = "\r\n";

std::string UpperAscii(std::string text);
std::string LowerAscii(std::string text);

// The text with its control bytes (0x00 to 0x1F, and 0x7F) shown as "?", so
// that bytes from a file cannot drive a terminal. A multi-line text keeps its
// CR and LF; a file name, which is shown on one line, does not.
enum class LineBreaks { Keep, AsQuestionMarks };
std::string ControlBytesAsQuestionMarks(std::string text, LineBreaks lineBreaks = LineBreaks::Keep);

// Exactly four upper-case hexadecimal digits: 0A5F.
std::string Hex4(std::uint16_t value);
// Bytes as lower-case hexadecimal digits, two a byte.
std::string HexText(const std::uint8_t* bytes, std::size_t n);

} // namespace varnoquil
