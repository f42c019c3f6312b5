#include "image_report.h"

#include "errors.h"
#include "gems.h"
#include "rom.h"

namespace varnoquil {

std::optional<std::string> ImageReport::system() const
{
    if (format == RomFormat::Unknown)
        return std::nullopt;
    return header.system;
}

ImageReport ReportImage(const std::string& fileName)
{
    a_byte image = LoadImage(fileName);
    ImageReport report;
    report.fileSize = image.size();
    report.format = DetectFormat(image.data(), image.size(), image.size());
    if (report.format == RomFormat::Smd)
        image = Deinterleave(image);
    if (image.size() < kChecksumStart)
        throw IoError(IoCode::ReadBeyondEnd);
    report.imageSize = image.size();
    report.header = DecodeHeader(image.data() + kHeaderStart);
    report.computedChecksum = static_cast<std::uint16_t>(
        checksumRange(image, static_cast<std::int64_t>(kChecksumStart), static_cast<std::int64_t>(image.size()) - 1));
    report.fmTables = FindAllFmTables(image);
    report.psgTables = FindAllPsgTables(image);
    return report;
}

} // namespace varnoquil
