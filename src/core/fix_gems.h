#pragma once

#include "rom.h"

#include <cstdint>
#include <functional>
#include <string>

namespace varnoquil {

struct FixGemsRequest {
    std::string inFile;
    std::string outFile;
    double fmScale = 1.0;
    double psgScale = 1.0;
    bool fixChecksum = true;
};

// How a run reports itself, step by step. A callback left out does nothing.
struct FixGemsProgress {
    std::function<void()> clearStatus = [] {};
    // Text appended to the status, line breaks (CR LF) included.
    std::function<void(const std::string&)> appendStatus = [](const std::string&) {};
    std::function<void(std::int64_t)> setMaximum = [](std::int64_t) {};
    std::function<void(std::int64_t)> advance = [](std::int64_t) {};
    // A moment to let the user interface repaint.
    std::function<void()> processPending = [] {};
};

// The status texts of a run.
namespace FixGemsStatus {
inline const std::string Loading = "Loading..";
inline const std::string FmFixed = "fm fixed";
inline const std::string FmNotFixed = "fm not fixed";
inline const std::string PsgFixed = "psg fixed";
inline const std::string PsgNotFixed = "psg not fixed";
inline const std::string ChecksumFix = "checksum fix..";
inline const std::string Finished = "Fix Finished!";
} // namespace FixGemsStatus

// Retunes the GEMS tables of the input file into the output file: loads the
// whole input, replaces the first FM and PSG tables found, optionally repairs
// the header checksum, and writes the output. The input is never changed: the
// same file as input and output is refused, and the output is written to a
// temporary file that takes the output's name only once it is complete.
// image is the buffer the run works in (reused between runs).
void FixGems(const FixGemsRequest& request, const FixGemsProgress& progress, a_byte& image);

} // namespace varnoquil
