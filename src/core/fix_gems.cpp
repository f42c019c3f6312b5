#include "fix_gems.h"

#include "errors.h"
#include "gems.h"
#include "platform.h"
#include "text.h"

namespace varnoquil {

namespace {

class Reporter {
public:
    explicit Reporter(const FixGemsProgress& progress) : progress_(progress) {}

    void clear() const { call(progress_.clearStatus); }
    void append(const std::string& text) const { call(progress_.appendStatus, text); }
    void setMaximum(std::int64_t maximum) const { call(progress_.setMaximum, maximum); }
    void advance(std::int64_t steps) const { call(progress_.advance, steps); }
    void processPending() const { call(progress_.processPending); }

private:
    template <typename F, typename... Args>
    static void call(const F& callback, Args&&... args)
    {
        if (callback)
            callback(std::forward<Args>(args)...);
    }

    const FixGemsProgress& progress_;
};

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

    const Reporter report(progress);
    report.clear();
    report.append(FixGemsStatus::Loading + kCrLf);

    platform::BinaryFile in = platform::BinaryFile::openExisting(request.inFile);
    image.resize(static_cast<std::size_t>(in.size()));
    const auto length = static_cast<std::int64_t>(image.size());
    report.setMaximum(2 * length + 20 + (request.fixChecksum ? 10 : 0));
    platform::PendingFile out = platform::PendingFile::create(request.outFile);
    report.processPending();

    in.readBlock(image.data(), image.size());
    report.advance(1);

    report.append(FixFmTable(image, request.fmScale) ? FixGemsStatus::FmFixed : FixGemsStatus::FmNotFixed);
    report.advance(10);
    report.processPending();

    report.append(kCrLf + (FixPsgTable(image, request.psgScale) ? FixGemsStatus::PsgFixed : FixGemsStatus::PsgNotFixed)
                  + kCrLf);
    report.advance(10);
    report.processPending();

    if (request.fixChecksum) {
        report.append(FixGemsStatus::ChecksumFix + kCrLf);
        repairChecksum(image);
        report.advance(10);
    }

    out.commit(image.data(), image.size());
    report.advance(1);
    in.close();
    report.append(FixGemsStatus::Finished);
}

} // namespace varnoquil
