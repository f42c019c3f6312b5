// SPDX-License-Identifier: MIT
#include "collection_commands.h"

#include "batch.h"
#include "console.h"
#include "exit_status.h"
#include "identify/dat_index.h"
#include "json_report.h"
#include "long_report.h"
#include "platform/platform.h"
#include "rom/checksum_repair.h"
#include "rom/image_report.h"
#include "rom/rom.h"
#include "text.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace varnoquil::cli {

namespace {

// "PATH: " before each result line when results name their file.
std::string prefix(const Batch& batch, const std::string& file)
{
    return batch.many() ? NameOnOut(file) + ": " : std::string();
}

// Bytes from an image or a DAT must not reach a terminal as escape
// sequences; into a file or a pipe they go as they are.
std::string textOnOut(const std::string& text)
{
    return ::isatty(STDOUT_FILENO) ? ControlBytesAsQuestionMarks(text) : text;
}

Outcome infoText(const Batch& batch, const std::string& file, std::string& out)
{
    iSMD_ header;
    ReadHeader(file, header);
    const std::string text = textOnOut(InformationText(header));
    out = batch.many() ? NameOnOut(file) + ":" + kCrLf + text + kCrLf + kCrLf : text;
    return Outcome::Done;
}

Outcome infoLong(const Batch& batch, const std::string& file, std::string& out)
{
    const std::string text = textOnOut(LongReport(ReportImage(file)));
    out = batch.many() ? NameOnOut(file) + ":\n" + text + "\n" : text;
    return Outcome::Done;
}

Outcome infoJson(const std::string& file, std::string& out)
{
    out = JsonLine(ReportJson(file, ReportImage(file, kReportHashes)));
    return Outcome::Done;
}

// The DATs named by --dat, else by VARNOQUIL_DAT, a list apart by colons
// (semicolons on Windows); none is an empty index.
std::optional<DatIndex> loadDats(const std::vector<std::string>& given)
{
    std::vector<std::string> paths = given;
    if (const char* listed = std::getenv("VARNOQUIL_DAT"); given.empty() && listed) {
        std::istringstream list(listed);
        for (std::string path; std::getline(list, path, platform::pathListSeparator());)
            if (!path.empty())
                paths.push_back(path);
    }
    if (paths.empty())
        return std::nullopt;
    return DatIndex::load(paths);
}

Outcome outcomeOf(bool equal, bool fixed)
{
    if (fixed)
        return Outcome::ChecksumFixed;
    return equal ? Outcome::ChecksumEqual : Outcome::ChecksumDiffers;
}

// The checksum as the window reads it from the file, and, with --fix, the
// repair of a plain cartridge image (forced, of any but a reordered dump)
// that no DAT lists.
ChecksumRepair checksumOf(const std::string& file, const ChecksumOptions& options, const DatIndex* dats)
{
    if (options.fix)
        return RepairChecksum(file, options.force, dats);
    iSMD_ header;
    ReadHeader(file, header);
    return {header.HeaderCrc, header.FileCrc, false};
}

Outcome checksumText(const Batch& batch, const std::string& file, const ChecksumOptions& options, const DatIndex* dats,
                     std::string& out)
{
    const ChecksumRepair result = checksumOf(file, options, dats);
    std::string line = prefix(batch, file) + "stored " + Hex4(result.stored) + " computed " + Hex4(result.computed);
    if (result.written && batch.many())
        line += " fixed";
    out = line + "\n";
    return outcomeOf(result.stored == result.computed, result.written);
}

// The status follows the checksum the line shows, which for a copier dump is
// that of the image it holds. The repair decides on what the report read.
Outcome checksumJson(const std::string& file, const ChecksumOptions& options, const DatIndex* dats, std::string& out)
{
    const ImageReport report = ReportImage(file, kReportHashes);
    const ChecksumFacts facts{report.format, report.fileSize, report.header.storedChecksum, report.computedChecksum,
                              *report.hashes};
    const bool fixed = options.fix && RepairChecksum(file, facts, options.force, dats).written;
    Json object = ReportJson(file, report);
    object["fixed"] = fixed;
    if (dats)
        object["dat"] = DatJson(dats->identify(report.identity()));
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

// The hashes asked for, apart by blanks, two blanks and the name, as
// sha1sum and its kin write them. A name that holds a backslash, a line feed
// or a carriage return is written as they write it too: those escaped, and
// a backslash before the line. On Windows the backslash separates folders,
// and stays as it is.
std::string hashLine(const FileHashes& hashes, const std::string& file)
{
    std::string line, name;
    for (const std::string* hash : {&hashes.crc32, &hashes.md5, &hashes.sha1, &hashes.sha256})
        if (!hash->empty())
            line += (line.empty() ? "" : " ") + *hash;
    const bool escapeBackslash = platform::separator() != '\\';
    for (const char c : file)
        name += c == '\\' && escapeBackslash ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    return (name.size() > file.size() ? "\\" : "") + line + "  " + NameOnOut(name) + "\n";
}

Outcome identifyText(const std::string& file, const std::optional<DatMatch>& match, std::string& out)
{
    const std::string name = match ? textOnOut(std::string(match->entry->game)) : "no match";
    out = NameOnOut(file) + ": " + name + (match && match->plainImage ? " (as plain image)" : "") + "\n";
    return match ? Outcome::Matched : Outcome::Unmatched;
}

using FileWork = std::function<Outcome(const Batch& batch, const std::string& file, std::string& out)>;

// Runs the work over every file the options name and returns the exit status.
int runBatch(const CollectionOptions& options, Summary summary, const FileWork& work)
{
    Batch batch(options.paths, options.recursive, options.json);
    batch.run([&](const std::string& file, std::string& out) { return work(batch, file, out); });
    batch.summarize(summary);
    return batch.exitStatus();
}

} // namespace

int RunInfo(const CollectionOptions& options)
{
    return runBatch(options, Summary::Read, [&](const Batch& batch, const std::string& file, std::string& out) {
        if (options.json)
            return infoJson(file, out);
        return options.longView ? infoLong(batch, file, out) : infoText(batch, file, out);
    });
}

int RunChecksum(const CollectionOptions& options, const ChecksumOptions& checksum)
{
    // Only a repair and a report use the DATs.
    const std::optional<DatIndex> dats
        = checksum.fix || options.json ? loadDats(options.dats) : std::optional<DatIndex>();
    const DatIndex* index = dats ? &*dats : nullptr;
    return runBatch(options, Summary::Checksums, [&](const Batch& batch, const std::string& file, std::string& out) {
        return options.json ? checksumJson(file, checksum, index, out)
                            : checksumText(batch, file, checksum, index, out);
    });
}

int RunScan(const CollectionOptions& options)
{
    return runBatch(options, Summary::Read, [&](const Batch& batch, const std::string& file, std::string& out) {
        return options.json ? infoJson(file, out) : scanText(batch, file, out);
    });
}

int RunHash(const CollectionOptions& options, HashKinds hashes)
{
    if (!hashes.any())
        hashes.sha1 = true;
    return runBatch(options, Summary::Read, [&](const Batch&, const std::string& file, std::string& out) {
        out = hashLine(HashFile(file, hashes), file);
        return Outcome::Done;
    });
}

int RunIdentify(const CollectionOptions& options)
{
    const std::optional<DatIndex> dats = loadDats(options.dats);
    if (!dats)
        throw UsageError("identify needs a DAT file: --dat FILE, or VARNOQUIL_DAT");
    return runBatch(options, Summary::Matches, [&](const Batch&, const std::string& file, std::string& out) {
        if (!options.json)
            return identifyText(file, dats->identify(HashImage(file, kDatHashes)), out);
        const ImageReport report = ReportImage(file, kReportHashes);
        const std::optional<DatMatch> match = dats->identify(report.identity());
        Json object = ReportJson(file, report);
        object["dat"] = DatJson(match);
        out = JsonLine(object);
        return match ? Outcome::Matched : Outcome::Unmatched;
    });
}

} // namespace varnoquil::cli
