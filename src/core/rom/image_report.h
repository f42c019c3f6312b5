// SPDX-License-Identifier: MIT
#pragma once

#include "identify/hashes.h"
#include "rom/rom_format.h"
#include "rom/rom_header.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Everything the program can tell about one image file, for reports. A dump
// that holds a plain image in another order (a copier dump, an MGD dump, a
// byte-swapped image) is described by that image: its header, checksums and
// tables are those of the plain cartridge it holds.
namespace varnoquil {

// What DATs know an image by: its size and hashes, and the plain image's
// when the file is a dump that holds one in another order.
struct ImageHashes {
    std::uint64_t fileSize = 0;
    std::uint64_t imageSize = 0;
    std::optional<FileHashes> hashes;
    std::optional<FileHashes> plainHashes;
};

struct ImageReport {
    std::uint64_t fileSize = 0;
    RomFormat format = RomFormat::Unknown;
    std::uint64_t imageSize = 0; // the plain image's size
    DecodedHeader header;
    std::uint16_t computedChecksum = 0; // the window's sum from 0x200 to the end
    // The sum from 0x200 to the ROM's end as the header states it, when that
    // is not the image's end (an overdump, a padded or trimmed image, the
    // mapper's 4 MiB of a larger one); the bytes the image holds count.
    std::optional<std::uint16_t> computedRomRangeChecksum;
    std::vector<std::int64_t> fmTables;
    std::vector<std::int64_t> psgTables;
    // When asked for: the hashes of the file as it is stored, and, for a dump
    // that holds a plain image in another order, those of that image.
    std::optional<FileHashes> hashes;
    std::optional<FileHashes> plainHashes;

    // "mega-drive", "32x", "pico" or "teradrive"; none for a file whose
    // format is unknown or which has no header.
    std::optional<std::string> system() const;
    bool checksumEqual() const { return header.storedChecksum == computedChecksum; }
    bool headerSizeMatchesFile() const { return header.rom.size() == static_cast<std::int64_t>(imageSize); }
    ImageHashes identity() const { return {fileSize, imageSize, hashes, plainHashes}; }
};

// Reads a file once, piece by piece, for the hashes asked for of the file
// and of the plain image it holds; a file of any size.
ImageHashes HashImage(const std::string& fileName, const HashKinds& hashes);

// Reads the whole file, piece by piece, so that memory does not grow with
// it, and computes the hashes asked for in the same pass. One shorter than a
// header (512 bytes) fails with "Read beyond end of file", as the header read
// does.
ImageReport ReportImage(const std::string& fileName, const HashKinds& hashes = {});

} // namespace varnoquil
