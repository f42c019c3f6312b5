// SPDX-License-Identifier: MIT
#include "rom/image_report.h"

#include "errors.h"
#include "gems/table_search.h"
#include "platform/platform.h"
#include "rom/rom.h"

#include <algorithm>

namespace varnoquil {

// An interleaved dump is woven back piece by piece, and the first piece holds
// everything the format is told from.
static_assert(kReadPiece % kInterleavedBlockSize == 0 && kReadPiece >= kFormatProbeSize);

std::optional<std::string> ImageReport::system() const
{
    if (format == RomFormat::Unknown)
        return std::nullopt;
    return header.system;
}

ImageReport ReportImage(const std::string& fileName)
{
    platform::BinaryFile file = platform::BinaryFile::openForReading(fileName);
    ImageReport report;
    report.fileSize = file.size();
    report.format = DetectFormat(file);
    const bool interleaved = report.format == RomFormat::Smd;
    const std::uint64_t imageStart = interleaved ? kCopierHeaderSize : 0;
    report.imageSize = report.fileSize - imageStart;
    if (report.imageSize < kChecksumStart)
        RaiseFor(IoError(IoCode::ReadBeyondEnd), fileName);

    a_byte piece, woven(interleaved ? kReadPiece : 0);
    AllTableMatches tables;
    std::uint32_t sum = 0;
    ReadInPieces(file, imageStart, piece, [&](const std::uint8_t* data, std::size_t n, std::uint64_t at) {
        const std::uint64_t offset = at - imageStart; // in the plain image
        if (interleaved) {
            WeaveBlocks(data, n, woven.data());
            data = woven.data();
        }
        if (offset == 0)
            report.header = DecodeHeader(data + kHeaderStart);
        sum = addToCartridgeChecksum(sum, data, n, offset);
        tables.add(data, n);
    });
    file.close();
    report.computedChecksum = static_cast<std::uint16_t>(sum);
    report.fmTables = tables.fm();
    report.psgTables = tables.psg();
    return report;
}

} // namespace varnoquil
