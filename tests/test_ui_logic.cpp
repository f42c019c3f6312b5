#include "ui_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace varnoquil::ui;

namespace {

const WorkArea kScreen{0, 0, 1280, 800};
const Size kWindow{570, 326};

// --- edge snapping --------------------------------------------------------------

TEST(EdgeSnapping, SnapsWithinTwentyPixelsOfEachEdgeOfTheWorkAreaButNotAtTwentyOne)
{
    // The right edge lies at 1280 - 570 = 710, the bottom at 800 - 326 = 474.
    const std::vector<std::pair<Point, Point>> moves = {
        {{20, 300}, {0, 300}},   {{-20, 300}, {0, 300}},   {{21, 300}, {21, 300}},   {{-21, 300}, {-21, 300}},
        {{690, 300}, {710, 300}}, {{689, 300}, {689, 300}}, {{300, 20}, {300, 0}},     {{300, 21}, {300, 21}},
        {{300, 494}, {300, 474}}, {{300, 453}, {300, 453}}, {{715, 470}, {710, 474}},
    };
    for (const auto& [proposed, landed] : moves)
        EXPECT_EQ(SnapToWorkArea(proposed, kWindow, kScreen), landed) << proposed.x << "," << proposed.y;
    // A work area with panels of 40 pixels on the left and 30 at the top.
    const WorkArea area{40, 30, 1280, 800};
    EXPECT_EQ(SnapToWorkArea({25, 45}, kWindow, area), (Point{40, 30}));
    EXPECT_EQ(SnapToWorkArea({61, 51}, kWindow, area), (Point{61, 51}));
    // Ten pixels wider and taller than the window: both tests hold, and the
    // right and bottom ones, made second, win.
    const WorkArea narrow{0, 0, 580, 336};
    EXPECT_EQ(SnapToWorkArea({5, 5}, kWindow, narrow), (Point{10, 10}));
    EXPECT_EQ(SnapToWorkArea({-15, -15}, kWindow, narrow), (Point{10, 10}));
}

// --- box centring ---------------------------------------------------------------

TEST(BoxCentring, TruncatesHalvesTowardZero)
{
    const Size box{361, 193};
    // Differences of 5 and -5 both lose their half pixel toward zero.
    EXPECT_EQ(CentreOverList(box, 45, 366, 198), (Point{2, 47}));
    EXPECT_EQ(CentreOverList(box, 45, 356, 188), (Point{-2, 43}));
    // A list much smaller than the box: the box overhangs to the left and up.
    EXPECT_EQ(CentreOverList(box, 45, 100, 50), (Point{-130, 45 - 71}));
}

// --- path shortening ------------------------------------------------------------

TEST(ShortenPath, CutsFoldersFromTheLeftOneStepAtATimeUntilTheTextFits)
{
    // Each text is measured until it fits or nothing is left to cut.
    const std::vector<std::tuple<std::string, int, char, std::vector<std::string>>> cases = {
        {"/home/user/games/roms", 0, '/',
         {"/home/user/games/roms", "/.../user/games/roms", "/.../games/roms", "/.../roms", ".../roms"}},
        // The drive prefix goes with the root on Windows paths.
        {"C:\\games\\megadrive\\roms", 0, '\\',
         {"C:\\games\\megadrive\\roms", "C:\\...\\megadrive\\roms", "C:\\...\\roms", "...\\roms"}},
        {"/home/user/games/roms", 21, '/', {"/home/user/games/roms"}},
        {"/home/user/games/roms", 15, '/', {"/home/user/games/roms", "/.../user/games/roms", "/.../games/roms"}},
        {"/.config/app/state/x", 17, '/', {"/.config/app/state/x", "/.../app/state/x"}},  // hidden is no different
        {"/roms", 0, '/', {"/roms"}}, {"roms", 0, '/', {}}};
    for (const auto& [path, room, separator, steps] : cases) {
        std::vector<std::string> measured;
        const std::string result = ShortenPath(path, [&](const std::string& text) {
            measured.push_back(text);
            return int(text.size());  // one pixel per character
        }, room, separator);
        EXPECT_EQ(measured, steps) << path;
        EXPECT_EQ(result, room == 0 ? "roms" : measured.back()) << path;
    }
}

// --- heading wave ---------------------------------------------------------------

TEST(HeadingWave, PhaseWrapsAndTwoPixelsAreDrawnPerCurveAndStepInOrder)
{
    EXPECT_EQ(NextWavePhase(0), 1);
    EXPECT_EQ(NextWavePhase(kWavePhases - 2), kWavePhases - 1);
    EXPECT_EQ(NextWavePhase(kWavePhases - 1), 0);
    const std::vector<WavePixel> pixels = WavePixels(153, 0);
    ASSERT_EQ(pixels.size(), 400u);
    for (std::size_t k = 0; k < pixels.size(); ++k) {
        const int step = static_cast<int>(k / 4) + 1;
        EXPECT_EQ(pixels[k].curve, k % 4 < 2 ? 1 : 2) << k;
        EXPECT_EQ(pixels[k].y, step / 10) << k;
        EXPECT_EQ(pixels[k].x, pixels[k - k % 2].x + static_cast<int>(k % 2)) << k;
    }
}

TEST(HeadingWave, PointsFollowTheRoundedSineCurves)
{
    // The columns of curve 1 and curve 2 at step i.
    auto columns = [](int phase, int i) {
        const std::vector<WavePixel> pixels = WavePixels(153, phase);
        const auto first = static_cast<std::size_t>(i - 1) * 4;
        return std::pair{pixels[first].x, pixels[first + 2].x};
    };
    // 10 sin(0.05) = 0.4998 rounds down, 10 sin(3.2) = -0.58 rounds to -1.
    EXPECT_EQ(columns(0, 1), std::pair(143, 144));
    // 4.79 and -4.87: rounding, not truncation.
    EXPECT_EQ(columns(0, 10), std::pair(138, 148));
    // 10 sin(6.75) = 4.5004 lies just above the half.
    EXPECT_EQ(columns(40, 55).first, 138);
    // The phase moves the curves: 10 sin(11.2) = -9.79.
    EXPECT_EQ(columns(62, 100), std::pair(153, 133));
    // The label's width places the curves.
    EXPECT_EQ(WavePixels(100, 0)[0].x, 90);
}

// --- drives ---------------------------------------------------------------------

TEST(DriveHolding, PicksTheDeepestMountThatHoldsTheFolderByWholeNames)
{
    const std::vector<std::string> roots = {"/", "/home", "/home/user/mnt", "/media/usb"};
    EXPECT_EQ(DriveHolding(roots, "/home/user/bin"), 1);
    EXPECT_EQ(DriveHolding(roots, "/home/user/mnt/roms"), 2);
    EXPECT_EQ(DriveHolding(roots, "/media/usb"), 3);
    EXPECT_EQ(DriveHolding(roots, "/homeland/roms"), 0);
    EXPECT_EQ(DriveHolding({"/home"}, "/homeland"), -1);
}

// --- standard error box ---------------------------------------------------------

TEST(ErrorBoxText, AppendsAFullStopOnlyAfterCharactersAboveTheFullStop)
{
    EXPECT_EQ(ErrorBoxText("File not found"), "File not found.");
    EXPECT_EQ(ErrorBoxText("I/O error 42"), "I/O error 42.");
    EXPECT_EQ(ErrorBoxText("see /"), "see /.");
    // A non-ASCII last character (UTF-8 bytes above 127) counts as above.
    EXPECT_EQ(ErrorBoxText("\xd0\x9e\xd0\xb0"), "\xd0\x9e\xd0\xb0.");

    for (const char* unchanged : {"Disk full.", "Stop!", "trailing blank ", "a, b,", "minus -", ""})
        EXPECT_EQ(ErrorBoxText(unchanged), unchanged);
}

} // namespace
