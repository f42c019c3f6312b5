// SPDX-License-Identifier: MIT
#include "rom/image_report.h"

#include "errors.h"
#include "gems/table_search.h"
#include "platform/platform.h"
#include "rom/rom.h"

#include <algorithm>

namespace varnoquil {

std::optional<std::string> ImageReport::system() const
{
    if (format == RomFormat::Unknown || format == RomFormat::Headerless)
        return std::nullopt;
    return header.system;
}

ImageReport ReportImage(const std::string& fileName)
{
    platform::BinaryFile file = platform::BinaryFile::openForReading(fileName);
    ImageReport report;
    report.fileSize = file.size();
    report.format = DetectFormat(file);
    report.imageSize = PlainImageSize(report.format, report.fileSize);
    if (report.imageSize < kChecksumStart)
        RaiseFor(IoError(IoCode::ReadBeyondEnd), fileName);

    AllTableMatches tables;
    std::uint32_t sum = 0, romRangeSum = 0;
    std::uint64_t romLast = 0; // the last offset of the header's ROM range
    ReadPlainImage(file, report.format, [&](const std::uint8_t* data, std::size_t n, std::uint64_t offset) {
        if (offset == 0) {
            report.header = DecodeHeader(data, n);
            romLast = report.header.rom.end;
        }
        sum = addToCartridgeChecksum(sum, data, n, offset);
        if (offset <= romLast)
            romRangeSum = addToCartridgeChecksum(
                romRangeSum, data, static_cast<std::size_t>(std::min<std::uint64_t>(n, romLast - offset + 1)), offset);
        tables.add(data, n);
    });
    file.close();
    report.computedChecksum = static_cast<std::uint16_t>(sum);
    if (romLast + 1 != report.imageSize)
        report.computedRomRangeChecksum = static_cast<std::uint16_t>(romRangeSum);
    report.fmTables = tables.fm();
    report.psgTables = tables.psg();
    return report;
}

} // namespace varnoquil
