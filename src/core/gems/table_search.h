// SPDX-License-Identifier: MIT
#pragma once

#include "gems/pitch_tables.h"
#include "rom/rom.h"

#include <cstdint>
#include <optional>
#include <vector>

// The search for the GEMS pitch tables in a ROM image: by their standard
// content, the tables for scale 1.0, at any byte offset, entries
// little-endian. PSG low bytes match within 1 (no wrap-around); every other
// byte must be equal.
namespace varnoquil {

// The offset of the first match in data[0..n), or -1.
std::int64_t FindFmTable(const std::uint8_t* data, std::size_t n);
std::int64_t FindPsgTable(const std::uint8_t* data, std::size_t n);

// Every offset where the scale-1.0 tables match, by the same rules, in
// increasing order (the places a scan reports), for an image that arrives
// piece by piece in file order. Only the last bytes of earlier pieces are
// kept, so memory does not grow with the image.
class AllTableMatches {
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

// A table replaced in an image: where it lies, and its bytes before and after.
struct TablePatch {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

// Finds the tables that Fix GEMS replaces, in an image that arrives piece by
// piece, in file order: the first FM match, then the first PSG match in the
// image as the FM replacement leaves it (the two may overlap), which is where
// replacing the whole image's first FM table, then its first PSG table,
// would put them. Only the last few bytes of earlier pieces are kept, so
// memory does not grow with the image.
class ReplacementSearch {
public:
    // window is the memory the pieces are placed in, reused between
    // searches; it is resized to hold a piece and the bytes kept before it.
    ReplacementSearch(const Scales& scales, a_byte& window, std::size_t pieceSize);

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

} // namespace varnoquil
