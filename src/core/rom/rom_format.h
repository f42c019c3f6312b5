// SPDX-License-Identifier: MIT
#pragma once

#include "errors.h"
#include "rom/rom.h"

#include <cstdint>
#include <string>

// What kind of dump a file holds. Only a plain cartridge image may have its
// checksum repaired in place: the checksum word of an interleaved copier dump
// or of a disc image lies elsewhere, and writing 0x18E corrupts them.
namespace varnoquil {

enum class RomFormat {
    Bin, // plain cartridge image: "SEGA" at 0x100 (or " SEGA" from 0x100)
    Smd, // interleaved copier dump: a 512-byte copier header, then 16 KiB blocks
    MegaCd, // disc image: "SEGADISCSYSTEM" at 0 or 0x10
    Unknown,
};

// "bin", "smd", "mega-cd" or "unknown".
const char* FormatName(RomFormat format);

// How many leading bytes DetectFormat needs to tell every format apart.
constexpr std::size_t kFormatProbeSize = 512 + 16384;

// Tells the format from the first bytes of a file (up to kFormatProbeSize
// of them) and the file's whole size.
RomFormat DetectFormat(const std::uint8_t* start, std::size_t n, std::uint64_t fileSize);
// The same for an open file, whose position it leaves at 0.
RomFormat DetectFormat(platform::BinaryFile& file);

// An interleaved dump: a copier header, then blocks of 16 KiB whose first
// half holds the bytes at odd addresses and second half those at even ones.
constexpr std::size_t kCopierHeaderSize = 512;
constexpr std::size_t kInterleavedBlockSize = 16384;

// Weaves whole blocks of an interleaved dump back into plain bytes: n, the
// size of both, is a multiple of the block size.
void WeaveBlocks(const std::uint8_t* blocks, std::size_t n, std::uint8_t* plain);

// The plain image of an interleaved dump: the copier header dropped, and in
// each 16 KiB block the odd-address half and the even-address half woven
// back together. The size must be 512 plus a multiple of 16 KiB.
a_byte Deinterleave(const a_byte& dump);

// Writes the plain image of an interleaved dump to a new file, safely (the
// output takes its name only once complete, and never replaces the input).
// Anything but an interleaved dump is refused with ImageFormatError.
void DeinterleaveFile(const std::string& inFile, const std::string& outFile);

// Raises ImageFormatError("Not a cartridge ROM image") unless the format is
// that of a plain cartridge image, the only kind whose checksum lies at
// 0x18E of the file. Checked before a checksum is written.
void RequireCartridgeFormat(RomFormat format);

} // namespace varnoquil
