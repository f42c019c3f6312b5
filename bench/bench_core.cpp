// SPDX-License-Identifier: MIT
// Benchmarks of the core's hot paths: the checksum, the header reader, the
// GEMS table searches, the Fix GEMS command's one pass over an image, the
// whole command, each hash, and reading a DAT.

#include "bench_dat.h"
#include "bench_image.h"
#include "gems/fix_gems.h"
#include "gems/table_search.h"
#include "identify/dat_index.h"
#include "identify/hashes.h"
#include "rom/rom.h"

#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

using namespace varnoquil;
namespace fs = std::filesystem;

constexpr std::size_t kMiB = 1 << 20;

// A folder of its own under the system's temporary folder, removed with
// everything in it when the benchmark is done.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "varnoquil-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::system_error(errno, std::generic_category(), "mkdtemp");
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const char* name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

// The images are built once per process: building 32 MiB of filler (and
// checking it for accidental tables) costs more than some of the runs.
const a_byte& PlainImage4MiB()
{
    static const a_byte image = bench::MakeImage(4 * kMiB, 1);
    return image;
}

const a_byte& ImageWithTables32MiB()
{
    static const a_byte image = [] {
        a_byte built = bench::MakeImage(32 * kMiB, 2);
        bench::PlaceTables(built);
        bench::StoreChecksum(built);
        return built;
    }();
    return image;
}

void BM_Checksum4MiB(benchmark::State& state)
{
    const a_byte& image = PlainImage4MiB();
    const auto last = static_cast<std::int64_t>(image.size()) - 1;
    for (auto _ : state) {
        std::uint32_t sum = checksumRange(image, static_cast<std::int64_t>(kChecksumStart), last);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(image.size() - kChecksumStart));
}
BENCHMARK(BM_Checksum4MiB);

void BM_ReadHeader4MiB(benchmark::State& state)
{
    const a_byte& image = PlainImage4MiB();
    TempFolder folder;
    const std::string path = folder.file("image.bin");
    bench::WriteFile(path, image);
    const std::uint16_t expected = static_cast<std::uint16_t>(
        checksumRange(image, static_cast<std::int64_t>(kChecksumStart), static_cast<std::int64_t>(image.size()) - 1));
    iSMD_ info;
    for (auto _ : state) {
        ReadHeader(path, info);
        benchmark::DoNotOptimize(info.FileCrc);
    }
    if (info.FileCrc != expected)
        state.SkipWithError("ReadHeader computed a wrong checksum");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(image.size()));
}
BENCHMARK(BM_ReadHeader4MiB);

// The two searches alone, over an image whose tables sit near its end. The
// bytes counted are those scanned before the match.
void BenchmarkSearch(benchmark::State& state, std::int64_t (*find)(const std::uint8_t*, std::size_t),
                     std::size_t (*placedAt)(const a_byte&), const char* table)
{
    const a_byte& image = ImageWithTables32MiB();
    for (auto _ : state) {
        std::int64_t at = find(image.data(), image.size());
        benchmark::DoNotOptimize(at);
    }
    if (find(image.data(), image.size()) != static_cast<std::int64_t>(placedAt(image)))
        state.SkipWithError((std::string("the ") + table + " table was not found where it was placed").c_str());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(placedAt(image)));
}

void BM_FindFmTable32MiB(benchmark::State& state)
{
    BenchmarkSearch(state, FindFmTable, bench::FmTableOffset, "FM");
}
BENCHMARK(BM_FindFmTable32MiB);

void BM_FindPsgTable32MiB(benchmark::State& state)
{
    BenchmarkSearch(state, FindPsgTable, bench::PsgTableOffset, "PSG");
}
BENCHMARK(BM_FindPsgTable32MiB);

// The command's one pass over an image: the checksum and both searches,
// piece by piece, here over an image in memory (the pieces are copied out
// of it, as reading a file in the page cache does).
void BM_PlanFixGems32MiB(benchmark::State& state)
{
    const a_byte& image = ImageWithTables32MiB();
    a_byte buffer;
    bool found = true;
    for (auto _ : state) {
        std::size_t read = 0;
        const FixGemsPlan plan = PlanFixGems(
            image.size(),
            [&](std::uint8_t* into, std::size_t n) {
                std::memcpy(into, image.data() + read, n);
                read += n;
            },
            Scales{Scale(1.25), Scale(1.5)}, buffer);
        found = found && plan.fm && plan.psg;
        benchmark::DoNotOptimize(plan.sum);
    }
    if (!found)
        state.SkipWithError("a table was not found");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(image.size()));
}
BENCHMARK(BM_PlanFixGems32MiB);

// The whole command on files: the pass over the input, then its copy with
// the tables and the checksum written over it, through a temporary file.
// The output is removed before every iteration (outside the timed part), so
// each run creates a new file.
void BM_FixGems32MiB(benchmark::State& state)
{
    const a_byte& source = ImageWithTables32MiB();
    TempFolder folder;
    FixGemsRequest request;
    request.inFile = folder.file("in.bin");
    request.outFile = folder.file("out.bin");
    request.scales.fm = Scale(1.25);
    request.scales.psg = Scale(1.5);
    request.fixChecksum = true;
    bench::WriteFile(request.inFile, source);

    a_byte buffer;
    bool fixed = true;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(request.outFile);
        state.ResumeTiming();
        const FixGemsResult result = FixGems(request, {}, buffer);
        fixed = fixed && result.fmFixed && result.psgFixed;
    }
    if (!fixed)
        state.SkipWithError("the command did not fix both tables");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
}
BENCHMARK(BM_FixGems32MiB)->Unit(benchmark::kMillisecond);

// One hash of a 4 MiB image in memory, fed in the pieces a file is read in.
void BM_Hash4MiB(benchmark::State& state, HashKinds kinds)
{
    const a_byte& image = PlainImage4MiB();
    for (auto _ : state) {
        Hasher hasher(kinds);
        for (std::size_t at = 0; at < image.size(); at += kReadPiece)
            hasher.add(image.data() + at, std::min(kReadPiece, image.size() - at));
        FileHashes hashes = hasher.finish();
        benchmark::DoNotOptimize(hashes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(image.size()));
}
BENCHMARK_CAPTURE(BM_Hash4MiB, Crc32, HashKinds{true, false, false, false});
BENCHMARK_CAPTURE(BM_Hash4MiB, Md5, HashKinds{false, true, false, false});
BENCHMARK_CAPTURE(BM_Hash4MiB, Sha1, HashKinds{false, false, true, false});
BENCHMARK_CAPTURE(BM_Hash4MiB, Sha256, HashKinds{false, false, false, true});

// Reading a DAT of 60,000 games from a file, as the command-line tool does
// before its first image.
void BM_LoadDat60000(benchmark::State& state)
{
    TempFolder folder;
    const std::string path = folder.file("bench.dat");
    const std::string dat = bench::MakeDat(60000, {});
    bench::WriteFile(path, a_byte(dat.begin(), dat.end()));
    for (auto _ : state) {
        DatIndex index = DatIndex::load({path});
        benchmark::DoNotOptimize(index);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(dat.size()));
}
BENCHMARK(BM_LoadDat60000)->Unit(benchmark::kMillisecond);

} // namespace
