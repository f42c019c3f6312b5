// SPDX-License-Identifier: MIT
#include "batch.h"

#include "browser.h"
#include "errors.h"
#include "exit_status.h"
#include "json_report.h"
#include "platform.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <thread>

namespace varnoquil::cli {

namespace {

// Whole images are held in memory by some commands: a few at a time.
constexpr std::size_t kMaxWorkers = 4;

} // namespace

Batch::Batch(const std::vector<std::string>& paths, bool recursive, bool json)
    : files_(browser::CollectRomImages(paths, recursive)),
      many_(paths.size() > 1 || std::any_of(paths.begin(), paths.end(), platform::isDirectory)), json_(json)
{}

// One file's result, as a worker leaves it for printing.
struct Batch::Result {
    bool ready = false;
    Outcome outcome = Outcome::Done;
    std::string out;
    std::optional<std::string> error;
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
    for (const std::string& file : files_) {
        std::string out;
        const Outcome outcome = work(file, out);
        std::fwrite(out.data(), 1, out.size(), stdout);
        count(outcome);
    }
}

// Reading and summing many files is bound by the processor: workers take the
// files in turn while this thread prints each result as soon as it and all
// before it are done.
void Batch::runTogether(const Work& work)
{
    std::vector<Result> results(files_.size());
    std::mutex mutex;
    std::condition_variable done;
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i; (i = next++) < files_.size();) {
            Result result;
            try {
                result.outcome = work(files_[i], result.out);
            } catch (const std::bad_alloc&) {
                result.error = NotEnoughMemoryError().what();
            } catch (const std::exception& error) {
                result.error = error.what();
            }
            result.ready = true;
            const std::lock_guard<std::mutex> lock(mutex);
            results[i] = std::move(result);
            done.notify_all();
        }
    };
    const std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMaxWorkers);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < std::min(workers, files_.size()); ++i)
        threads.emplace_back(worker);

    for (std::size_t i = 0; i < files_.size(); ++i) {
        Result result;
        {
            std::unique_lock<std::mutex> lock(mutex);
            done.wait(lock, [&] { return results[i].ready; });
            result = std::move(results[i]);
        }
        report(files_[i], result);
    }
    for (std::thread& thread : threads)
        thread.join();
}

void Batch::report(const std::string& file, const Result& result)
{
    if (!result.error) {
        std::fwrite(result.out.data(), 1, result.out.size(), stdout);
        count(result.outcome);
        return;
    }
    ++failed_;
    if (json_)
        PrintJsonLine(ErrorJson(file, *result.error));
    else
        std::fprintf(stderr, "%s: %s\n", file.c_str(), result.error->c_str());
}

void Batch::count(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done: ++done_; break;
    case Outcome::ChecksumEqual: ++equal_; break;
    case Outcome::ChecksumDiffers: ++differ_; break;
    case Outcome::ChecksumFixed: ++fixed_; break;
    }
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
