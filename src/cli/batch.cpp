#include "batch.h"

#include "browser.h"
#include "exit_status.h"
#include "json_report.h"
#include "platform.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace varnoquil::cli {

Batch::Batch(const std::vector<std::string>& paths, bool recursive, bool json)
    : files_(browser::CollectRomImages(paths, recursive)),
      many_(paths.size() > 1 || std::any_of(paths.begin(), paths.end(), platform::isDirectory)),
      json_(json)
{
}

void Batch::run(const std::function<Outcome(const std::string& file)>& work)
{
    const bool keepGoing = many_ || json_;
    for (const std::string& file : files_) {
        Outcome outcome = Outcome::Done;
        if (!keepGoing) {
            outcome = work(file);
        } else {
            try {
                outcome = work(file);
            } catch (const std::exception& error) {
                fail(file, error.what());
                continue;
            }
        }
        switch (outcome) {
        case Outcome::Done: ++done_; break;
        case Outcome::ChecksumEqual: ++equal_; break;
        case Outcome::ChecksumDiffers: ++differ_; break;
        case Outcome::ChecksumFixed: ++fixed_; break;
        }
    }
}

void Batch::fail(const std::string& file, const std::string& message)
{
    ++failed_;
    if (json_)
        PrintJsonLine(ErrorJson(file, message));
    else
        std::fprintf(stderr, "%s: %s\n", file.c_str(), message.c_str());
}

void Batch::summarize(bool checksums) const
{
    if (!many_)
        return;
    std::fflush(stdout);
    const std::size_t total = files_.size();
    if (checksums)
        std::fprintf(stderr, "%zu files: %d equal, %d differ, %d fixed, %d failed\n", total, equal_, differ_, fixed_,
                     failed_);
    else
        std::fprintf(stderr, "%zu files: %d read, %d failed\n", total, done_, failed_);
}

int Batch::exitStatus() const
{
    if (failed_ > 0)
        return kExitIoError;
    return differ_ > 0 ? kExitChecksumDiffers : kExitOk;
}

} // namespace varnoquil::cli
