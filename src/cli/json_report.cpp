// SPDX-License-Identifier: MIT
#include "json_report.h"

#include "text.h"

namespace varnoquil::cli {

namespace {

template <typename Value>
Json orNull(const std::optional<Value>& value)
{
    return value ? Json(*value) : Json(nullptr);
}

// A range whose end comes before its start has no size.
Json rangeJson(const AddressRange& range)
{
    return {{"start", range.start}, {"end", range.end}, {"size", orNull(range.size())}, {"valid", range.valid()}};
}

Json sramJson(const std::optional<BackupMemory>& backup)
{
    if (!backup)
        return nullptr;
    Json object = {{"type", backup->type}, {"kind", backup->kind}};
    object.update(rangeJson(backup->range));
    return object;
}

Json hashesJson(const std::optional<FileHashes>& hashes)
{
    if (!hashes)
        return nullptr;
    return {{"crc32", hashes->crc32}, {"md5", hashes->md5}, {"sha1", hashes->sha1}};
}

} // namespace

Json ReportJson(const std::string& file, const ImageReport& report)
{
    const DecodedHeader& header = report.header;
    Json object;
    object["file"] = file;
    object["file_size"] = report.fileSize;
    object["format"] = FormatName(report.format);
    object["system"] = orNull(report.system());
    object["hardware"] = header.hardware;
    object["platform"] = header.platform;
    object["copyright"] = header.copyright;
    object["domestic_name"] = header.domesticName;
    object["overseas_name"] = header.overseasName;
    object["serial"] = header.serial;
    object["memo"] = header.memo;
    object["country"] = header.country;
    object["header_hex"] = header.headerHex;
    const auto romRange = report.computedRomRangeChecksum;
    object["checksum"] = {{"stored", Hex4(header.storedChecksum)},
                          {"computed", Hex4(report.computedChecksum)},
                          {"equal", report.checksumEqual()},
                          {"computed_rom_range", romRange ? Json(Hex4(*romRange)) : Json(nullptr)}};
    object["rom"] = rangeJson(header.rom);
    object["ram"] = rangeJson(header.ram);
    object["sram"] = sramJson(header.backup);
    object["header_size_matches_file"] = report.headerSizeMatchesFile();
    object["regions"] = header.regions;
    object["devices"] = header.devices;
    object["gems"] = {{"fm", report.fmTables}, {"psg", report.psgTables}};
    object["hashes"] = hashesJson(report.hashes);
    object["plain_hashes"] = hashesJson(report.plainHashes);
    return object;
}

Json DatJson(const std::optional<DatMatch>& match)
{
    if (!match)
        return nullptr;
    const DatEntry& entry = *match->entry;
    return {{"name", match->dat->name()},
            {"game", std::string(entry.game)},
            {"rom", std::string(entry.rom)},
            {"status", entry.status.empty() ? Json(nullptr) : Json(std::string(entry.status))},
            {"plain_image", match->plainImage}};
}

Json ErrorJson(const std::string& file, const std::string& message)
{
    return {{"file", file}, {"error", message}};
}

std::string JsonLine(const Json& object)
{
    return object.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace varnoquil::cli
