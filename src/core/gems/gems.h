// SPDX-License-Identifier: MIT
#pragma once

#include "rom/rom.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

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

// Every offset where the scale-1.0 tables match, by the same rules, in
// increasing order (the places a scan reports), for an image that arrives
// piece by piece in file order. Only the last bytes of earlier pieces are
// kept, so memory does not grow with the image.
class TableMatches {
public:
    void add(const std::uint8_t* data, std::size_t n);
    const std::vector<std::int64_t>& fm() const { return fm_.offsets; }
    const std::vector<std::int64_t>& psg() const { return psg_.offsets; }

private:
    struct Table {
        explicit Table(std::size_t tableSize) : size(tableSize) {}
        std::size_t size; // of the table in bytes
        std::vector<std::uint8_t> window;
        std::uint64_t start = 0; // the image offset of window[0]
        std::vector<std::int64_t> offsets;
        void add(const std::uint8_t* data, std::size_t n, std::int64_t (*find)(const std::uint8_t*, std::size_t));
    };
    Table fm_ = Table(2 * std::tuple_size_v<FmTable>);
    Table psg_ = Table(2 * std::tuple_size_v<PsgTable>);
};

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
TableFit FmTableFit(double scale);
TableFit PsgTableFit(double scale);

// A table replaced in an image: where it lies, and its bytes before and after.
struct TablePatch {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

// Finds the tables in an image that arrives piece by piece, in file order,
// exactly where FixFmTable followed by FixPsgTable would replace them in the
// whole image: the first FM match, then the first PSG match in the image as
// the FM replacement leaves it (the two may overlap). Only the last few
// bytes of earlier pieces are kept, so memory does not grow with the image.
class TableSearch {
public:
    // window is the memory the pieces are placed in, reused between
    // searches; it is resized to hold a piece and the bytes kept before it.
    TableSearch(double fmScale, double psgScale, a_byte& window, std::size_t pieceSize);

    // Where the next piece goes: room for pieceSize bytes.
    std::uint8_t* nextPiece() { return window_.data() + kept_; }
    // Searches the n bytes just placed at nextPiece(); last tells that the
    // image ends with them. After the last piece nothing more may be added.
    void add(std::size_t n, bool last);

    const std::optional<TablePatch>& fm() const { return fm_; }
    const std::optional<TablePatch>& psg() const { return psg_; }

private:
    // Tries the candidates of a table of size bytes from next to the last
    // that ends by end, and moves next past them. Returns the first match.
    std::optional<std::uint64_t> tryCandidates(std::uint64_t& next, std::size_t size, std::uint64_t end,
                                               std::int64_t (*find)(const std::uint8_t*, std::size_t));
    void searchFm(std::uint64_t end);
    void searchPsg(std::uint64_t end);
    void keepUnsearchedBytes(std::uint64_t end);
    std::uint8_t* at(std::uint64_t offset) { return window_.data() + (offset - windowStart_); }

    FmTable fmReplacement_;
    PsgTable psgReplacement_;
    a_byte& window_;
    std::uint64_t windowStart_ = 0; // the image offset of window_[0]
    std::size_t kept_ = 0; // bytes of earlier pieces at the window's start
    std::uint64_t fmNext_ = 0; // the first FM candidate not yet tried
    std::uint64_t psgNext_ = 0; // the same for the PSG table
    std::optional<TablePatch> fm_;
    std::optional<TablePatch> psg_;
};

// A pitch scale is a finite number above 0.
bool IsValidScale(double scale);
// Throws RequestError unless the scale is valid.
void RequirePositiveScale(double scale);

} // namespace varnoquil
