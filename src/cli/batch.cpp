// SPDX-License-Identifier: MIT
#include "batch.h"

#include "console.h"
#include "errors.h"
#include "exit_status.h"
#include "json_report.h"
#include "platform/platform.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <utility>

namespace varnoquil::cli {

namespace {

// Whole images are held in memory by some commands: a few at a time.
constexpr std::size_t kMaxWorkers = 4;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::vector<std::size_t> earlierAppearances(const std::vector<browser::CollectedPath>& paths)
{
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> last;
    std::vector<std::size_t> earlier(paths.size(), kNone);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::optional<platform::FileIdentity> identity = platform::identityOf(paths[i].path);
        if (!identity || !paths[i].problem.empty())
            continue;
        const auto [at, first] = last.try_emplace({identity->device, identity->inode}, i);
        if (!first)
            earlier[i] = std::exchange(at->second, i);
    }
    return earlier;
}

// Ends the workers of a run, also when printing fails: they take no more
// files, and the ones they hold are finished.
class Workers {
public:
    ~Workers()
    {
        stop = true;
        for (std::thread& thread : threads)
            thread.join();
    }
    std::vector<std::thread> threads;
    std::atomic<bool> stop{false};
};

} // namespace

Batch::Batch(const std::vector<std::string>& paths, bool recursive, bool json)
    : paths_(browser::CollectRomImages(paths, recursive)), sameAsEarlier_(earlierAppearances(paths_)),
      many_(paths.size() > 1 || std::any_of(paths.begin(), paths.end(), platform::isDirectory)), json_(json)
{}

// One file's result, as a worker leaves it for printing.
struct Batch::Result {
    Outcome outcome = Outcome::Done;
    std::string out;
    std::optional<std::string> error;

    static Result of(const Work& work, const browser::CollectedPath& path)
    {
        Result result;
        if (!path.problem.empty()) {
            result.error = path.problem;
            return result;
        }
        try {
            result.outcome = work(path.path, result.out);
        } catch (const std::bad_alloc&) {
            result.error = NotEnoughMemoryError().what();
        } catch (const std::exception& error) {
            result.error = error.what();
        }
        return result;
    }
};

void Batch::run(const Work& work)
{
    if (many_ || json_)
        runTogether(work);
    else
        runOneByOne(work);
}

void Batch::runOneByOne(const Work& work)
{
    for (const auto& [file, problem] : paths_) {
        if (!problem.empty())
            RaiseFor(FileError(problem), file);
        std::string out;
        const Outcome outcome = ForFile(file, [&, &path = file] { return work(path, out); });
        WriteOut(out);
        count(outcome);
    }
}

// Reading and summing many files is bound by the processor: workers take the
// files in turn while this thread prints each result as soon as it and all
// before it are done. A file named again waits for its earlier turn to end.
void Batch::runTogether(const Work& work)
{
    const std::size_t n = paths_.size();
    std::vector<Result> results(n);
    std::vector<bool> ready(n, false);
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<std::size_t> next{0};
    Workers workers;
    const auto worker = [&] {
        for (std::size_t i; !workers.stop && (i = next++) < n;) {
            if (const std::size_t earlier = sameAsEarlier_[i]; earlier != kNone) {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] { return ready[earlier]; });
            }
            Result result = Result::of(work, paths_[i]);
            const std::lock_guard<std::mutex> lock(mutex);
            results[i] = std::move(result);
            ready[i] = true;
            changed.notify_all();
        }
    };
    const std::size_t count = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMaxWorkers);
    for (std::size_t i = 0; i < std::min(count, n); ++i)
        workers.threads.emplace_back(worker);

    for (std::size_t i = 0; i < n; ++i) {
        Result result;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return ready[i]; });
            result = std::move(results[i]);
        }
        report(paths_[i].path, result);
    }
}

void Batch::report(const std::string& file, const Result& result)
{
    if (!result.error) {
        WriteOut(result.out);
        count(result.outcome);
        return;
    }
    ++failed_;
    if (json_)
        WriteOut(JsonLine(ErrorJson(file, *result.error)));
    else
        ComplainAbout(file, *result.error);
}

void Batch::count(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done: ++done_; break;
    case Outcome::ChecksumEqual: ++equal_; break;
    case Outcome::ChecksumDiffers: ++differ_; break;
    case Outcome::ChecksumFixed: ++fixed_; break;
    case Outcome::Matched: ++matched_; break;
    case Outcome::Unmatched: ++unmatched_; break;
    }
}

void Batch::summarize(Summary summary) const
{
    if (!many_)
        return;
    const std::string total = std::to_string(paths_.size()) + " files: ";
    const std::string failed = std::to_string(failed_) + " failed";
    switch (summary) {
    case Summary::Checksums:
        WriteErrLine(total + std::to_string(equal_) + " equal, " + std::to_string(differ_) + " differ, "
                     + std::to_string(fixed_) + " fixed, " + failed);
        break;
    case Summary::Matches:
        WriteErrLine(total + std::to_string(matched_) + " matched, " + std::to_string(unmatched_) + " unmatched, "
                     + failed);
        break;
    case Summary::Read: WriteErrLine(total + std::to_string(done_) + " read, " + failed); break;
    }
}

int Batch::exitStatus() const
{
    if (failed_ > 0)
        return kExitIoError;
    if (differ_ > 0)
        return kExitChecksumDiffers;
    return unmatched_ > 0 ? kExitUnmatched : kExitOk;
}

} // namespace varnoquil::cli
