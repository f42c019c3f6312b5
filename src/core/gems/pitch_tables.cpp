// SPDX-License-Identifier: MIT
#include "gems/pitch_tables.h"

#include "errors.h"
#include "gems/scale.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace varnoquil {

namespace {

// C4 to C5 in hertz (A = 440), rounded to two decimals.
constexpr std::array<double, 13> kNoteHz
    = {261.63, 277.18, 293.66, 311.13, 329.63, 349.23, 369.99, 392.0, 415.3, 440.0, 466.16, 493.88, 523.25};

// The YM2612 runs at the NTSC master clock divided by 7 and produces one
// sample every 144 clocks. In block 4 an F-number advances the phase by
// F / 2^17 of a cycle per sample, so F = prescaler x f x 2^17 / clock.
constexpr long double kFmClockHz = 7670000.0L;
constexpr long double kFmPrescaler = 144.0L;
constexpr long double kFmBlock4Steps = 131072.0L;

// The SN76489 runs at the NTSC colour clock; its tone period N gives
// clock / (32 x N) hertz.
constexpr long double kPsgClockHz = 3579545.0L;
constexpr long double kPsgPrescaler = 32.0L;

// The 16-bit field of a table keeps the low 16 bits of its value.
constexpr long double kWordRange = 65536.0L;

// floor(x + 0.5). x is finite and not negative.
long double roundHalfUp(long double x)
{
    return std::floor(x + 0.5L);
}

// The entries' values before they are kept to 16 bits.
std::array<long double, 13> fmValues(Scale scale)
{
    std::array<long double, 13> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        long double x = kFmPrescaler * kNoteHz[i];
        x = x * scale.value();
        x = x * kFmBlock4Steps;
        x = x / kFmClockHz;
        values[i] = roundHalfUp(x);
    }
    return values;
}

std::array<long double, 64> psgValues(Scale scale)
{
    std::array<long double, 64> values{};
    std::size_t note = 9;
    int octave = -2;
    for (long double& value : values) {
        const long double p = std::pow(2.0L, static_cast<long double>(octave));
        long double d = kPsgPrescaler * kNoteHz[note];
        d = d * scale.value();
        d = p * d;
        value = roundHalfUp(kPsgClockHz / d);
        if (++note == 12) {
            note = 0;
            ++octave;
        }
    }
    return values;
}

template <std::size_t N>
std::array<std::uint16_t, N> wrappedTo16Bits(const std::array<long double, N>& values)
{
    std::array<std::uint16_t, N> table{};
    for (std::size_t i = 0; i < N; ++i)
        table[i] = static_cast<std::uint16_t>(std::fmod(values[i], kWordRange));
    return table;
}

template <std::size_t N>
int countAbove(const std::array<long double, N>& values, long double limit)
{
    int count = 0;
    for (long double value : values)
        count += value > limit;
    return count;
}

template <std::size_t N>
std::optional<std::uint16_t> sameValue(const std::array<std::uint16_t, N>& table)
{
    if (std::adjacent_find(table.begin(), table.end(), std::not_equal_to<>()) != table.end())
        return std::nullopt;
    return table[0];
}

} // namespace

bool IsValidScale(double scale)
{
    return std::isfinite(scale) && scale > 0;
}

Scale::Scale(double value) : value_(value)
{
    if (!IsValidScale(value))
        throw RequestError("The scale '" + ShortestDecimalText(value, '.') + "' is not above 0");
}

FmTable BuildFmTable(Scale scale)
{
    return wrappedTo16Bits(fmValues(scale));
}

PsgTable BuildPsgTable(Scale scale)
{
    return wrappedTo16Bits(psgValues(scale));
}

TableFit FmTableFit(Scale scale)
{
    const auto values = fmValues(scale);
    return {countAbove(values, kWordRange - 1), countAbove(values, kFmFieldMax), sameValue(wrappedTo16Bits(values))};
}

TableFit PsgTableFit(Scale scale)
{
    const auto values = psgValues(scale);
    return {countAbove(values, kWordRange - 1), 0, sameValue(wrappedTo16Bits(values))};
}

} // namespace varnoquil
