// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The cartridge header decoded for people and scripts: texts trimmed and
// turned into UTF-8, addresses as numbers, regions and devices by name. The
// window's information text shows the raw bytes instead (rom.h).
namespace varnoquil {

constexpr std::size_t kHeaderStart = 0x100;
constexpr std::size_t kHeaderSize = 0x100;

struct AddressRange {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    // end - start + 1, without wrapping: 0 or less when end < start.
    std::int64_t size() const { return std::int64_t(end) - std::int64_t(start) + 1; }
};

// The battery-backed save memory that a header announces with "RA" at 0x1B0.
struct SaveRam {
    std::string type; // the two bytes after "RA", as four hexadecimal digits ("F820")
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

struct DecodedHeader {
    std::string system; // "mega-drive", "32x" or "pico", from the platform text
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
    std::optional<SaveRam> sram;
    std::vector<std::string> regions;
    std::vector<std::string> devices;
    std::string headerHex; // the 256 header bytes, upper-case hexadecimal
};

// Decodes the 256 header bytes (file offsets 0x100 to 0x1FF).
DecodedHeader DecodeHeader(const std::uint8_t* header);

// A header text as UTF-8: trailing blanks and zero bytes dropped; printable
// ASCII kept as it is; otherwise read as Shift_JIS (Japanese names) when the
// bytes are valid Shift_JIS, else every byte above 0x7F becomes U+FFFD.
std::string DecodeHeaderText(std::string bytes);

// The regions a country field names, in the order Japan, Americas, Europe,
// Asia. Old headers list letters (J, U, E); newer ones hold one hexadecimal
// digit whose bits are Japan (1), Asia (2), Americas (4) and Europe (8).
std::vector<std::string> RegionsOf(const std::string& country);

} // namespace varnoquil
