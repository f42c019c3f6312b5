// SPDX-License-Identifier: MIT
#include "gems/fix_gems.h"

#include "errors.h"
#include "platform/platform.h"
#include "rom/rom_format.h"
#include "text.h"

#include <algorithm>
#include <array>

namespace varnoquil {

namespace {

// The replacements in the order they are made: a PSG table that overlaps
// the FM table overwrites part of it.
std::array<const std::optional<TablePatch>*, 2> patchesOf(const FixGemsPlan& plan)
{
    return {&plan.fm, &plan.psg};
}

// An image too short to hold the checksum field keeps its bytes there.
bool holdsChecksumField(std::uint64_t length)
{
    return length >= kChecksumOffset + 2;
}

std::int64_t steps(std::uint64_t bytes)
{
    return static_cast<std::int64_t>(bytes);
}

} // namespace

const char* StatusLine(FixGemsStep step)
{
    switch (step) {
    case FixGemsStep::Loading: return "Loading..";
    case FixGemsStep::FmFixed: return "fm fixed";
    case FixGemsStep::FmNotFixed: return "fm not fixed";
    case FixGemsStep::PsgFixed: return "psg fixed";
    case FixGemsStep::PsgNotFixed: return "psg not fixed";
    case FixGemsStep::ChecksumFix: return "checksum fix..";
    case FixGemsStep::Finished: return "Fix Finished!";
    }
    return "";
}

FixGemsPlan PlanFixGems(std::uint64_t length, const std::function<void(std::uint8_t*, std::size_t)>& read,
                        const Scales& scales, a_byte& buffer, std::size_t pieceSize,
                        const std::function<void(std::int64_t)>& advance)
{
    ReplacementSearch search(scales, buffer, pieceSize);
    std::uint32_t sum = 0;
    for (std::uint64_t offset = 0; offset < length;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(length - offset, pieceSize));
        std::uint8_t* piece = search.nextPiece();
        read(piece, n);
        // The sum takes the bytes as read; the search may change them.
        sum = addToCartridgeChecksum(sum, piece, n, offset);
        offset += n;
        search.add(n, offset == length);
        advance(steps(n));
    }
    return FixGemsPlan{sum, search.fm(), search.psg()};
}

std::uint16_t PatchedChecksum(const FixGemsPlan& plan)
{
    std::uint32_t sum = plan.sum;
    for (const std::optional<TablePatch>* patch : patchesOf(plan))
        if (*patch)
            sum = replaceInChecksum(sum, (*patch)->offset, (*patch)->before.data(), (*patch)->after.data(),
                                    (*patch)->after.size());
    return static_cast<std::uint16_t>(sum);
}

FixGemsResult FixGems(const FixGemsRequest& request, const FixGemsProgress& progress, a_byte& buffer)
{
    if (request.inFile.empty() || request.outFile.empty())
        return {};
    RequireOutputIsNotInput(request.inFile, request.outFile);
    progress.reached(FixGemsStep::Loading);

    platform::BinaryFile in = platform::BinaryFile::openForReading(request.inFile);
    if (request.fixChecksum)
        ForFile(request.inFile, [&] { RequireCartridgeFormat(DetectFormat(in)); });
    const platform::BinaryFile::Stamp inputAtStart = in.stamp();
    const std::uint64_t length = inputAtStart.size;
    progress.setMaximum(2 * steps(length) + 22 + (request.fixChecksum ? 10 : 0));
    platform::PendingFile out = platform::PendingFile::create(request.outFile);
    progress.processPending();

    // Every step of progress is a place where the run may be cancelled; the
    // pending output is then removed as for any other error.
    const auto advance = [&progress](std::int64_t n) {
        if (progress.cancelled())
            throw CancelledError();
        progress.advance(n);
    };
    const FixGemsPlan plan = PlanFixGems(
        length, [&in](std::uint8_t* into, std::size_t n) { in.readBlock(into, n); }, request.scales, buffer, kReadPiece,
        advance);
    advance(1);

    progress.reached(plan.fm ? FixGemsStep::FmFixed : FixGemsStep::FmNotFixed);
    advance(10);
    progress.processPending();

    progress.reached(plan.psg ? FixGemsStep::PsgFixed : FixGemsStep::PsgNotFixed);
    advance(10);
    progress.processPending();

    const bool storeChecksum = request.fixChecksum && holdsChecksumField(length);
    std::uint16_t checksum = 0;
    if (request.fixChecksum) {
        progress.reached(FixGemsStep::ChecksumFix);
        checksum = PatchedChecksum(plan);
        advance(10);
    }

    out.copyFrom(in, length, [&](std::uint64_t n) { advance(steps(n)); });
    // The tables and the checksum were found in the input as the pass read
    // it; on a copy of anything else they would be wrong.
    if (in.stamp() != inputAtStart)
        RaiseFor(FileError("The input file changed while it was read"), request.inFile);
    for (const std::optional<TablePatch>* patch : patchesOf(plan))
        if (*patch)
            out.writeAt((*patch)->offset, (*patch)->after.data(), (*patch)->after.size());
    if (storeChecksum) {
        const auto field = ChecksumField(checksum);
        out.writeAt(kChecksumOffset, field.data(), field.size());
    }
    out.commit();
    progress.advance(1);
    in.close();
    progress.reached(FixGemsStep::Finished);
    FixGemsResult result;
    result.fmFixed = plan.fm.has_value();
    result.psgFixed = plan.psg.has_value();
    if (result.fmFixed)
        result.fmFit = FmTableFit(request.scales.fm);
    if (result.psgFixed)
        result.psgFit = PsgTableFit(request.scales.psg);
    return result;
}

namespace {

std::string entryCount(int n, const char* table)
{
    return std::to_string(n) + " " + table + (n == 1 ? " entry" : " entries");
}

template <typename Table>
void warnOfFit(const TableFit& fit, const char* name, std::vector<std::string>& warnings)
{
    if (fit.wrapped)
        warnings.push_back(entryCount(fit.wrapped, name) + " wrapped past 16 bits");
    if (fit.aboveField)
        warnings.push_back(entryCount(fit.aboveField, name) + (fit.aboveField == 1 ? " exceeds " : " exceed ")
                           + std::to_string(kFmFieldMax) + ", the chip's 11-bit field");
    if (fit.sameValue)
        warnings.push_back("all " + entryCount(static_cast<int>(std::tuple_size_v<Table>), name) + " are "
                           + Hex4(*fit.sameValue));
}

} // namespace

std::vector<std::string> FixGemsWarnings(const FixGemsResult& result)
{
    std::vector<std::string> warnings;
    if (result.fmFixed)
        warnOfFit<FmTable>(result.fmFit, "FM", warnings);
    if (result.psgFixed)
        warnOfFit<PsgTable>(result.psgFit, "PSG", warnings);
    return warnings;
}

} // namespace varnoquil
