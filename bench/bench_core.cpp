// Benchmarks of the core's hot paths: the checksum, the header reader, the
// GEMS table search and replacement, and the whole Fix GEMS command.

#include "bench_image.h"
#include "fix_gems.h"
#include "gems.h"
#include "rom.h"

#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdlib>
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
    const std::uint16_t expected =
        static_cast<std::uint16_t>(checksumRange(image, static_cast<std::int64_t>(kChecksumStart),
                                                 static_cast<std::int64_t>(image.size()) - 1));
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
void BenchmarkSearch(benchmark::State& state, std::int64_t (*find)(const a_byte&),
                     std::size_t (*placedAt)(const a_byte&), const char* table)
{
    const a_byte& image = ImageWithTables32MiB();
    for (auto _ : state) {
        std::int64_t at = find(image);
        benchmark::DoNotOptimize(at);
    }
    if (find(image) != static_cast<std::int64_t>(placedAt(image)))
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

// FixFmTable then FixPsgTable, as the command runs them. The replacement
// overwrites the tables, so they are put back before every iteration, outside
// the timed part.
void BM_FixFmAndPsgTables32MiB(benchmark::State& state)
{
    a_byte image = ImageWithTables32MiB();
    bool fixed = true;
    for (auto _ : state) {
        state.PauseTiming();
        bench::PlaceTables(image);
        state.ResumeTiming();
        const bool fm = FixFmTable(image, 1.25);
        const bool psg = FixPsgTable(image, 1.5);
        fixed = fixed && fm && psg;
        benchmark::ClobberMemory();
    }
    if (!fixed)
        state.SkipWithError("a table was not found");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(image.size()));
}
BENCHMARK(BM_FixFmAndPsgTables32MiB);

// The whole command on files: load, both tables, checksum repair, and the
// output written through its temporary file. The output is removed before
// every iteration (outside the timed part), so each run creates a new file.
// With a reused buffer (as the window keeps one between runs) the image's
// memory is already mapped; with a new buffer every time (as each run of the
// command-line tool has) the run also pays for mapping and zeroing 32 MiB.
void RunFixGems32MiB(benchmark::State& state, bool newBuffer)
{
    const a_byte& source = ImageWithTables32MiB();
    TempFolder folder;
    FixGemsRequest request;
    request.inFile = folder.file("in.bin");
    request.outFile = folder.file("out.bin");
    request.fmScale = 1.25;
    request.psgScale = 1.5;
    request.fixChecksum = true;
    bench::WriteFile(request.inFile, source);

    std::string status;
    FixGemsProgress progress;
    progress.clearStatus = [&] { status.clear(); };
    progress.appendStatus = [&](const std::string& text) { status += text; };
    a_byte reused;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(request.outFile);
        state.ResumeTiming();
        if (newBuffer) {
            a_byte image;
            FixGems(request, progress, image);
        } else {
            FixGems(request, progress, reused);
        }
    }
    if (status != "Loading..\r\nfm fixed\r\npsg fixed\r\nchecksum fix..\r\nFix Finished!")
        state.SkipWithError("the command did not fix both tables");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
}

void BM_FixGems32MiB(benchmark::State& state)
{
    RunFixGems32MiB(state, false);
}
BENCHMARK(BM_FixGems32MiB)->Unit(benchmark::kMillisecond);

void BM_FixGems32MiBNewBuffer(benchmark::State& state)
{
    RunFixGems32MiB(state, true);
}
BENCHMARK(BM_FixGems32MiBNewBuffer)->Unit(benchmark::kMillisecond);

} // namespace
