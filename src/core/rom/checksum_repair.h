// SPDX-License-Identifier: MIT
#pragma once

#include "identify/dat_index.h"
#include "identify/hashes.h"
#include "rom/rom_format.h"

#include <cstdint>
#include <string>

// The checksum repair: the sum of an image written into its header, in
// place, where the two differ.
namespace varnoquil {

// What a repair decides on: the file's format and size, and the checksum
// its header stores at 0x18E and the one its bytes sum to from 0x200 to the
// end.
struct ChecksumFacts {
    RomFormat format = RomFormat::Unknown;
    std::uint64_t fileSize = 0;
    std::uint16_t stored = 0;
    std::uint16_t computed = 0;
    FileHashes hashes; // of the file, those asked for
};

// Reads a file once for its checksum facts, and the hashes asked for.
ChecksumFacts ReadChecksumFacts(const std::string& fileName, const HashKinds& hashes = {});

// The checksums read before a repair, and whether it wrote the computed one.
struct ChecksumRepair {
    std::uint16_t stored = 0;
    std::uint16_t computed = 0;
    bool written = false;
};

// Repairs the checksum of a file whose facts were read: writes the computed
// checksum into the header when it differs from the stored one. Only a plain
// cartridge image is repaired ("Not a cartridge ROM image"); force lets any
// other file through but a dump that holds a plain image in another order
// (a copier dump, an MGD dump, a byte-swapped image), whose checksum lies in
// that image, so that a write at 0x18E would damage the dump and leave the
// checksum as wrong. A file shorter than a header (512
// bytes) then fails with "Read beyond end of file", as the header read does.
// With DATs, a repair that would change an image one of them lists is
// refused unless forced (see RequireUnlisted); the facts must then hold the
// hashes of kDatHashes.
ChecksumRepair RepairChecksum(const std::string& fileName, const ChecksumFacts& facts, bool force,
                              const DatIndex* dats = nullptr);
// The same, reading the facts first.
ChecksumRepair RepairChecksum(const std::string& fileName, bool force, const DatIndex* dats = nullptr);

} // namespace varnoquil
