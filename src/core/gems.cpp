#include "gems.h"

#include "errors.h"

#include <cmath>
#include <cstring>

namespace varnoquil {

namespace {

// C4 to C5 in hertz (A = 440), rounded to two decimals.
constexpr std::array<double, 13> kNoteHz = {261.63, 277.18, 293.66, 311.13, 329.63, 349.23, 369.99,
                                            392.0,  415.3,  440.0,  466.16, 493.88, 523.25};

// floor(x + 0.5), kept to its low 16 bits. x is finite and not negative.
std::uint16_t roundHalfUpWrapped(long double x)
{
    return static_cast<std::uint16_t>(std::fmod(std::floor(x + 0.5L), 65536.0L));
}

template <std::size_t N>
std::array<std::uint8_t, 2 * N> littleEndianBytes(const std::array<std::uint16_t, N>& table)
{
    std::array<std::uint8_t, 2 * N> bytes {};
    for (std::size_t i = 0; i < N; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(table[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(table[i] >> 8);
    }
    return bytes;
}

template <std::size_t N>
void writeTable(a_byte& image, std::int64_t at, const std::array<std::uint16_t, N>& table)
{
    const auto bytes = littleEndianBytes(table);
    std::memcpy(image.data() + at, bytes.data(), bytes.size());
}

// A PSG candidate matches when every high byte is equal and every low byte
// differs by at most 1.
bool psgMatchesAt(const std::uint8_t* at, const std::array<std::uint8_t, 128>& pattern)
{
    for (std::size_t i = 0; i < pattern.size(); i += 2) {
        const int low = at[i] - pattern[i];
        if (low < -1 || low > 1 || at[i + 1] != pattern[i + 1])
            return false;
    }
    return true;
}

} // namespace

void RequirePositiveScale(double scale)
{
    if (!(std::isfinite(scale) && scale > 0))
        throw RequestError("The scale must be a number greater than 0");
}

FmTable BuildFmTable(double scale)
{
    RequirePositiveScale(scale);
    FmTable table {};
    for (std::size_t i = 0; i < table.size(); ++i) {
        long double x = 144.0L * kNoteHz[i];
        x = x * scale;
        x = x * 1024;
        x = x * 128;
        x = x / 7670000;
        table[i] = roundHalfUpWrapped(x);
    }
    return table;
}

PsgTable BuildPsgTable(double scale)
{
    RequirePositiveScale(scale);
    PsgTable table {};
    int note = 9;
    int octave = -2;
    for (std::uint16_t& entry : table) {
        const long double p = std::pow(2.0L, static_cast<long double>(octave));
        long double d = 32.0L * kNoteHz[note];
        d = d * scale;
        d = p * d;
        entry = roundHalfUpWrapped(3579545.0L / d);
        if (++note == 12) {
            note = 0;
            ++octave;
        }
    }
    return table;
}

std::int64_t FindFmTable(const a_byte& image)
{
    static const auto pattern = littleEndianBytes(BuildFmTable(1.0));
    const std::uint8_t* begin = image.data();
    if (image.size() < pattern.size())
        return -1;
    // Candidates are the places of the pattern's first byte, in order.
    const std::uint8_t* const lastStart = begin + image.size() - pattern.size();
    for (const std::uint8_t* at = begin; at <= lastStart; ++at) {
        at = static_cast<const std::uint8_t*>(std::memchr(at, pattern[0], lastStart - at + 1));
        if (!at)
            return -1;
        if (std::memcmp(at, pattern.data(), pattern.size()) == 0)
            return at - begin;
    }
    return -1;
}

std::int64_t FindPsgTable(const a_byte& image)
{
    static const auto pattern = littleEndianBytes(BuildPsgTable(1.0));
    const std::uint8_t* begin = image.data();
    if (image.size() < pattern.size())
        return -1;
    // The first high byte must match exactly, so candidates are the places of
    // that byte, one before it.
    const std::uint8_t* const lastStart = begin + image.size() - pattern.size();
    for (const std::uint8_t* high = begin + 1; high <= lastStart + 1; ++high) {
        high = static_cast<const std::uint8_t*>(std::memchr(high, pattern[1], lastStart + 1 - high + 1));
        if (!high)
            return -1;
        if (psgMatchesAt(high - 1, pattern))
            return high - 1 - begin;
    }
    return -1;
}

bool FixFmTable(a_byte& image, double scale)
{
    const FmTable replacement = BuildFmTable(scale);
    const std::int64_t at = FindFmTable(image);
    if (at < 0)
        return false;
    writeTable(image, at, replacement);
    return true;
}

bool FixPsgTable(a_byte& image, double scale)
{
    const PsgTable replacement = BuildPsgTable(scale);
    const std::int64_t at = FindPsgTable(image);
    if (at < 0)
        return false;
    writeTable(image, at, replacement);
    return true;
}

} // namespace varnoquil
