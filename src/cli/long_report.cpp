// SPDX-License-Identifier: MIT
#include "long_report.h"

#include "text.h"

#include <cinttypes>
#include <cstdio>
#include <utility>
#include <vector>

namespace varnoquil::cli {

namespace {

std::string joined(const std::vector<std::string>& words, const char* none)
{
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : ", ") + word;
    return text.empty() ? none : text;
}

const char* formatWords(RomFormat format)
{
    switch (format) {
    case RomFormat::Bin: return "plain cartridge image";
    case RomFormat::Smd: return "interleaved copier dump (SMD)";
    case RomFormat::Mgd: return "MGD dump";
    case RomFormat::ByteSwapped: return "byte-swapped image";
    case RomFormat::Headerless: return "cartridge image without a header";
    case RomFormat::MegaCd: return "Mega-CD disc image";
    case RomFormat::Unknown: return "unknown";
    }
    return "unknown";
}

using Words = std::pair<const char*, const char*>;

// The words for a report's key in a table of them; otherwise when none.
template <std::size_t N>
std::string wordsFor(const Words (&table)[N], const std::string& key, const std::string& otherwise)
{
    for (const auto& [name, words] : table)
        if (key == name)
            return words;
    return otherwise;
}

std::string systemWords(const std::optional<std::string>& system)
{
    const Words names[]
        = {{"mega-drive", "Mega Drive / Genesis"}, {"32x", "32X"}, {"pico", "Pico"}, {"teradrive", "Teradrive"}};
    return system ? wordsFor(names, *system, "none") : "none";
}

std::string hardwareWords(const std::string& key)
{
    const Words names[] = {{"32x-security-code", "32X security code"}, {"sega-mapper", "Sega mapper (over 4 MiB)"},
                           {"sram-odd", "SRAM on odd bytes"},          {"sram-even", "SRAM on even bytes"},
                           {"sram-both", "SRAM on both bytes"},        {"eeprom", "EEPROM"}};
    return wordsFor(names, key, key);
}

std::string hex6(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06" PRIX32, value);
    return text;
}

std::string rangeText(const AddressRange& range)
{
    const std::string addresses = hex6(range.start) + "-" + hex6(range.end);
    return addresses + (range.size() ? ", " + SizeText(*range.size()) : ", not a valid range");
}

std::string checksumText(const ImageReport& report)
{
    std::string text = "stored " + Hex4(report.header.storedChecksum) + ", computed " + Hex4(report.computedChecksum)
        + (report.checksumEqual() ? " (equal)" : " (they differ)");
    if (report.computedRomRangeChecksum)
        text += "; over the header's ROM range " + Hex4(*report.computedRomRangeChecksum);
    return text;
}

std::string tablesText(const ImageReport& report)
{
    std::vector<std::string> places;
    for (const std::int64_t offset : report.fmTables)
        places.push_back("FM at " + hex6(static_cast<std::uint32_t>(offset)));
    for (const std::int64_t offset : report.psgTables)
        places.push_back("PSG at " + hex6(static_cast<std::uint32_t>(offset)));
    return joined(places, "none");
}

} // namespace

std::string SizeText(std::int64_t bytes)
{
    constexpr std::int64_t kKiB = 1024, kMiB = 1024 * kKiB;
    char text[32];
    if (bytes >= kMiB)
        std::snprintf(text, sizeof text, bytes % kMiB ? "%.1f MiB" : "%.0f MiB", double(bytes) / double(kMiB));
    else if (bytes >= kKiB)
        std::snprintf(text, sizeof text, bytes % kKiB ? "%.1f KiB" : "%.0f KiB", double(bytes) / double(kKiB));
    else
        std::snprintf(text, sizeof text, "%" PRId64 " bytes", bytes);
    return text;
}

std::string LongReport(const ImageReport& report)
{
    const DecodedHeader& header = report.header;
    std::vector<std::string> hardware;
    for (const std::string& key : header.hardware)
        hardware.push_back(hardwareWords(key));
    const std::string backup = header.backup
        ? hardwareWords(header.backup->kind) + ", " + rangeText(header.backup->range) + ", type " + header.backup->type
        : "none";
    const std::pair<const char*, std::string> lines[] = {
        {"format", formatWords(report.format)},
        {"file size", SizeText(static_cast<std::int64_t>(report.fileSize))},
        {"system", systemWords(report.system())},
        {"hardware", joined(hardware, "none")},
        {"platform", header.platform},
        {"copyright", header.copyright},
        {"domestic name", header.domesticName},
        {"overseas name", header.overseasName},
        {"serial", header.serial},
        {"country", header.country},
        {"regions", joined(header.regions, "none")},
        {"devices", joined(header.devices, "none")},
        {"ROM",
         rangeText(header.rom)
             + (report.headerSizeMatchesFile()
                    ? ""
                    : " (the image holds " + SizeText(static_cast<std::int64_t>(report.imageSize)) + ")")},
        {"RAM", rangeText(header.ram)},
        {"backup memory", backup},
        {"checksum", checksumText(report)},
        {"GEMS tables", tablesText(report)},
        {"memo", header.memo},
    };
    std::string text;
    for (const auto& [key, value] : lines)
        text += std::string(key) + ":" + (value.empty() ? "" : std::string(15 - std::string(key).size(), ' ') + value)
            + "\n";
    return text;
}

} // namespace varnoquil::cli
