// SPDX-License-Identifier: MIT
#include "rom/rom_header.h"

#include "platform/platform.h"
#include "rom/rom.h"
#include "text.h"

#include <cctype>
#include <cstring>

namespace varnoquil {

namespace {

AddressRange rangeOf(const std::uint8_t* header, HeaderField start, HeaderField end)
{
    return {FieldNumber(header, start), FieldNumber(header, end)};
}

std::string upperHex(const std::uint8_t* bytes, std::size_t n)
{
    return UpperAscii(HexText(bytes, n));
}

bool isPrintableAscii(const std::string& text)
{
    for (const char byte : text)
        if (const auto c = static_cast<unsigned char>(byte); c < 0x20 || c > 0x7E)
            return false;
    return true;
}

std::string replaceHighBytes(const std::string& bytes)
{
    std::string text;
    for (char c : bytes)
        text += static_cast<unsigned char>(c) > 0x7F ? std::string("\xEF\xBF\xBD") : std::string(1, c);
    return text;
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// The Pico's platform texts name it in more than one way: Sega's, Samsung's,
// and the Japanese educational series'.
std::string systemOf(const std::string& platform)
{
    const std::string name = UpperAscii(platform);
    if (contains(name, "32X"))
        return "32x";
    if (contains(name, "PICO") || contains(name, "IMA IKUNOUJYUKU"))
        return "pico";
    if (contains(name, "TERA"))
        return "teradrive";
    return "mega-drive";
}

// The first 16 bytes of the code every 32X cartridge holds at 0x3F0: the 32X
// compares it with its own copy before it starts the cartridge.
constexpr std::uint8_t kMarsSecurityCode[]
    = {0x28, 0x7C, 0xFF, 0xFF, 0xFF, 0xC0, 0x23, 0xFC, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA1, 0x51, 0x28};
constexpr std::size_t kMarsSecurityCodeAt = 0x3F0;

bool holdsMarsSecurityCode(const std::uint8_t* image, std::size_t n)
{
    return n >= kMarsSecurityCodeAt + sizeof kMarsSecurityCode
        && std::memcmp(image + kMarsSecurityCodeAt, kMarsSecurityCode, sizeof kMarsSecurityCode) == 0;
}

// The two bytes after "RA": the first says which bytes of a word the memory
// answers on (bits 4 and 3: 11 odd, 10 even, 00 both), the second what it is
// (0x20 static RAM, 0x40 a serial EEPROM).
std::optional<BackupMemory> backupOf(const std::uint8_t* header)
{
    namespace F = HeaderFields;
    if (FieldBytes(header, F::BackupMark) != "RA")
        return std::nullopt;
    BackupMemory backup;
    backup.type = upperHex(header + F::BackupFlags.offset - kHeaderStart, 2);
    const std::uint32_t lanes = FieldNumber(header, F::BackupFlags) & 0x18;
    if (FieldNumber(header, F::BackupKind) & 0x40)
        backup.kind = "eeprom";
    else
        backup.kind = lanes == 0x18 ? "sram-odd" : lanes == 0x10 ? "sram-even" : "sram-both";
    backup.range = rangeOf(header, F::BackupStart, F::BackupEnd);
    return backup;
}

bool isUpperHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

std::string trimmedBlanks(const std::string& text)
{
    const auto first = text.find_first_not_of(" \0", 0, 2);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \0", std::string::npos, 2) - first + 1);
}

} // namespace

std::string DecodeHeaderText(std::string bytes)
{
    while (!bytes.empty() && (bytes.back() == ' ' || bytes.back() == '\0'))
        bytes.pop_back();
    if (isPrintableAscii(bytes))
        return bytes;
    if (auto text = platform::shiftJisToUtf8(bytes))
        return *text;
    return replaceHighBytes(bytes);
}

std::vector<std::string> RegionsOf(const std::string& country)
{
    const std::string text = trimmedBlanks(country), word = LowerAscii(text);
    if (word == "eur" || word == "europe")
        return {"Europe"};
    if (word == "jap" || word == "japan")
        return {"Japan"};
    if (word == "usa")
        return {"Americas"};
    std::vector<std::string> regions;
    const auto add = [&](bool named, const char* region) {
        if (named)
            regions.push_back(region);
    };
    if (country.find_first_of("JUE") != std::string::npos) {
        add(contains(country, "J"), "Japan");
        add(contains(country, "U"), "Americas");
        add(contains(country, "E"), "Europe");
        return regions;
    }
    if (text.size() != 1 || !isUpperHexDigit(text[0]))
        return regions;
    const unsigned long bits = std::stoul(text, nullptr, 16);
    add(bits & 1, "Japan");
    add(bits & 4, "Americas");
    add(bits & 8, "Europe");
    add(bits & 2, "Asia");
    return regions;
}

DecodedHeader DecodeHeader(const std::uint8_t* image, std::size_t n)
{
    namespace F = HeaderFields;
    const std::uint8_t* header = image + kHeaderStart;
    DecodedHeader decoded;
    decoded.platform = DecodeHeaderText(FieldBytes(header, F::Platform));
    decoded.system = systemOf(decoded.platform);
    decoded.copyright = DecodeHeaderText(FieldBytes(header, F::Copyright));
    decoded.domesticName = DecodeHeaderText(FieldBytes(header, F::DomesticName));
    decoded.overseasName = DecodeHeaderText(FieldBytes(header, F::OverseasName));
    decoded.serial = DecodeHeaderText(FieldBytes(header, F::Serial));
    decoded.storedChecksum = static_cast<std::uint16_t>(FieldNumber(header, F::Checksum));
    decoded.devices = SupportedDevices(FieldBytes(header, F::IoDevices));
    decoded.rom = rangeOf(header, F::RomStart, F::RomEnd);
    decoded.ram = rangeOf(header, F::RamStart, F::RamEnd);
    decoded.backup = backupOf(header);
    decoded.memo = DecodeHeaderText(FieldBytes(header, F::Memo));
    const std::string country = FieldBytes(header, F::Country);
    decoded.country = DecodeHeaderText(country);
    decoded.regions = RegionsOf(country);
    decoded.headerHex = upperHex(header, kHeaderSize);
    if (holdsMarsSecurityCode(image, n))
        decoded.hardware.push_back("32x-security-code");
    if (contains(UpperAscii(decoded.platform), "SSF"))
        decoded.hardware.push_back("sega-mapper");
    if (decoded.backup)
        decoded.hardware.push_back(decoded.backup->kind);
    return decoded;
}

} // namespace varnoquil
