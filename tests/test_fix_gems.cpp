// SPDX-License-Identifier: MIT
#include "errors.h"
#include "fix_gems.h"
#include "gems.h"
#include "platform.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace varnoquil;
using namespace vtest;

namespace {

// The command as it worked on the whole image in memory: replace the first
// FM table, then the first PSG table, then store the checksum of 0x200..end
// when the image holds its field. Every output must be byte for byte this.
a_byte WholeImageFix(a_byte image, double fmScale, double psgScale, bool checksum)
{
    FixFmTable(image, fmScale);
    FixPsgTable(image, psgScale);
    if (checksum && image.size() >= 0x190)
        image = RomBuilder(image).BigEndian(0x18E, checksumRange(image, 512, std::int64_t(image.size()) - 1), 2).bytes;
    return image;
}

const a_byte kFm = LittleEndian(BuildFmTable(1.0));
const a_byte kPsg = LittleEndian(BuildPsgTable(1.0));

// The first scale from `from` upwards, in steps of `step`, whose FM table
// satisfies holds.
double FirstScale(double from, double step, const std::function<bool(const FmTable&)>& holds)
{
    for (double scale = from; scale < from + 100000 * step; scale += step)
        if (holds(BuildFmTable(scale)))
            return scale;
    throw std::logic_error("no such scale");
}

// Scales whose FM replacement completes a PSG table that touches the FM
// table by one byte, which the PSG search must then find: the replacement's
// last byte becomes the PSG table's first (a low byte, F9 within 1), or its
// first byte the PSG table's last (a high byte, 00).
const double kScaleEndingInF9 = FirstScale(40, 0.01, [](const FmTable& t) { return t[12] >> 8 == 0xF9; });
const double kScaleStartingWith00 = FirstScale(1, 0.0001, [](const FmTable& t) { return (t[0] & 0xFF) == 0; });

// A PSG table that starts on the last byte of an FM table before it, and one
// that ends on the first byte of an FM table after it.
a_byte PsgStartingOnFm()
{
    a_byte bytes = kFm;
    bytes.insert(bytes.end(), kPsg.begin() + 1, kPsg.end());
    return bytes;
}

a_byte PsgEndingOnFm()
{
    a_byte bytes(kPsg.begin(), kPsg.end() - 1);
    bytes.insert(bytes.end(), kFm.begin(), kFm.end());
    return bytes;
}

// A copy of a table with one byte changed by delta.
a_byte Changed(a_byte bytes, std::size_t index, int delta)
{
    bytes[index] = std::uint8_t(bytes[index] + delta);
    return bytes;
}

struct Sample {
    a_byte image;
    double fmScale = 1.25, psgScale = 1.5;
};

// Random images full of near misses: filler drawn from the tables' own
// bytes, copies of the tables whole, cut short, with a byte off by one or
// two, touching or completed by the FM replacement, at any offset.
Sample RandomSample(std::mt19937& rng)
{
    const std::size_t sizes[] = {rng() % 160, rng() % 700, rng() % 3000, 510 + rng() % 5};
    a_byte image(sizes[rng() % 4]);
    const bool patternFiller = rng() % 2 == 0;
    for (auto& b : image)
        b = patternFiller ? (rng() % 2 ? kFm[rng() % kFm.size()] : kPsg[rng() % kPsg.size()]) : std::uint8_t(rng());

    const a_byte pieces[] = {kFm,
                             kPsg,
                             Changed(kFm, rng() % kFm.size(), 1),
                             Changed(kPsg, rng() % 64 * 2, rng() % 2 ? 1 : -1),
                             Changed(kPsg, rng() % kPsg.size(), 2),
                             a_byte(kFm.begin(), kFm.begin() + rng() % 26),
                             PsgStartingOnFm(),
                             PsgEndingOnFm()};
    for (int copies = rng() % 4; copies > 0; --copies) {
        const a_byte& piece = pieces[rng() % std::size(pieces)];
        if (piece.size() <= image.size())
            std::copy(piece.begin(), piece.end(),
                      image.begin() + std::ptrdiff_t(rng() % (image.size() - piece.size() + 1)));
    }
    const double scales[] = {1, 1.25, 2, 0.5, 0.001, kScaleEndingInF9, kScaleStartingWith00};
    return {image, scales[rng() % std::size(scales)], scales[rng() % std::size(scales)]};
}

TEST(ScanImage, FindsWhatTheWholeImageSearchFindsWhateverThePieceSize)
{
    std::mt19937 rng(14);
    for (int round = 0; round < 3000; ++round) {
        const Sample s = RandomSample(rng);
        a_byte whole = s.image;
        const std::int64_t fmAt = FindFmTable(whole);
        FixFmTable(whole, s.fmScale);
        const std::int64_t psgAt = FindPsgTable(whole);
        FixPsgTable(whole, s.psgScale);
        const auto checksum = std::uint16_t(checksumRange(whole, 512, std::int64_t(whole.size()) - 1));

        const std::size_t pieceSizes[] = {1, 2, 25, 26, 127, 128, 153, 4096};
        const std::size_t pieceSize = pieceSizes[rng() % std::size(pieceSizes)];
        a_byte buffer;
        std::size_t read = 0;
        const ImageScan scan = ScanImage(
            s.image.size(),
            [&](std::uint8_t* into, std::size_t n) {
                std::memcpy(into, s.image.data() + read, n);
                read += n;
            },
            s.fmScale, s.psgScale, buffer, pieceSize);
        ASSERT_EQ(std::make_tuple(scan.fm ? std::int64_t(scan.fm->offset) : -1,
                                  scan.psg ? std::int64_t(scan.psg->offset) : -1, PatchedChecksum(scan)),
                  std::make_tuple(fmAt, psgAt, checksum))
            << "round " << round << ", pieces of " << pieceSize;
    }
}

// Progress callbacks that log every call in order, consecutive advances as
// one step of their sum, and follow the bar's position. The advances of the
// pass (up to the first status line after the maximum) are kept apart.
struct Recorder {
    std::vector<std::string> log;
    std::vector<std::int64_t> passSteps;
    std::int64_t maximum = 0, position = 0, highest = 0;
    bool passing = false;

    FixGemsProgress Callbacks()
    {
        return {[this] { log.push_back("clear"); },
                [this](const std::string& text) {
                    passing = false;
                    log.push_back("+" + text);
                },
                [this](std::int64_t n) {
                    passing = true;
                    log.push_back("max " + std::to_string(maximum = n));
                },
                [this](std::int64_t n) {
                    if (passing)
                        passSteps.push_back(n);
                    highest = std::max(highest, position += n);
                    if (!log.empty() && log.back().rfind("step ", 0) == 0) {
                        n += std::stoll(log.back().substr(5));
                        log.pop_back();
                    }
                    log.push_back("step " + std::to_string(n));
                },
                [this] { log.push_back("pending"); }};
    }
};

TEST(FixGems, StatusLinesAndABarThatFillsThroughTheRun)
{
    struct Case {
        std::size_t size;
        bool fm, psg, checksum;
    };
    const Case cases[] = {{0x1000, true, true, true},
                          {0x1000, false, true, false},
                          {0, false, false, true},
                          {2 * kScanPiece + 0x1000, true, false, true}};
    for (const Case& c : cases) {
        TempDir dir;
        RomBuilder rom = RomBuilder(c.size).Random(unsigned(c.size));
        if (c.fm)
            rom.Put(0x801, kFm);
        if (c.psg)
            rom.Put(0x900, kPsg);
        WriteFile(dir.Path("in.bin"), rom.bytes);
        Recorder recorder;
        a_byte buffer;
        FixGems({dir.Path("in.bin"), dir.Path("out.bin"), 1.25, 1.5, c.checksum}, recorder.Callbacks(), buffer);

        const std::int64_t size = std::int64_t(c.size), fixedSteps = c.checksum ? 32 : 22;
        std::vector<std::string> events = {"clear",
                                           "+Loading..\r\n",
                                           "max " + std::to_string(2 * size + fixedSteps),
                                           "pending",
                                           "step " + std::to_string(size + 1),
                                           c.fm ? "+fm fixed" : "+fm not fixed",
                                           "step 10",
                                           "pending",
                                           c.psg ? "+\r\npsg fixed\r\n" : "+\r\npsg not fixed\r\n",
                                           "step 10",
                                           "pending"};
        if (c.checksum)
            events.push_back("+checksum fix..\r\n");
        events.insert(events.end(), {"step " + std::to_string(size + (c.checksum ? 11 : 1)), "+Fix Finished!"});
        EXPECT_EQ(recorder.log, events) << c.size;
        EXPECT_EQ(recorder.highest, recorder.maximum) << c.size;
        EXPECT_EQ(recorder.position, recorder.maximum) << c.size;
        // The bar moves with every piece read, then once more.
        EXPECT_EQ(recorder.passSteps.size(), (c.size + kScanPiece - 1) / kScanPiece + 1) << c.size;
    }
}

// Every output equals the whole-image fix; the found/not-found status lines
// are checked by the test above.
TEST(FixGems, WritesWhatTheWholeImageFixWrites)
{
    const std::size_t piece = kScanPiece;
    const auto at = [](std::size_t size, std::vector<std::pair<std::size_t, a_byte>> put) {
        RomBuilder rom = RomBuilder(size).Random(unsigned(size));
        if (size >= 0x200)
            rom.GameHeader().BigEndian(0x18E, 0xBEEF, 2);
        for (const auto& [offset, bytes] : put)
            rom.Put(offset, bytes);
        return rom.bytes;
    };
    // clang-format off
    const std::pair<const char*, Sample> cases[] = {
        {"empty", {at(0, {})}},
        {"fm filling the image", {at(26, {{0, kFm}})}},
        {"psg filling the image", {at(128, {{0, kPsg}})}},
        {"too short for the checksum field", {at(399, {{100, kFm}})}},
        {"just holding the checksum field", {at(400, {{100, kFm}})}},
        {"no checksum range", {at(512, {{300, kPsg}})}},
        {"one byte in the checksum range", {at(513, {{301, kFm}})}},
        {"odd offsets, a psg low byte off by one", {at(0x1001, {{0x801, kFm}, {0x903, Changed(kPsg, 38, 1)}})}},
        {"both at the image's odd end", {at(0x1001, {{0x1001 - 154, kFm}, {0x1001 - 128, kPsg}})}},
        {"psg completed by the fm table's last byte", {at(0x1000, {{0x777, PsgStartingOnFm()}}), kScaleEndingInF9}},
        {"psg completed by the fm table's first byte", {at(0x1000, {{0x777, PsgEndingOnFm()}}), kScaleStartingWith00}},
        {"psg completed only by another scale", {at(0x1000, {{0x777, PsgEndingOnFm()}})}},
        {"fm over the checksum field, psg across 0x200", {at(0x1000, {{0x180, kFm}, {0x1F1, kPsg}})}},
        {"scale 1 changes only the psg low byte", {at(0x1000, {{0x801, kFm}, {0x900, Changed(kPsg, 0, -1)}}), 1, 1}},
        {"fm across a piece boundary", {at(piece + 999, {{piece - 13, kFm}, {piece + 200, kPsg}})}},
        {"psg across a piece boundary", {at(2 * piece, {{100, kFm}, {piece - 63, kPsg}})}},
        {"psg completed across a piece boundary", {at(piece + 500, {{piece - 140, PsgEndingOnFm()}}), kScaleStartingWith00}},
    };
    // clang-format on
    for (const auto& [what, s] : cases) {
        for (const bool checksum : {true, false}) {
            TempDir dir;
            WriteFile(dir.Path("in.bin"), s.image);
            a_byte buffer(77, 0xAA); // left over from an earlier run
            FixGems({dir.Path("in.bin"), dir.Path("out.bin"), s.fmScale, s.psgScale, checksum}, {}, buffer);
            EXPECT_EQ(ReadFile(dir.Path("out.bin")), WholeImageFix(s.image, s.fmScale, s.psgScale, checksum))
                << what << ", checksum " << checksum;
        }
    }
}

// Runs a request that must leave every file as it was; returns the code of
// its I/O error, 0 when it was refused up front, -1 when it did nothing.
int Attempt(const TempDir& dir, const std::string& in, const std::string& out, double fm = 1)
{
    const auto before = dir.Contents();
    Recorder recorder;
    a_byte buffer;
    int code = -1;
    try {
        FixGems({dir.Path(in), out.empty() ? "" : dir.Path(out), fm, 1, true}, recorder.Callbacks(), buffer);
    } catch (const RequestError&) {
        code = 0;
    } catch (const IoError& e) {
        code = e.code();
    }
    EXPECT_EQ(dir.Contents(), before) << in << " -> " << out;
    EXPECT_TRUE(code > 0 || recorder.log.empty()) << in << " -> " << out;
    return code;
}

TEST(FixGems, RefusedOrFailedRunsLeaveEveryFileAsItWas)
{
    TempDir dir;
    WriteFile(dir.Path("in.bin"), RomBuilder(0x1000).Put(0x801, kFm).Put(0x900, kPsg).bytes);
    ::link(dir.Path("in.bin").c_str(), dir.Path("link.bin").c_str());
    EXPECT_EQ(Attempt(dir, "in.bin", "in.bin"), 0);
    EXPECT_EQ(Attempt(dir, "in.bin", "link.bin"), 0);
    EXPECT_EQ(Attempt(dir, "in.bin", "out.bin", 0), 0);
    EXPECT_EQ(Attempt(dir, "in.bin", ""), -1);
    EXPECT_EQ(Attempt(dir, "none.bin", "out.bin"), 2);
    EXPECT_EQ(Attempt(dir, "in.bin", "no/out.bin"), 2);
    WriteFile(dir.Path("out.bin"), {1, 2});
    ::chmod(dir.Path("out.bin").c_str(), 0444);
    EXPECT_EQ(Attempt(dir, "in.bin", "out.bin"), 5);
}

TEST(FixGems, AnInputWrittenToDuringTheRunGivesNoOutput)
{
    TempDir dir;
    WriteFile(dir.Path("in.bin"), RomBuilder(0x1000).Random(9).Put(0x801, kFm).bytes);
    FixGemsProgress progress;
    int pauses = 0; // the second comes between the pass over the input and its copy
    progress.processPending = [&] {
        if (++pauses == 2)
            std::ofstream(dir.Path("in.bin"), std::ios::app) << 'x';
    };
    a_byte buffer;
    try {
        FixGems({dir.Path("in.bin"), dir.Path("out.bin"), 2, 2, true}, progress, buffer);
        ADD_FAILURE() << "the run went through";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "The input file changed while it was read");
    }
    EXPECT_EQ(dir.Contents().size(), 1u);
}

TEST(FixGems, AnExistingOutputIsReplacedOnlyByACompleteFile)
{
    TempDir dir;
    const a_byte old = {1, 2, 3}, input = RomBuilder(0x1000).Random(7).Put(0x801, kFm).bytes;
    WriteFile(dir.Path("in.bin"), input);
    WriteFile(dir.Path("out.bin"), old);
    ::chmod(dir.Path("out.bin").c_str(), 0640);
    {
        const platform::PendingFile pending = platform::PendingFile::create(dir.Path("out.bin"));
        const platform::PendingFile fresh = platform::PendingFile::create(dir.Path("new.bin"));
        EXPECT_EQ(dir.Contents().size(), 4u) << "temporary files sit beside their targets";
    } // dropped without commit
    EXPECT_EQ(dir.Contents(), (std::map<std::string, a_byte>{{"in.bin", input}, {"out.bin", old}}));

    a_byte buffer;
    FixGems({dir.Path("in.bin"), dir.Path("out.bin"), 2, 2, false}, {}, buffer);
    EXPECT_EQ(dir.Contents(),
              (std::map<std::string, a_byte>{{"in.bin", input}, {"out.bin", WholeImageFix(input, 2, 2, false)}}));
    struct stat st {};
    ::stat(dir.Path("out.bin").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A copy within one file system is made by the kernel; one from /dev/shm (a
// memory file system) to the temporary folder usually cannot be and goes
// through the process instead. Both must give the same bytes, and a source
// shorter than the length asked for must fail the copy and leave nothing.
TEST(PendingFile, CopiesWithinAndAcrossFileSystemsAndFailsOnASourceCutShort)
{
    TempDir dir;
    const a_byte content = RomBuilder((3 << 20) + 5).Random(3).bytes;
    std::vector<std::string> sources = {dir.Path("source.bin")};
    struct stat shm {};
    if (::stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode))
        sources.push_back("/dev/shm/varnoquil-test-" + std::to_string(::getpid()));
    for (const std::string& source : sources) {
        WriteFile(source, content);
        {
            platform::BinaryFile in = platform::BinaryFile::openExisting(source);
            platform::PendingFile out = platform::PendingFile::create(dir.Path("copy.bin"));
            std::uint64_t copied = 0;
            out.copyFrom(in, content.size(), [&](std::uint64_t n) { copied += n; });
            out.writeAt(1, a_byte{0xEE}.data(), 1);
            out.commit();
            EXPECT_EQ(copied, content.size()) << source;
            EXPECT_EQ(ReadFile(dir.Path("copy.bin")), RomBuilder(content).Put(1, a_byte{0xEE}).bytes) << source;
            std::filesystem::remove(dir.Path("copy.bin"));

            platform::PendingFile cut = platform::PendingFile::create(dir.Path("cut.bin"));
            try {
                cut.copyFrom(in, content.size() + 1, [](std::uint64_t) {});
                ADD_FAILURE() << "a copy beyond the source's end went through: " << source;
            } catch (const IoError& e) {
                EXPECT_EQ(e.code(), IoCode::ReadBeyondEnd) << source;
            }
        }
        if (source != sources.front())
            std::filesystem::remove(source);
        EXPECT_EQ(dir.Contents().size(), 1u) << "only the source is left: " << source;
    }
}

} // namespace
