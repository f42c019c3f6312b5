// SPDX-License-Identifier: MIT
#include "rom/rom_header.h"

#include "rom/rom.h"

#include <cctype>
#include <iconv.h>

namespace varnoquil {

namespace {

// Header offsets relative to 0x100.
std::string field(const std::uint8_t* header, std::size_t offset, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(header + offset - kHeaderStart), size);
}

std::uint32_t bigEndian32(const std::uint8_t* header, std::size_t offset)
{
    const std::uint8_t* b = header + offset - kHeaderStart;
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
}

AddressRange rangeAt(const std::uint8_t* header, std::size_t offset)
{
    return {bigEndian32(header, offset), bigEndian32(header, offset + 4)};
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t n)
{
    std::string hex(2 * n, '0');
    static const char digits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < n; ++i) {
        hex[2 * i] = digits[bytes[i] >> 4];
        hex[2 * i + 1] = digits[bytes[i] & 0xF];
    }
    return hex;
}

bool isPrintableAscii(const std::string& text)
{
    for (const char byte : text)
        if (const auto c = static_cast<unsigned char>(byte); c < 0x20 || c > 0x7E)
            return false;
    return true;
}

// Windows' Shift_JIS: the form Japanese headers were written in, which also
// keeps the backslash and the tilde as they are in ASCII.
std::optional<std::string> fromShiftJis(const std::string& bytes)
{
    iconv_t converter = ::iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr): iconv_open's failure value
        return std::nullopt;
    // Every Shift_JIS character, one byte or two, takes at most 3 bytes in UTF-8.
    std::string out(3 * bytes.size(), '\0');
    char* in = const_cast<char*>(bytes.data());
    char* to = out.data();
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    const std::size_t result = ::iconv(converter, &in, &inLeft, &to, &outLeft);
    ::iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
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

std::string systemOf(const std::string& platform)
{
    if (contains(platform, "32X"))
        return "32x";
    if (contains(platform, "PICO"))
        return "pico";
    return "mega-drive";
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
    if (auto text = fromShiftJis(bytes))
        return *text;
    return replaceHighBytes(bytes);
}

std::vector<std::string> RegionsOf(const std::string& country)
{
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
    const std::string digit = trimmedBlanks(country);
    if (digit.size() != 1 || !std::isxdigit(static_cast<unsigned char>(digit[0])))
        return regions;
    const unsigned long bits = std::stoul(digit, nullptr, 16);
    add(bits & 1, "Japan");
    add(bits & 4, "Americas");
    add(bits & 8, "Europe");
    add(bits & 2, "Asia");
    return regions;
}

DecodedHeader DecodeHeader(const std::uint8_t* header)
{
    DecodedHeader decoded;
    decoded.platform = DecodeHeaderText(field(header, 0x100, 16));
    decoded.system = systemOf(decoded.platform);
    decoded.copyright = DecodeHeaderText(field(header, 0x110, 16));
    decoded.domesticName = DecodeHeaderText(field(header, 0x120, 48));
    decoded.overseasName = DecodeHeaderText(field(header, 0x150, 48));
    decoded.serial = DecodeHeaderText(field(header, 0x180, 14));
    decoded.storedChecksum = static_cast<std::uint16_t>(header[kChecksumOffset - kHeaderStart] << 8
                                                        | header[kChecksumOffset - kHeaderStart + 1]);
    decoded.devices = SupportedDevices(field(header, 0x190, 16));
    decoded.rom = rangeAt(header, 0x1A0);
    decoded.ram = rangeAt(header, 0x1A8);
    if (field(header, 0x1B0, 2) == "RA")
        decoded.sram = SaveRam{hexBytes(header + 0x1B2 - kHeaderStart, 2), bigEndian32(header, 0x1B4),
                               bigEndian32(header, 0x1B8)};
    decoded.memo = DecodeHeaderText(field(header, 0x1C8, 40));
    const std::string country = field(header, 0x1F0, 16);
    decoded.country = DecodeHeaderText(country);
    decoded.regions = RegionsOf(country);
    decoded.headerHex = hexBytes(header, kHeaderSize);
    return decoded;
}

} // namespace varnoquil
