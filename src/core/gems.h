#pragma once

#include "rom.h"

#include <array>
#include <cstdint>

// The GEMS sound driver's pitch tables: the YM2612 FM frequency numbers of one
// octave and the SN76489 PSG tone periods, found in a ROM image by their
// standard content and replaced by tables computed for another pitch scale.
namespace varnoquil {

using FmTable = std::array<std::uint16_t, 13>;
using PsgTable = std::array<std::uint16_t, 64>;

// The tables for a pitch scale (1.0 = the driver's own tuning). The scale must
// be a finite number above 0; anything else raises RequestError.
FmTable BuildFmTable(double scale);
PsgTable BuildPsgTable(double scale);

// Replace the first copy of the scale-1.0 table in the image (at any byte
// offset, entries little-endian) by the table for scale. Return whether a copy
// was found; the image is untouched when none was. PSG low bytes match within
// 1 (no wrap-around); high bytes must be equal.
bool FixFmTable(a_byte& image, double scale);
bool FixPsgTable(a_byte& image, double scale);

// The offset of the first match, or -1: the searches behind the two commands.
std::int64_t FindFmTable(const a_byte& image);
std::int64_t FindPsgTable(const a_byte& image);
std::int64_t FindFmTable(const std::uint8_t* data, std::size_t n);
std::int64_t FindPsgTable(const std::uint8_t* data, std::size_t n);

// Throws RequestError unless scale is a finite number above 0.
void RequirePositiveScale(double scale);

} // namespace varnoquil
