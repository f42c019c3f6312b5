// SPDX-License-Identifier: MIT
#pragma once

#include "gems/pitch_tables.h"
#include "gems/table_search.h"
#include "rom/rom.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varnoquil {

// What a Fix GEMS run is asked to do. The scales were checked when they
// were made.
struct FixGemsRequest {
    std::string inFile;
    std::string outFile;
    Scales scales;
    bool fixChecksum = true;
};

// The steps a run reports, in the order they come: Loading, one of the FM
// steps, one of the PSG steps, ChecksumFix when the checksum is repaired,
// and Finished.
enum class FixGemsStep { Loading, FmFixed, FmNotFixed, PsgFixed, PsgNotFixed, ChecksumFix, Finished };

// The status line of a step, as the window and the command line show it:
// "Loading..", "fm fixed", "fm not fixed", "psg fixed", "psg not fixed",
// "checksum fix..", "Fix Finished!".
const char* StatusLine(FixGemsStep step);

// How a run reports itself. A callback left out does nothing.
struct FixGemsProgress {
    std::function<void(FixGemsStep)> reached = [](FixGemsStep) {};
    std::function<void(std::int64_t)> setMaximum = [](std::int64_t) {};
    std::function<void(std::int64_t)> advance = [](std::int64_t) {};
    // A pause between the steps of a run.
    std::function<void()> processPending = [] {};
    // Asked before each step of progress, piece by piece while the input is
    // read and copied: true stops the run with a CancelledError, and the
    // output is not made. It may be called on another thread than the
    // caller's, as the run itself may.
    std::function<bool()> cancelled = [] { return false; };
};

// Retunes the GEMS tables of the input file into the output file: replaces
// the first FM and PSG tables found, optionally repairs the header checksum,
// and writes the output. The input is never changed: the same file as input
// and output is refused, and the output is written to a temporary file that
// takes the output's name only once it is complete. With the checksum repair
// on, an input that is not a plain cartridge image is refused ("Not a
// cartridge ROM image") before the output is created, as its checksum does
// not lie at 0x18E of the file. An error names the file it is about.
//
// The input is read once, in pieces, to find the tables and sum the image;
// the output is then a copy of the input with the replaced bytes written
// over it, so memory does not grow with the image. buffer is the memory the
// input is read through (reused between runs).
//
// The progress bar's maximum counts every byte twice (read, then copied)
// plus the steps between them, so the bar ends full.
//
// Returns which tables were found and replaced, and how the tables written
// fit their fields; nothing is found when a file name is empty and the run
// does nothing.
struct FixGemsResult {
    bool fmFixed = false;
    bool psgFixed = false;
    TableFit fmFit; // of the FM table written, when fmFixed
    TableFit psgFit; // of the PSG table written, when psgFixed
};
FixGemsResult FixGems(const FixGemsRequest& request, const FixGemsProgress& progress, a_byte& buffer);

// What the user should know of the tables a run wrote, one line each:
// entries that do not fit their field, and a table whose entries all came
// out the same ("all 13 FM entries are 0000").
std::vector<std::string> FixGemsWarnings(const FixGemsResult& result);

// The plan of a run, from one pass over its input: the checksum sum of
// 0x200..end as read, and the tables to replace.
struct FixGemsPlan {
    std::uint32_t sum = 0;
    std::optional<TablePatch> fm;
    std::optional<TablePatch> psg;
};

// Reads an image of length bytes in order through read(into, n), piece by
// piece, calling advance(n) after each piece.
FixGemsPlan PlanFixGems(
    std::uint64_t length, const std::function<void(std::uint8_t*, std::size_t)>& read, const Scales& scales,
    a_byte& buffer, std::size_t pieceSize = kReadPiece,
    const std::function<void(std::int64_t)>& advance = [](std::int64_t) {});

// The header checksum of the image once the plan's tables are replaced.
std::uint16_t PatchedChecksum(const FixGemsPlan& plan);

} // namespace varnoquil
