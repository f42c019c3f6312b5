// SPDX-License-Identifier: MIT
#include "collection_commands.h"

#include "batch.h"
#include "console.h"
#include "json_report.h"
#include "long_report.h"
#include "rom/checksum_repair.h"
#include "rom/image_report.h"
#include "rom/rom.h"
#include "text.h"

#include <cinttypes>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace varnoquil::cli {

namespace {

// "PATH: " before each result line when results name their file.
std::string prefix(const Batch& batch, const std::string& file)
{
    return batch.many() ? NameOnOut(file) + ": " : std::string();
}

Outcome infoText(const Batch& batch, const std::string& file, std::string& out)
{
    iSMD_ header;
    ReadHeader(file, header);
    std::string text = InformationText(header);
    // A header's bytes must not reach a terminal as escape sequences; into a
    // file or a pipe they go as they are.
    if (::isatty(STDOUT_FILENO))
        text = ControlBytesAsQuestionMarks(text);
    out = batch.many() ? NameOnOut(file) + ":" + kCrLf + text + kCrLf + kCrLf : text;
    return Outcome::Done;
}

Outcome infoLong(const Batch& batch, const std::string& file, std::string& out)
{
    std::string text = LongReport(ReportImage(file));
    if (::isatty(STDOUT_FILENO))
        text = ControlBytesAsQuestionMarks(text);
    out = batch.many() ? NameOnOut(file) + ":\n" + text + "\n" : text;
    return Outcome::Done;
}

Outcome infoJson(const std::string& file, std::string& out)
{
    out = JsonLine(ReportJson(file, ReportImage(file)));
    return Outcome::Done;
}

Outcome outcomeOf(bool equal, bool fixed)
{
    if (fixed)
        return Outcome::ChecksumFixed;
    return equal ? Outcome::ChecksumEqual : Outcome::ChecksumDiffers;
}

// The checksum as the window reads it from the file, and, with --fix, the
// repair of a plain cartridge image (forced, of any but a reordered dump).
ChecksumRepair checksumOf(const std::string& file, const ChecksumOptions& options)
{
    if (options.fix)
        return RepairChecksum(file, options.force);
    iSMD_ header;
    ReadHeader(file, header);
    return {header.HeaderCrc, header.FileCrc, false};
}

Outcome checksumText(const Batch& batch, const std::string& file, const ChecksumOptions& options, std::string& out)
{
    const ChecksumRepair result = checksumOf(file, options);
    std::string line = prefix(batch, file) + "stored " + Hex4(result.stored) + " computed " + Hex4(result.computed);
    if (result.written && batch.many())
        line += " fixed";
    out = line + "\n";
    return outcomeOf(result.stored == result.computed, result.written);
}

// The status follows the checksum the line shows, which for a copier dump is
// that of the image it holds. The repair decides on what the report read.
Outcome checksumJson(const std::string& file, const ChecksumOptions& options, std::string& out)
{
    const ImageReport report = ReportImage(file);
    const ChecksumFacts facts{
        report.format, report.fileSize, report.header.storedChecksum, report.computedChecksum, {}};
    const bool fixed = options.fix && RepairChecksum(file, facts, options.force).written;
    Json object = ReportJson(file, report);
    object["fixed"] = fixed;
    out = JsonLine(object);
    return outcomeOf(report.checksumEqual(), fixed);
}

std::string offsetLine(const char* table, std::int64_t offset)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s 0x%08" PRIX64 "\n", table, static_cast<std::uint64_t>(offset));
    return text;
}

Outcome scanText(const Batch& batch, const std::string& file, std::string& out)
{
    const ImageReport report = ReportImage(file);
    for (std::int64_t offset : report.fmTables)
        out += prefix(batch, file) + offsetLine("fm", offset);
    for (std::int64_t offset : report.psgTables)
        out += prefix(batch, file) + offsetLine("psg", offset);
    return Outcome::Done;
}

using FileWork = std::function<Outcome(const Batch& batch, const std::string& file, std::string& out)>;

// Runs the work over every file the options name and returns the exit status.
int runBatch(const CollectionOptions& options, bool checksums, const FileWork& work)
{
    Batch batch(options.paths, options.recursive, options.json);
    batch.run([&](const std::string& file, std::string& out) { return work(batch, file, out); });
    batch.summarize(checksums);
    return batch.exitStatus();
}

} // namespace

int RunInfo(const CollectionOptions& options)
{
    return runBatch(options, false, [&](const Batch& batch, const std::string& file, std::string& out) {
        if (options.json)
            return infoJson(file, out);
        return options.longView ? infoLong(batch, file, out) : infoText(batch, file, out);
    });
}

int RunChecksum(const CollectionOptions& options, const ChecksumOptions& checksum)
{
    return runBatch(options, true, [&](const Batch& batch, const std::string& file, std::string& out) {
        return options.json ? checksumJson(file, checksum, out) : checksumText(batch, file, checksum, out);
    });
}

int RunScan(const CollectionOptions& options)
{
    return runBatch(options, false, [&](const Batch& batch, const std::string& file, std::string& out) {
        return options.json ? infoJson(file, out) : scanText(batch, file, out);
    });
}

} // namespace varnoquil::cli
