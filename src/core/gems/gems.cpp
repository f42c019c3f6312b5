// SPDX-License-Identifier: MIT
#include "gems/gems.h"

#include "errors.h"
#include "vector_clones.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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
std::array<long double, 13> fmValues(double scale)
{
    RequirePositiveScale(scale);
    std::array<long double, 13> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        long double x = kFmPrescaler * kNoteHz[i];
        x = x * scale;
        x = x * kFmBlock4Steps;
        x = x / kFmClockHz;
        values[i] = roundHalfUp(x);
    }
    return values;
}

std::array<long double, 64> psgValues(double scale)
{
    RequirePositiveScale(scale);
    std::array<long double, 64> values{};
    std::size_t note = 9;
    int octave = -2;
    for (long double& value : values) {
        const long double p = std::pow(2.0L, static_cast<long double>(octave));
        long double d = kPsgPrescaler * kNoteHz[note];
        d = d * scale;
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

template <std::size_t N>
void writeTable(a_byte& image, std::int64_t at, const std::array<std::uint16_t, N>& table)
{
    const auto bytes = TableBytes(table);
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
    if (!IsValidScale(scale))
        throw RequestError("The scale must be a number greater than 0");
}

FmTable BuildFmTable(double scale)
{
    return wrappedTo16Bits(fmValues(scale));
}

PsgTable BuildPsgTable(double scale)
{
    return wrappedTo16Bits(psgValues(scale));
}

TableFit FmTableFit(double scale)
{
    const auto values = fmValues(scale);
    return {countAbove(values, kWordRange - 1), countAbove(values, kFmFieldMax), sameValue(wrappedTo16Bits(values))};
}

TableFit PsgTableFit(double scale)
{
    const auto values = psgValues(scale);
    return {countAbove(values, kWordRange - 1), 0, sameValue(wrappedTo16Bits(values))};
}

namespace {

// The first i below count at which first[i] == x and second[i] == y, or count.
// Blocks of candidates are ruled out at once by a loop the compiler turns
// into vector code; a block with a hit is then walked byte by byte.
VARNOQUIL_VECTOR_CLONES
std::size_t firstPair(const std::uint8_t* first, std::uint8_t x, const std::uint8_t* second, std::uint8_t y,
                      std::size_t count)
{
    constexpr std::size_t kBlock = 256;
    std::size_t i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        std::uint8_t least = 0xFF; // 0 where both bytes match
        for (std::size_t k = 0; k < kBlock; ++k)
            least = std::min<std::uint8_t>(least, (first[i + k] ^ x) | (second[i + k] ^ y));
        if (least == 0)
            break;
    }
    for (; i < count; ++i)
        if (first[i] == x && second[i] == y)
            return i;
    return count;
}

// The offset of the first match of a pattern in data[0..n), or -1.
// Candidates are the places where the two bytes at keyA and keyB of the
// pattern, which a match holds exactly, stand; matches() decides the rest.
template <std::size_t N, typename Matches>
std::int64_t findFirst(const std::uint8_t* data, std::size_t n, const std::array<std::uint8_t, N>& pattern,
                       std::size_t keyA, std::size_t keyB, Matches matches)
{
    if (n < N)
        return -1;
    const std::size_t candidates = n - N + 1;
    for (std::size_t at = 0; at < candidates; ++at) {
        at += firstPair(data + at + keyA, pattern[keyA], data + at + keyB, pattern[keyB], candidates - at);
        if (at == candidates)
            return -1;
        if (matches(data + at))
            return static_cast<std::int64_t>(at);
    }
    return -1;
}

const std::array<std::uint8_t, 26>& fmPattern()
{
    static const auto pattern = TableBytes(BuildFmTable(1.0));
    return pattern;
}

const std::array<std::uint8_t, 128>& psgPattern()
{
    static const auto pattern = TableBytes(BuildPsgTable(1.0));
    return pattern;
}

} // namespace

std::int64_t FindFmTable(const std::uint8_t* data, std::size_t n)
{
    const auto& pattern = fmPattern();
    return findFirst(data, n, pattern, 0, 1,
                     [&](const std::uint8_t* at) { return std::memcmp(at, pattern.data(), pattern.size()) == 0; });
}

std::int64_t FindPsgTable(const std::uint8_t* data, std::size_t n)
{
    // The high bytes must match exactly, so the first two are the keys.
    const auto& pattern = psgPattern();
    return findFirst(data, n, pattern, 1, 3, [&](const std::uint8_t* at) { return psgMatchesAt(at, pattern); });
}

std::int64_t FindFmTable(const a_byte& image)
{
    return FindFmTable(image.data(), image.size());
}

std::int64_t FindPsgTable(const a_byte& image)
{
    return FindPsgTable(image.data(), image.size());
}

namespace {

using Find = std::int64_t (*)(const std::uint8_t*, std::size_t);

// Appends every offset where find matches in data[0..n), in increasing
// order; base is the image offset of data[0].
void appendMatches(const std::uint8_t* data, std::size_t n, std::uint64_t base, Find find,
                   std::vector<std::int64_t>& offsets)
{
    std::size_t from = 0;
    for (std::int64_t at; (at = find(data + from, n - from)) >= 0;) {
        offsets.push_back(static_cast<std::int64_t>(base + from) + at);
        from += static_cast<std::size_t>(at) + 1;
    }
}

} // namespace

void TableMatches::add(const std::uint8_t* data, std::size_t n)
{
    fm_.add(data, n, FindFmTable);
    psg_.add(data, n, FindPsgTable);
}

void TableMatches::Table::add(const std::uint8_t* data, std::size_t n,
                              std::int64_t (*find)(const std::uint8_t*, std::size_t))
{
    window.insert(window.end(), data, data + n);
    appendMatches(window.data(), window.size(), start, find, offsets);
    // A match that begins in the kept bytes ends in a later piece, so none is
    // found twice.
    const std::size_t keep = std::min(window.size(), size - 1);
    start += window.size() - keep;
    window.erase(window.begin(), window.end() - static_cast<std::ptrdiff_t>(keep));
}

namespace {

// Writes the table where a search found the old one; false when none was.
template <std::size_t N>
bool replaceFound(a_byte& image, std::int64_t at, const std::array<std::uint16_t, N>& replacement)
{
    if (at < 0)
        return false;
    writeTable(image, at, replacement);
    return true;
}

} // namespace

bool IsValidScale(double scale)
{
    return std::isfinite(scale) && scale > 0;
}

bool FixFmTable(a_byte& image, double scale)
{
    const FmTable replacement = BuildFmTable(scale);
    return replaceFound(image, FindFmTable(image), replacement);
}

bool FixPsgTable(a_byte& image, double scale)
{
    const PsgTable replacement = BuildPsgTable(scale);
    return replaceFound(image, FindPsgTable(image), replacement);
}

namespace {

constexpr std::size_t kFmSize = 2 * std::tuple_size_v<FmTable>;
constexpr std::size_t kPsgSize = 2 * std::tuple_size_v<PsgTable>;
// A PSG candidate is only tried once every FM candidate that overlaps it has
// been, so the PSG search trails the FM search by this much; and every byte
// from the earliest candidate not yet tried must be kept.
constexpr std::size_t kPsgLag = kFmSize - 1;
constexpr std::size_t kMostKept = kPsgSize - 1 + kPsgLag;

template <std::size_t N>
TablePatch patchAt(std::uint64_t offset, const std::uint8_t* current, const std::array<std::uint16_t, N>& table)
{
    const auto bytes = TableBytes(table);
    return TablePatch{offset, std::vector<std::uint8_t>(current, current + bytes.size()),
                      std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

} // namespace

TableSearch::TableSearch(double fmScale, double psgScale, a_byte& window, std::size_t pieceSize)
    : fmReplacement_(BuildFmTable(fmScale)), psgReplacement_(BuildPsgTable(psgScale)), window_(window)
{
    window_.resize(kMostKept + pieceSize);
}

void TableSearch::add(std::size_t n, bool last)
{
    const std::uint64_t end = windowStart_ + kept_ + n;
    searchFm(end);
    // Once the FM search is over, no later FM match can change a PSG
    // candidate; until then the PSG search trails it.
    searchPsg(fm_ || last || end < kPsgLag ? end : end - kPsgLag);
    keepUnsearchedBytes(end);
}

std::optional<std::uint64_t> TableSearch::tryCandidates(std::uint64_t& next, std::size_t size, std::uint64_t end,
                                                        std::int64_t (*find)(const std::uint8_t*, std::size_t))
{
    if (end < next + size)
        return std::nullopt;
    const std::int64_t found = find(at(next), end - next);
    if (found < 0) {
        next = end - size + 1;
        return std::nullopt;
    }
    return next + static_cast<std::uint64_t>(found);
}

void TableSearch::searchFm(std::uint64_t end)
{
    if (fm_)
        return;
    if (const auto offset = tryCandidates(fmNext_, kFmSize, end, FindFmTable)) {
        fm_ = patchAt(*offset, at(*offset), fmReplacement_);
        // The PSG search must see the bytes as the replacement leaves them.
        std::copy(fm_->after.begin(), fm_->after.end(), at(*offset));
    }
}

void TableSearch::searchPsg(std::uint64_t end)
{
    if (psg_)
        return;
    if (const auto offset = tryCandidates(psgNext_, kPsgSize, end, FindPsgTable))
        psg_ = patchAt(*offset, at(*offset), psgReplacement_);
}

void TableSearch::keepUnsearchedBytes(std::uint64_t end)
{
    std::uint64_t keepFrom = end;
    if (!fm_)
        keepFrom = std::min(keepFrom, fmNext_);
    if (!psg_)
        keepFrom = std::min(keepFrom, psgNext_);
    kept_ = static_cast<std::size_t>(end - keepFrom);
    std::memmove(window_.data(), at(keepFrom), kept_);
    windowStart_ = keepFrom;
}

} // namespace varnoquil
