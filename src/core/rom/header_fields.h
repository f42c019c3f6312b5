// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The fields of the cartridge header: where each lies in the file and how
// many bytes it takes. The window's information text and the decoded reports
// read the header through this one table.
namespace varnoquil {

// The header lies at file offsets 0x100 to 0x1FF.
constexpr std::size_t kHeaderStart = 0x100;
constexpr std::size_t kHeaderSize = 0x100;

struct HeaderField {
    std::size_t offset; // in the file
    std::size_t size;
};

namespace HeaderFields {
constexpr HeaderField Platform{0x100, 16};
constexpr HeaderField Copyright{0x110, 16};
constexpr HeaderField DomesticName{0x120, 48};
constexpr HeaderField OverseasName{0x150, 48};
constexpr HeaderField RomType{0x180, 2};
constexpr HeaderField Serial{0x180, 14}; // type, serial number and version
constexpr HeaderField Version{0x182, 11}; // 0x18D is not part of it
constexpr HeaderField Checksum{0x18E, 2};
constexpr HeaderField IoDevices{0x190, 16};
constexpr HeaderField RomStart{0x1A0, 4};
constexpr HeaderField RomEnd{0x1A4, 4};
constexpr HeaderField RamStart{0x1A8, 4};
constexpr HeaderField RamEnd{0x1AC, 4};
constexpr HeaderField BackupMark{0x1B0, 2}; // "RA" when there is backup memory
constexpr HeaderField BackupFlags{0x1B2, 1};
constexpr HeaderField BackupKind{0x1B3, 1};
constexpr HeaderField BackupStart{0x1B4, 4};
constexpr HeaderField BackupEnd{0x1B8, 4};
constexpr HeaderField Modem{0x1BC, 12};
constexpr HeaderField Memo{0x1C8, 40};
constexpr HeaderField Country{0x1F0, 16};
} // namespace HeaderFields

// A field's bytes, from the header's 256 bytes.
inline std::string FieldBytes(const std::uint8_t* header, HeaderField field)
{
    return std::string(reinterpret_cast<const char*>(header + field.offset - kHeaderStart), field.size);
}

// Up to 4 bytes as a big-endian number, as the 68000 stores them.
inline std::uint32_t BigEndianNumber(const std::uint8_t* bytes, std::size_t n)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < n; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// A field of up to 4 bytes as a big-endian number.
inline std::uint32_t FieldNumber(const std::uint8_t* header, HeaderField field)
{
    return BigEndianNumber(header + field.offset - kHeaderStart, field.size);
}

} // namespace varnoquil
