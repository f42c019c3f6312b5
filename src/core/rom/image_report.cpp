// SPDX-License-Identifier: MIT
#include "rom/image_report.h"

#include "errors.h"
#include "gems/table_search.h"
#include "platform/platform.h"
#include "rom/rom.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace varnoquil {

std::optional<std::string> ImageReport::system() const
{
    if (format == RomFormat::Unknown || format == RomFormat::Headerless)
        return std::nullopt;
    return header.system;
}

namespace {

// Reads the plain image a file holds, handing its pieces on to take, and
// returns the hashes asked for of the file and, for a reordered dump, of the
// plain image.
std::pair<std::optional<FileHashes>, std::optional<FileHashes>>
readHashing(platform::BinaryFile& file, RomFormat format, const HashKinds& hashes, const PieceTaker& take)
{
    if (!hashes.any()) {
        ReadPlainImage(file, format, take);
        return {};
    }
    Hasher stored(hashes);
    std::optional<Hasher> plain;
    if (HoldsReorderedImage(format))
        plain.emplace(hashes);
    ReadPlainImage(
        file, format,
        [&](const std::uint8_t* data, std::size_t n, std::uint64_t offset) {
            take(data, n, offset);
            if (plain)
                plain->add(data, n);
        },
        [&](const std::uint8_t* data, std::size_t n, std::uint64_t) { stored.add(data, n); });
    return {stored.finish(), plain ? std::optional<FileHashes>(plain->finish()) : std::nullopt};
}

} // namespace

ImageHashes HashImage(const std::string& fileName, const HashKinds& hashes)
{
    platform::BinaryFile file = platform::BinaryFile::openForReading(fileName);
    ImageHashes image;
    image.fileSize = file.size();
    const RomFormat format = DetectFormat(file);
    image.imageSize = PlainImageSize(format, image.fileSize);
    std::tie(image.hashes, image.plainHashes)
        = readHashing(file, format, hashes, [](const std::uint8_t*, std::size_t, std::uint64_t) {});
    file.close();
    return image;
}

ImageReport ReportImage(const std::string& fileName, const HashKinds& hashes)
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
    const auto takePlain = [&](const std::uint8_t* data, std::size_t n, std::uint64_t offset) {
        if (offset == 0) {
            report.header = DecodeHeader(data, n);
            romLast = report.header.rom.end;
        }
        sum = addToCartridgeChecksum(sum, data, n, offset);
        if (offset <= romLast)
            romRangeSum = addToCartridgeChecksum(
                romRangeSum, data, static_cast<std::size_t>(std::min<std::uint64_t>(n, romLast - offset + 1)), offset);
        tables.add(data, n);
    };
    std::tie(report.hashes, report.plainHashes) = readHashing(file, report.format, hashes, takePlain);
    file.close();
    report.computedChecksum = static_cast<std::uint16_t>(sum);
    if (romLast + 1 != report.imageSize)
        report.computedRomRangeChecksum = static_cast<std::uint16_t>(romRangeSum);
    report.fmTables = tables.fm();
    report.psgTables = tables.psg();
    return report;
}

} // namespace varnoquil
