// SPDX-License-Identifier: MIT
#pragma once

#include "platform/platform.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace varnoquil {

// Gives ROM images memory that is cheap to fill with a whole file.
template <typename T>
struct ImageAllocator {
    using value_type = T;

    ImageAllocator() = default;
    template <typename U>
    ImageAllocator(const ImageAllocator<U>&) noexcept
    {}

    T* allocate(std::size_t n) { return static_cast<T*>(platform::allocateImageMemory(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { platform::freeImageMemory(p, n * sizeof(T)); }

    template <typename U>
    bool operator==(const ImageAllocator<U>&) const noexcept
    {
        return true;
    }
    template <typename U>
    bool operator!=(const ImageAllocator<U>&) const noexcept
    {
        return false;
    }
};

// A ROM image: the bytes of a cartridge dump, element i at file offset i.
using a_byte = std::vector<std::uint8_t, ImageAllocator<std::uint8_t>>;

// How much of a file the streaming readers read at a time: each piece is
// summed or searched while it is still in the processor's cache.
constexpr std::size_t kReadPiece = 256 << 10;

// Reads a file from an offset to its end in pieces of up to kReadPiece bytes,
// through buffer, and hands each piece to take with the file offset of its
// first byte. A file cut short while it is read fails with "Read beyond end
// of file".
using PieceTaker = std::function<void(const std::uint8_t* piece, std::size_t n, std::uint64_t offset)>;
void ReadInPieces(platform::BinaryFile& file, std::uint64_t from, a_byte& buffer, const PieceTaker& take);

// The cartridge checksum covers the file from here to its end.
constexpr std::uint64_t kChecksumStart = 0x200;
// Where the header stores the checksum, big-endian.
constexpr std::uint64_t kChecksumOffset = 0x18E;

// The two bytes the header stores at kChecksumOffset for a checksum.
std::array<std::uint8_t, 2> ChecksumField(std::uint16_t checksum);

// Adds bytes to a running checksum sum. A byte at an even absolute index is
// the high byte of its word, one at an odd index the low byte; firstIndex is
// the absolute index of data[0]. The 32-bit sum wraps around.
std::uint32_t addToChecksum(std::uint32_t sum, const std::uint8_t* data, std::size_t n, std::uint64_t firstIndex);

// Adds n bytes that lie at a file offset to a cartridge checksum sum, which
// covers 0x200..end: bytes below 0x200 are left out.
std::uint32_t addToCartridgeChecksum(std::uint32_t sum, const std::uint8_t* data, std::size_t n, std::uint64_t offset);

// A cartridge checksum sum changed for n bytes at a file offset that change
// from before to after.
std::uint32_t replaceInChecksum(std::uint32_t sum, std::uint64_t offset, const std::uint8_t* before,
                                const std::uint8_t* after, std::size_t n);

// The checksum sum of image[first..last], both inclusive; 0 when last < first.
// Callers keep the low 16 bits.
std::uint32_t checksumRange(const a_byte& image, std::int64_t first, std::int64_t last);

// The cartridge header record. Text fields hold their bytes exactly as they
// stand in the file, zero bytes included.
struct iSMD_ {
    std::string Platform;
    std::string Copyright;
    std::string DomesticName;
    std::string OverseasName;
    std::string RomType;
    std::string Version;
    std::uint16_t HeaderCrc = 0;
    std::uint16_t FileCrc = 0;
    std::string IoDevices;
    std::uint32_t RomStart = 0;
    std::uint32_t RomEnd = 0;
    std::int32_t RomSize = 0;
    std::string Modem;
    std::string Memo;
    std::string Country;
};

// Reads the header of a ROM image file into info and computes its checksum.
// info is cleared first and filled field by field, so after an I/O error it
// holds what was read before the failure. The data after the header is read
// in bounded chunks, whatever the file's size.
void ReadHeader(const std::string& fileName, iSMD_& info);

// The I/O devices whose letters the header's device field holds, in the
// device table's order whatever the order of the letters ("3-button joypad").
std::vector<std::string> SupportedDevices(const std::string& ioDevices);

// The information text shown for a header: CR LF line breaks, text fields raw.
// Like the label that shows it, the text ends at a zero byte inside a field,
// and the next part is appended right after what is left.
std::string InformationText(const iSMD_& info);

// Writes a checksum into the header of a ROM image file, in place.
void WriteChecksum(const std::string& fileName, std::uint16_t checksum);

// Raises RequestError, about the output, when both paths name the same
// file: a command that writes a new image never replaces its input.
void RequireOutputIsNotInput(const std::string& inFile, const std::string& outFile);

} // namespace varnoquil
