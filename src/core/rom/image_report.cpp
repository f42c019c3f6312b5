// SPDX-License-Identifier: MIT
#include "rom/image_report.h"

#include "errors.h"
#include "gems/gems.h"
#include "platform/platform.h"
#include "rom/rom.h"

#include <algorithm>

namespace varnoquil {

namespace {

// A multiple of the interleaved block size, and of the header's extent.
constexpr std::size_t kPieceSize = 256 << 10;
static_assert(kPieceSize % kInterleavedBlockSize == 0 && kPieceSize >= kFormatProbeSize);

} // namespace

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
    a_byte piece(kPieceSize);
    const auto probed = static_cast<std::size_t>(std::min<std::uint64_t>(report.fileSize, kFormatProbeSize));
    file.readBlock(piece.data(), probed);
    report.format = DetectFormat(piece.data(), probed, report.fileSize);

    const bool interleaved = report.format == RomFormat::Smd;
    const std::uint64_t imageStart = interleaved ? kCopierHeaderSize : 0;
    report.imageSize = report.fileSize - imageStart;
    if (report.imageSize < kChecksumStart)
        throw IoError(IoCode::ReadBeyondEnd);
    a_byte woven(interleaved ? kPieceSize : 0);
    TableMatches tables;
    std::uint32_t sum = 0;
    file.seek(imageStart);
    for (std::uint64_t offset = 0; offset < report.imageSize;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kPieceSize, report.imageSize - offset));
        file.readBlock(piece.data(), n);
        const std::uint8_t* plain = piece.data();
        if (interleaved) {
            WeaveBlocks(piece.data(), n, woven.data());
            plain = woven.data();
        }
        if (offset == 0)
            report.header = DecodeHeader(plain + kHeaderStart);
        sum = addToCartridgeChecksum(sum, plain, n, offset);
        tables.add(plain, n);
        offset += n;
    }
    file.close();
    report.computedChecksum = static_cast<std::uint16_t>(sum);
    report.fmTables = tables.fm();
    report.psgTables = tables.psg();
    return report;
}

} // namespace varnoquil
