// SPDX-License-Identifier: MIT
#pragma once

#include "rom/header_fields.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The cartridge header decoded for people and scripts: texts trimmed and
// turned into UTF-8, addresses as numbers, regions and devices by name. The
// window's information text shows the raw bytes instead (rom.h).
namespace varnoquil {

struct AddressRange {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    // A range whose end comes before its start is no range.
    bool valid() const { return end >= start; }
    // end - start + 1; none for a range that is not valid.
    std::optional<std::int64_t> size() const
    {
        return valid() ? std::optional<std::int64_t>(std::int64_t(end) - std::int64_t(start) + 1) : std::nullopt;
    }
};

// The backup memory that a header announces with "RA" at 0x1B0.
struct BackupMemory {
    std::string type; // the two bytes after "RA", as four hexadecimal digits ("F820")
    std::string kind; // "sram-odd", "sram-even", "sram-both" or "eeprom"
    AddressRange range;
};

struct DecodedHeader {
    std::string system; // "mega-drive", "32x", "pico" or "teradrive", from the platform text
    // What a cartridge brings besides the console: "32x-security-code",
    // "sega-mapper", and the backup memory's kind.
    std::vector<std::string> hardware;
    std::string platform;
    std::string copyright;
    std::string domesticName;
    std::string overseasName;
    std::string serial; // 0x180 to 0x18D: type, serial number and version
    std::string memo;
    std::string country;
    std::uint16_t storedChecksum = 0;
    AddressRange rom;
    AddressRange ram;
    std::optional<BackupMemory> backup;
    std::vector<std::string> regions;
    std::vector<std::string> devices;
    std::string headerHex; // the 256 header bytes, upper-case hexadecimal
};

// Decodes the header of an image whose first n bytes (at least 0x200) are
// given, from offset 0: its 256 header bytes, and the code the 32X checks
// at 0x3F0 when the image holds it.
DecodedHeader DecodeHeader(const std::uint8_t* image, std::size_t n);

// A header text as UTF-8: trailing blanks and zero bytes dropped; printable
// ASCII kept as it is; otherwise read as Shift_JIS (Japanese names) when the
// bytes are valid Shift_JIS, else every byte above 0x7F becomes U+FFFD.
std::string DecodeHeaderText(std::string bytes);

// The regions a country field names, in the order Japan, Americas, Europe,
// Asia. Some headers name one region in a word ("EUR", "Europe", "JAP",
// "USA"); most list letters (J, U, E); newer ones hold one upper-case
// hexadecimal digit whose bits are Japan (1), Asia (2), Americas (4) and
// Europe (8). Anything else names no region.
std::vector<std::string> RegionsOf(const std::string& country);

} // namespace varnoquil
