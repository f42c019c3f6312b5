#include "fix_gems.h"

#include "errors.h"
#include "gems.h"
#include "platform.h"
#include "text.h"

namespace varnoquil {

namespace {

// Stores the checksum of 0x200..end at 0x18E. An image too short to hold the
// checksum field is left as it is.
void repairChecksum(a_byte& image)
{
    if (image.size() < kChecksumOffset + 2)
        return;
    const auto sum = static_cast<std::uint16_t>(
        checksumRange(image, static_cast<std::int64_t>(kChecksumStart), static_cast<std::int64_t>(image.size()) - 1));
    image[kChecksumOffset] = static_cast<std::uint8_t>(sum >> 8);
    image[kChecksumOffset + 1] = static_cast<std::uint8_t>(sum & 0xFF);
}

} // namespace

void FixGems(const FixGemsRequest& request, const FixGemsProgress& progress, a_byte& image)
{
    if (request.inFile.empty() || request.outFile.empty())
        return;
    RequirePositiveScale(request.fmScale);
    RequirePositiveScale(request.psgScale);
    if (platform::sameFile(request.inFile, request.outFile))
        throw RequestError("The output file must not be the input file");

    progress.clearStatus();
    progress.appendStatus(FixGemsStatus::Loading + kCrLf);

    platform::BinaryFile in = platform::BinaryFile::openExisting(request.inFile);
    image.resize(static_cast<std::size_t>(in.size()));
    const auto length = static_cast<std::int64_t>(image.size());
    progress.setMaximum(2 * length + 20 + (request.fixChecksum ? 10 : 0));
    platform::PendingFile out = platform::PendingFile::create(request.outFile);
    progress.processPending();

    in.readBlock(image.data(), image.size());
    progress.advance(1);

    progress.appendStatus(FixFmTable(image, request.fmScale) ? FixGemsStatus::FmFixed : FixGemsStatus::FmNotFixed);
    progress.advance(10);
    progress.processPending();

    const bool psgFixed = FixPsgTable(image, request.psgScale);
    progress.appendStatus(kCrLf + (psgFixed ? FixGemsStatus::PsgFixed : FixGemsStatus::PsgNotFixed) + kCrLf);
    progress.advance(10);
    progress.processPending();

    if (request.fixChecksum) {
        progress.appendStatus(FixGemsStatus::ChecksumFix + kCrLf);
        repairChecksum(image);
        progress.advance(10);
    }

    out.commit(image.data(), image.size());
    progress.advance(1);
    in.close();
    progress.appendStatus(FixGemsStatus::Finished);
}

} // namespace varnoquil
