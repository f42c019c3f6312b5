// SPDX-License-Identifier: MIT
#include "gems/fix_gems.h"
#include "gems/table_search.h"
#include "reference_fix.h"
#include "rom_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numeric>
#include <random>

using namespace varnoquil;
using namespace vtest;

// The driver's own tables, as they lie in the games.
const FmTable kFm1
    = {0x0284, 0x02AA, 0x02D3, 0x02FE, 0x032B, 0x035B, 0x038E, 0x03C5, 0x03FE, 0x043B, 0x047B, 0x04BF, 0x0508};
const PsgTable kPsg1
    = {0x03F9, 0x03C0, 0x038A, 0x0357, 0x0327, 0x02FA, 0x02CF, 0x02A7, 0x0281, 0x025D, 0x023B, 0x021B, 0x01FC,
       0x01E0, 0x01C5, 0x01AC, 0x0194, 0x017D, 0x0168, 0x0153, 0x0140, 0x012E, 0x011D, 0x010D, 0x00FE, 0x00F0,
       0x00E2, 0x00D6, 0x00CA, 0x00BE, 0x00B4, 0x00AA, 0x00A0, 0x0097, 0x008F, 0x0087, 0x007F, 0x0078, 0x0071,
       0x006B, 0x0065, 0x005F, 0x005A, 0x0055, 0x0050, 0x004C, 0x0047, 0x0043, 0x0040, 0x003C, 0x0039, 0x0035,
       0x0032, 0x0030, 0x002D, 0x002A, 0x0028, 0x0026, 0x0024, 0x0022, 0x0020, 0x001E, 0x001C, 0x001B};

const a_byte kFm = LittleEndian(kFm1), kPsg = LittleEndian(kPsg1);

TEST(Tables, ValuesAndEntriesThatDoNotFitTheirFieldForEachScale)
{
    EXPECT_EQ(std::pair(BuildFmTable(Scale(1.0)), BuildPsgTable(Scale(1.0))), std::pair(kFm1, kPsg1));
    // As they lie in a ROM image: each entry little-endian, the first too.
    EXPECT_EQ(TableBytes(std::array<std::uint16_t, 2>{0x1234, 0xABCD}),
              (std::array<std::uint8_t, 4>{0x34, 0x12, 0xCD, 0xAB}));
    // C5 (1288 at scale 1) is 2047 at 1.59 and B4 is 65535 at 53.923: a
    // value that just fits is not counted. What is written is the low 16 bits.
    // FM C4 and C5, PSG first and last, FM above 11 bits, wrapped FM and
    // PSG, the one value of every FM and every PSG entry (-1 when they differ)
    using Values = std::array<int, 9>;
    // clang-format off
    const std::pair<double, Values> rows[] = {
        {2, {1288, 2575, 508, 13, 4, 0, 0, -1, -1}},      {1.25, {805, 1610, 814, 21, 0, 0, 0, -1, -1}},
        {1.59, {1024, 2047, 640, 17, 0, 0, 0, -1, -1}},   {1.6, {1030, 2060, 636, 17, 1, 0, 0, -1, -1}},
        {53.923, {34717, 3896, 19, 0, 13, 1, 0, -1, -1}}, {60, {38629, 77257 - 65536, 17, 0, 13, 3, 0, -1, -1}},
        {0.01, {6, 13, 36156, 2672, 0, 0, 8, -1, -1}},    {0.001, {1, 1, 1016916 - 15 * 65536, 26722, 0, 0, 48, 1, -1}},
        {0.0001, {0, 0, 11082, 5077, 0, 0, 64, 0, -1}},   {1e300, {0, 0, 0, 0, 13, 13, 0, 0, 0}}};
    // clang-format on
    const auto same = [](const TableFit& fit) { return fit.sameValue ? int(*fit.sameValue) : -1; };
    for (const auto& [scale, values] : rows) {
        const auto [fm, psg] = std::pair(BuildFmTable(Scale(scale)), BuildPsgTable(Scale(scale)));
        const TableFit fmFit = FmTableFit(Scale(scale)), psgFit = PsgTableFit(Scale(scale));
        EXPECT_EQ((Values{fm[0], fm[12], psg[0], psg[63], fmFit.aboveField, fmFit.wrapped, psgFit.wrapped, same(fmFit),
                          same(psgFit)}),
                  values)
            << scale;
    }
    // The warnings of a run: a line a kind, whose words count right.
    EXPECT_EQ(FixGemsWarnings({true, false, FmTableFit(Scale(53.923)), {}}),
              (std::vector<std::string>{"1 FM entry wrapped past 16 bits",
                                        "13 FM entries exceed 2047, the chip's 11-bit field"}));
    EXPECT_EQ(FixGemsWarnings({true, false, FmTableFit(Scale(1.6)), {}}),
              (std::vector<std::string>{"1 FM entry exceeds 2047, the chip's 11-bit field"}));
    for (const auto& [scale, text] : {std::pair{0.0, "0"}, {-1.5, "-1.5"}, {std::nan(""), "nan"}})
        EXPECT_EQ(ErrorOf([scale = scale] { Scale{scale}; }), "The scale '" + std::string(text) + "' is not above 0");
}

// A PSG table that starts on the last byte of an FM table before it, and one
// that ends on the first byte of an FM table after it. The FM replacement
// completes them for scales whose table ends with F9 (a PSG low byte within
// 1 of F9) or starts with 00 (the PSG table's last high byte).
const a_byte kPsgOnFm = RomBuilder(153).Put(25, kPsg).Put(0, kFm).bytes;
const a_byte kPsgBeforeFm = RomBuilder(153).Put(0, kPsg).Put(127, kFm).bytes;
constexpr double kFmEndsWithF9 = 49.51, kFmStartsWith00 = 1.1922;

// Every offset, in order, where the whole table matches: PSG low bytes
// (even offsets in the table) may differ by 1, everything else must be equal.
std::vector<std::int64_t> PlainScan(const a_byte& image, const a_byte& table, bool psg)
{
    std::vector<std::int64_t> offsets;
    for (std::size_t at = 0; at + table.size() <= image.size(); ++at) {
        std::size_t i = 0;
        while (i < table.size() && std::abs(image[at + i] - table[i]) <= (psg && i % 2 == 0 ? 1 : 0))
            ++i;
        if (i == table.size())
            offsets.push_back(std::int64_t(at));
    }
    return offsets;
}

// The command as it worked on the whole image in memory: replace the first
// FM table, then the first PSG table, then store the checksum of 0x200..end
// when the image holds its field. Every output must be byte for byte this
// image; also where the tables were replaced (or -1), and the sum.
std::tuple<a_byte, std::int64_t, std::int64_t, std::uint16_t> WholeImageFix(a_byte image, double fmScale,
                                                                            double psgScale, bool checksum)
{
    const auto first = [](const std::vector<std::int64_t>& all) { return all.empty() ? -1 : all.front(); };
    const std::int64_t fm = first(PlainScan(image, kFm, false));
    vtest::FixFmTable(image, fmScale);
    const std::int64_t psg = first(PlainScan(image, kPsg, true));
    vtest::FixPsgTable(image, psgScale);
    const auto sum = std::uint16_t(checksumRange(image, 512, std::int64_t(image.size()) - 1));
    if (checksum && image.size() >= 0x190)
        image = RomBuilder(image).BigEndian(0x18E, sum, 2).bytes;
    return {image, fm, psg, sum};
}

// Images full of near misses: filler drawn from the tables' own bytes, copies
// of the tables whole, cut short, with a byte off by one or two, touching or
// completed by the FM replacement, at any offset; some just long enough to
// hold the checksum field or to have bytes to sum.
a_byte RandomImage(std::mt19937& rng)
{
    const std::size_t sizes[] = {rng() % 160, rng() % 700, rng() % 3000, 398 + rng() % 4, 510 + rng() % 5};
    a_byte image(sizes[rng() % std::size(sizes)]);
    const bool patternFiller = rng() % 2 == 0;
    for (auto& b : image)
        b = patternFiller ? (rng() % 2 ? kFm[rng() % kFm.size()] : kPsg[rng() % kPsg.size()]) : std::uint8_t(rng());
    const auto nudged
        = [](a_byte table, std::size_t at, int by) { return table[at] = std::uint8_t(table[at] + by), table; };
    // clang-format off
    const a_byte pieces[] = {
        kFm, kPsg, nudged(kFm, rng() % kFm.size(), 1), nudged(kPsg, rng() % 64 * 2, rng() % 2 ? 1 : -1),
        nudged(kPsg, rng() % kPsg.size(), 2), a_byte(kFm.begin(), kFm.begin() + std::ptrdiff_t(rng() % 26)),
        kPsgOnFm, kPsgBeforeFm};
    // clang-format on
    if (image.size() >= 0x105 && rng() % 2)
        RomBuilder(image).Put(0x100, rng() % 2 ? "SEGA" : " SEGA").bytes.swap(image);
    for (int copies = rng() % 4; copies > 0; --copies) {
        const a_byte& piece = pieces[rng() % std::size(pieces)];
        if (piece.size() <= image.size())
            RomBuilder(image).Put(rng() % (image.size() - piece.size() + 1), piece).bytes.swap(image);
    }
    return image;
}

// The searches over an image in pieces of any size, and the whole command
// on a file, against the plain scan and the whole-image fix.
TEST(FixGems, WritesWhatTheWholeImageFixWritesWhateverThePieceSize)
{
    // Longer than four pieces of a file's pass: a table across the first
    // boundary completes a PSG table before it at one scale; at another the
    // PSG table across the second boundary is the first. These are written to
    // another file system than their input's where there is one, which the
    // kernel cannot copy across.
    RomBuilder big = RomBuilder(4 * kReadPiece + 999).Random(1).GameHeader();
    big.Put(kReadPiece - 140, kPsgBeforeFm).Put(2 * kReadPiece - 63, kPsg);
    std::mt19937 rng(14);
    TempDir dir, far(std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path());
    a_byte scanBuffer, fixBuffer; // each left over from the run before
    const double scales[] = {1, 1.25, 2, 0.5, 0.001, kFmEndsWithF9, kFmStartsWith00};
    for (int round = 0; round < 3000; ++round) {
        const a_byte image = round < 2 ? big.bytes : RandomImage(rng);
        const double fmScale = round < 2 ? (round ? kFmStartsWith00 : 1.25) : scales[rng() % std::size(scales)];
        const double psgScale = round < 2 ? 1.5 : scales[rng() % std::size(scales)];
        const bool checksum = rng() % 4 != 0;
        const auto [fixed, fm, psg, sum] = WholeImageFix(image, fmScale, psgScale, checksum);

        const std::size_t pieceSize = std::array<std::size_t, 8>{1, 2, 25, 26, 127, 128, 153, 4096}[rng() % 8];
        SCOPED_TRACE("round " + std::to_string(round) + ", pieces of " + std::to_string(pieceSize));
        std::size_t read = 0;
        const auto reader
            = [&](std::uint8_t* into, std::size_t n) { std::memcpy(into, image.data() + read, n), read += n; };
        const FixGemsPlan plan = PlanFixGems(image.size(), reader, FixRequest("", "", fmScale, psgScale, true).scales,
                                             scanBuffer, pieceSize);
        ASSERT_EQ(std::make_tuple(plan.fm ? std::int64_t(plan.fm->offset) : -1,
                                  plan.psg ? std::int64_t(plan.psg->offset) : -1, PatchedChecksum(plan)),
                  std::make_tuple(fm, psg, sum));
        AllTableMatches matches; // every match, in pieces of any size up to pieceSize
        for (std::size_t at = 0, n = 0; at < image.size(); at += n)
            matches.add(image.data() + at, n = std::min(image.size() - at, rng() % pieceSize + 1));
        ASSERT_EQ(std::pair(matches.fm(), matches.psg()),
                  std::pair(PlainScan(image, kFm, false), PlainScan(image, kPsg, true)));

        const std::string in = far.Path("in.bin"), out = (round < 2 ? dir : far).Path("out.bin");
        WriteFile(in, image);
        std::vector<std::int64_t> steps;
        std::int64_t maximum = 0;
        FixGemsProgress progress;
        progress.setMaximum = [&](std::int64_t n) { maximum = n; };
        progress.advance = [&](std::int64_t n) { steps.push_back(n); };
        int pauses = 0; // to let the window repaint: after opening, and after each table's status line
        progress.processPending = [&pauses] { ++pauses; };
        // Only a cartridge image, "SEGA" or " SEGA" at 0x100, has its checksum at 0x18E.
        const std::string error
            = ErrorOf([&] { FixGems(FixRequest(in, out, fmScale, psgScale, checksum), progress, fixBuffer); });
        const auto holds = [&image](const std::string& mark) {
            return image.size() >= 0x100 + mark.size() && std::equal(mark.begin(), mark.end(), image.begin() + 0x100);
        };
        if (checksum && !holds("SEGA") && !holds(" SEGA")) {
            ASSERT_EQ(error + (std::filesystem::exists(out) ? " with an output" : ""), "Not a cartridge ROM image");
            continue;
        }
        ASSERT_EQ(error, "");
        ASSERT_EQ(ReadFile(out), fixed);
        // The bar moves with every piece read and ends exactly at its maximum;
        // the window's and the command line's tests check the status lines.
        for (std::size_t at = 0, i = 0; at < image.size(); at += kReadPiece, ++i)
            ASSERT_EQ(steps.at(i), std::int64_t(std::min(kReadPiece, image.size() - at)));
        ASSERT_EQ(std::accumulate(steps.begin(), steps.end(), std::int64_t(0)), maximum);
        ASSERT_EQ(pauses, 3);
        std::filesystem::remove(out);
    }
}

// (The file tests replace an output through links and names of every
// length; the test above checks what a run writes.)
TEST(FixGems, AFailedRunLeavesEveryFileAsItWas)
{
    // A missing folder is a missing file to POSIX, and a path not found to
    // Windows.
#ifdef _WIN32
    const std::string kMissingFolder = "Invalid filename";
#else
    const std::string kMissingFolder = "File not found";
#endif
    TempDir dir;
    const a_byte input = RomBuilder(0x1000).Random(7).GameHeader().Put(0x801, kFm).Put(0x900, kPsg).bytes;
    WriteFile(dir.Path("in.bin"), input);
    WriteFile(dir.Path("disc.bin"), RomBuilder(input).Put(0, "SEGADISCSYSTEM").bytes);
    WriteFile(dir.Path("out.bin"), {1, 2, 3});
    WriteFile(dir.Path("locked.bin"), {4});
    std::filesystem::permissions(dir.Path("locked.bin"), std::filesystem::perms(0444));
    std::filesystem::create_hard_link(dir.Path("in.bin"), dir.Path("link.bin"));
    const auto before = dir.Contents();
    const auto append = [&] { std::ofstream(dir.Path("in.bin"), std::ios::app) << 'x'; };
    const auto truncate = [&] { std::filesystem::resize_file(dir.Path("in.bin"), 100); };
    bool cancelled = false;
    const auto cancel = [&cancelled] { cancelled = true; };
    // Each row: input, output, FM scale, a change made at the second pause
    // (between the pass over the input and its copy), the error, and whether
    // the run started: refused requests show no status.
    // clang-format off
    const std::tuple<const char*, const char*, double, std::function<void()>, std::string, bool> rows[] = {
        {"in.bin", "in.bin", 1, {}, "The output file must not be the input file", false},
        {"in.bin", "link.bin", 1, {}, "The output file must not be the input file", false},
        {"in.bin", "out.bin", 0, {}, "The scale '0' is not above 0", false}, {"in.bin", "", 1, {}, "", false},
        {"none.bin", "out.bin", 1, {}, "File not found", true}, {"in.bin", "no/out.bin", 1, {}, kMissingFolder, true},
        {"disc.bin", "out.bin", 1, {}, "Not a cartridge ROM image", true},
        {"in.bin", "locked.bin", 1, {}, "File access denied", true},
        {"in.bin", "out.bin", 1, append, "The input file changed while it was read", true},
        {"in.bin", "out.bin", 1, truncate, "Read beyond end of file", true},
        {"in.bin", "out.bin", 1, cancel, "Cancelled", true}};
    // clang-format on
    for (const auto& [in, out, fmScale, change, error, shouldStart] : rows) {
        bool started = false;
        FixGemsProgress progress;
        progress.reached = [&started](FixGemsStep step) { started = started || step == FixGemsStep::Loading; };
        progress.processPending = [change = change, pauses = 0]() mutable {
            if (++pauses == 2 && change)
                change();
        };
        progress.cancelled = [&cancelled] { return cancelled; };
        a_byte buffer;
        const std::string inPath = dir.Path(in), outPath = *out ? dir.Path(out) : "";
        bool fixed = false; // a request that does nothing fixes no table
        const std::string raised = ErrorOf([&, fm = fmScale] {
            const FixGemsResult result = FixGems(FixRequest(inPath, outPath, fm, 2, true), progress, buffer);
            fixed = result.fmFixed || result.psgFixed;
        });
        WriteFile(dir.Path("in.bin"), input);
        EXPECT_EQ(std::make_tuple(raised, started, fixed, dir.Contents() == before),
                  std::make_tuple(error, shouldStart, false, true))
            << in << " -> " << out;
    }
}
