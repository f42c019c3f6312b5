// SPDX-License-Identifier: MIT
#pragma once

#include "rom/rom.h"

#include <cstdint>
#include <string>

// Synthetic ROM images for the benchmarks and the performance script: a
// plausible cartridge header followed by deterministic pseudo-random bytes.
namespace varnoquil::bench {

// An image of the given size (at least 0x200 bytes) holding a header and
// pseudo-random filler from seed. The filler is checked not to contain the
// scale-1.0 FM or PSG table, so a search only finds tables placed on purpose.
a_byte MakeImage(std::size_t size, std::uint64_t seed);

// Where PlaceTables puts the scale-1.0 tables: near the end of the image, so
// that a search has to scan nearly all of it.
std::size_t FmTableOffset(const a_byte& image);
std::size_t PsgTableOffset(const a_byte& image);

// Writes the scale-1.0 FM and PSG tables (little-endian) at the offsets above.
void PlaceTables(a_byte& image);

// Stores the image's own checksum in its header.
void StoreChecksum(a_byte& image);

// Writes an image to a file, replacing it; throws std::runtime_error on failure.
void WriteFile(const std::string& path, const a_byte& image);

} // namespace varnoquil::bench
