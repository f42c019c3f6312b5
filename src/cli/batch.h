// SPDX-License-Identifier: MIT
#pragma once

#include "browser/browser.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Runs a command over the files that its paths name, and sums up.
namespace varnoquil::cli {

// What a command made of one file.
enum class Outcome {
    Done,
    ChecksumEqual,
    ChecksumDiffers,
    ChecksumFixed,
    Matched, // a DAT lists the image
    Unmatched,
};

// What the last line of a batch counts.
enum class Summary {
    Read, // "N files: A read, D failed"
    Checksums, // "N files: A equal, B differ, C fixed, D failed"
    Matches, // "N files: A matched, B unmatched, D failed"
};

class Batch {
public:
    // paths as given on the command line; folders stand for their ROM images.
    Batch(const std::vector<std::string>& paths, bool recursive, bool json);

    // Results name their file when more than one file is named, or a folder.
    bool many() const { return many_; }

    // What a command does with one file: it puts what is to be printed on
    // standard output into out. Several files may be worked on at once, in
    // separate threads, but never one file twice at once (the same file may
    // be named twice, through any path); the outputs are printed in the
    // files' order.
    using Work = std::function<Outcome(const std::string& file, std::string& out)>;

    // Runs work on every file. When results name their file, or with JSON, a
    // failure is reported for its file ("PATH: message" on standard error, or
    // an error object) and the run goes on; otherwise it ends the run as an
    // error of the command, about the file. A folder or an entry that cannot
    // be read is reported as a failed file. Standard output that cannot be
    // written ends the run.
    void run(const Work& work);

    // Sums up on standard error, when results name their file.
    void summarize(Summary summary) const;

    // 1 if any file failed, else 3 if a checksum differs and was not fixed,
    // else 5 if an image is in no DAT, else 0.
    int exitStatus() const;

private:
    struct Result;
    void runOneByOne(const Work& work);
    void runTogether(const Work& work);
    void report(const std::string& file, const Result& result);
    void count(Outcome outcome);

    std::vector<browser::CollectedPath> paths_;
    // For each path, the index of the last path before it that names the
    // same file, or none.
    std::vector<std::size_t> sameAsEarlier_;
    bool many_ = false;
    bool json_ = false;
    int done_ = 0, equal_ = 0, differ_ = 0, fixed_ = 0, matched_ = 0, unmatched_ = 0, failed_ = 0;
};

} // namespace varnoquil::cli
