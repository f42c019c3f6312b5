// SPDX-License-Identifier: MIT
#pragma once

#include "errors.h"
#include "rom/rom.h"

#include <cstdint>
#include <string>

// What kind of dump a file holds, told by its content whatever its name, and
// the plain cartridge image it holds. Only a plain cartridge image may have
// its checksum repaired in place: the checksum word of any other lies
// elsewhere, and writing 0x18E corrupts it.
namespace varnoquil {

enum class RomFormat {
    Bin, // plain cartridge image: "SEGA" at 0x100 (or " SEGA" from 0x100)
    Smd, // interleaved copier dump: a 512-byte copier header, then 16 KiB
         // blocks of the bytes at odd addresses, then those at even ones
    Mgd, // the bytes of a plain image at odd addresses, then those at even ones
    ByteSwapped, // a plain image with the two bytes of every word swapped
    Headerless, // a plain image without the mark, whose start vectors point into it
    MegaCd, // disc image: "SEGADISCSYSTEM" at 0 or 0x10
    Unknown,
};

// "bin", "smd", "mgd", "byte-swapped", "headerless", "mega-cd" or "unknown".
const char* FormatName(RomFormat format);

// True for the formats that hold a plain image in another order (smd, mgd,
// byte-swapped): reports describe that image, and a conversion writes it.
bool HoldsReorderedImage(RomFormat format);

// How many leading bytes detection looks at.
constexpr std::size_t kFormatProbeSize = 512 + 16384;

// What detection looks at: the first bytes of a file (up to
// kFormatProbeSize), the two bytes at its middle + 0x80 (where an MGD dump
// keeps the first and third letter of its image's mark), and its size.
struct FormatProbe {
    a_byte start;
    a_byte middle;
    std::uint64_t size = 0;
};
// Reads a probe from an open file, whose position it leaves at 0.
FormatProbe ProbeFormat(platform::BinaryFile& file);
RomFormat DetectFormat(const FormatProbe& probe);
RomFormat DetectFormat(platform::BinaryFile& file);

// An interleaved dump: a copier header, then blocks of 16 KiB whose first
// half holds the bytes at odd addresses and second half those at even ones.
constexpr std::size_t kCopierHeaderSize = 512;
constexpr std::size_t kInterleavedBlockSize = 16384;

// The size of the plain image a file of a format holds.
std::uint64_t PlainImageSize(RomFormat format, std::uint64_t fileSize);

// Reads the plain image an open file of a format holds, in image order and
// in pieces of up to kReadPiece bytes, and hands each piece to take with the
// image offset of its first byte. When takeStored is given, it gets the
// file's own bytes too, in file order, each piece as it is read and before
// it is reordered, so that a pass can hash both. An MGD dump is read by its
// two halves side by side; the file order needs its second half after its
// first, so that half is read once more (from the page cache) at the end.
void ReadPlainImage(platform::BinaryFile& file, RomFormat format, const PieceTaker& take,
                    const PieceTaker& takeStored = nullptr);

// Writes the plain image that a copier dump, an MGD dump or a byte-swapped
// image holds to a new file, safely (the output takes its name only once
// complete, and never replaces the input). A plain image has nothing to
// convert, and anything else is no dump of a cartridge: both are refused
// with ImageFormatError before anything is written.
void ConvertToPlainImage(const std::string& inFile, const std::string& outFile);

// Raises ImageFormatError("Not a cartridge ROM image") unless the format is
// that of a plain cartridge image, the only kind whose checksum lies at
// 0x18E of the file. Checked before a checksum is written.
void RequireCartridgeFormat(RomFormat format);

} // namespace varnoquil
