// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The GEMS sound driver's pitch tables: the YM2612 FM frequency numbers of one
// octave and the SN76489 PSG tone periods, computed for a pitch scale.
namespace varnoquil {

// A pitch scale is a finite number above 0.
bool IsValidScale(double scale);

// The factor every note's frequency is multiplied by (1.0 = the driver's own
// tuning, 2 one octave up). A scale is checked once, when it is made: one
// that is not valid raises RequestError("The scale 'X' is not above 0").
class Scale {
public:
    explicit Scale(double value);
    double value() const { return value_; }

private:
    double value_;
};

// The scales of the two tables, by name.
struct Scales {
    Scale fm{1.0};
    Scale psg{1.0};
};

using FmTable = std::array<std::uint16_t, 13>;
using PsgTable = std::array<std::uint16_t, 64>;

// The tables for a pitch scale.
FmTable BuildFmTable(Scale scale);
PsgTable BuildPsgTable(Scale scale);

// The bytes of a table as it lies in a ROM image: each entry little-endian.
template <std::size_t N>
std::array<std::uint8_t, 2 * N> TableBytes(const std::array<std::uint16_t, N>& table)
{
    std::array<std::uint8_t, 2 * N> bytes{};
    for (std::size_t i = 0; i < N; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(table[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(table[i] >> 8);
    }
    return bytes;
}

// The largest value the YM2612's frequency number field holds (11 bits).
constexpr int kFmFieldMax = 2047;

// How the table for a scale fits its fields.
struct TableFit {
    int wrapped = 0; // entries that passed 16 bits: their low 16 bits are written
    int aboveField = 0; // FM entries above the chip's 11-bit field
    // The one value of every entry, when all came out the same: every note
    // then plays at one pitch (all 0 at scales far from 1).
    std::optional<std::uint16_t> sameValue;
};
TableFit FmTableFit(Scale scale);
TableFit PsgTableFit(Scale scale);

} // namespace varnoquil
