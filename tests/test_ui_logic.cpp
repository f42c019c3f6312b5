// SPDX-License-Identifier: MIT
#include "ui_logic.h"

#include "named_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace varnoquil::ui;

namespace {

namespace layout = varnoquil::ui::layout;

const WorkArea kScreen{0, 0, 1280, 800};
const Size kWindow{570, 326};

// --- edge snapping --------------------------------------------------------------

class EdgeSnapping : public ::testing::TestWithParam<vtest::Row<Point, Point>> {};

TEST_P(EdgeSnapping, LandsOnAnEdgeWithinTheSnapDistanceOnly)
{
    EXPECT_EQ(SnapToWorkArea(GetParam().in, kWindow, kScreen), GetParam().out);
}

// The window's left edge lands at 0 or 710 (1280 - 570), its top at 0 or 474
// (800 - 326).
constexpr int d = layout::kSnapDistance;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Moves, EdgeSnapping, ::testing::ValuesIn(std::vector<vtest::Row<Point, Point>>{
    {"LeftAtTheDistance", {d, 300}, {0, 300}},
    {"LeftOutsideAtTheDistance", {-d, 300}, {0, 300}},
    {"LeftOnePixelFarther", {d + 1, 300}, {d + 1, 300}},
    {"LeftOutsideOnePixelFarther", {-d - 1, 300}, {-d - 1, 300}},
    {"RightAtTheDistance", {710 - d, 300}, {710, 300}},
    {"RightOnePixelFarther", {709 - d, 300}, {709 - d, 300}},
    {"TopAtTheDistance", {300, d}, {300, 0}},
    {"TopOnePixelFarther", {300, d + 1}, {300, d + 1}},
    {"BottomOutsideAtTheDistance", {300, 474 + d}, {300, 474}},
    {"BottomOnePixelFarther", {300, 473 - d}, {300, 473 - d}},
    {"RightAndBottomAtOnce", {715, 470}, {710, 474}}}), vtest::RowName());
// clang-format on

TEST(EdgeSnappingArea, EdgesAreThoseOfTheWorkAreaAndTheSecondTestWinsInANarrowOne)
{
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

// --- frame edges ----------------------------------------------------------------

class FrameEdges : public ::testing::TestWithParam<vtest::Row<Point, int>> {};

TEST_P(FrameEdges, AreTheOutermostPixelsOfTheWindowOnly)
{
    EXPECT_EQ(FrameEdgesAt(GetParam().in, kWindow, layout::kFrameThickness), GetParam().out);
}

// The window is 570 x 326; the frame's inner pixels are f - 1 from the left
// and top and 570 - f and 326 - f from the right and bottom.
constexpr int f = layout::kFrameThickness;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Points, FrameEdges, ::testing::ValuesIn(std::vector<vtest::Row<Point, int>>{
    {"LeftInnerPixel", {f - 1, 100}, kLeftEdge},
    {"BesideTheLeftFrame", {f, 100}, kNoEdge},
    {"RightInnerPixel", {570 - f, 100}, kRightEdge},
    {"BesideTheRightFrame", {569 - f, 100}, kNoEdge},
    {"TopInnerPixel", {100, f - 1}, kTopEdge},
    {"BelowTheTopFrame", {100, f}, kNoEdge},
    {"BottomInnerPixel", {100, 326 - f}, kBottomEdge},
    {"AboveTheBottomFrame", {100, 325 - f}, kNoEdge},
    {"TopLeftCorner", {0, 0}, kLeftEdge | kTopEdge},
    {"BottomRightCorner", {569, 325}, kRightEdge | kBottomEdge}}), vtest::RowName());
// clang-format on

// --- box centring ---------------------------------------------------------------

TEST(BoxCentring, TruncatesHalvesTowardZero)
{
    const Size box = layout::kAboutBoxSize;
    const int top = layout::kListTop;
    // Differences of 5 and -5 both lose their half pixel toward zero.
    EXPECT_EQ(CentreOverList(box, top, box.width + 5, box.height + 5), (Point{2, top + 2}));
    EXPECT_EQ(CentreOverList(box, top, box.width - 5, box.height - 5), (Point{-2, top - 2}));
    // A list much smaller than the box: the box overhangs to the left and up.
    EXPECT_EQ(CentreOverList(box, top, box.width - 261, box.height - 143), (Point{-130, top - 71}));
}

// --- path shortening ------------------------------------------------------------

struct Shortening {
    const char* name;
    std::string path;
    int room;
    char separator;
    // Every text measured, until one fits or nothing is left to cut.
    std::vector<std::string> measured;
};

class ShortenPathTest : public ::testing::TestWithParam<Shortening> {};

TEST_P(ShortenPathTest, CutsFoldersFromTheLeftOneStepAtATimeUntilTheTextFits)
{
    const Shortening& row = GetParam();
    std::vector<std::string> measured;
    const auto onePixelPerCharacter = [&measured](const std::string& text) {
        measured.push_back(text);
        return int(text.size());
    };
    const std::string result = ShortenPath(row.path, onePixelPerCharacter, row.room, row.separator);
    EXPECT_EQ(measured, row.measured);
    EXPECT_EQ(result, row.room == 0 ? "roms" : measured.back());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Paths, ShortenPathTest, ::testing::Values(
    Shortening{"DownToTheName", "/home/user/games/roms", 0, '/',
               {"/home/user/games/roms", "/.../user/games/roms", "/.../games/roms", "/.../roms", ".../roms"}},
    Shortening{"DriveGoesWithTheRoot", "C:\\games\\megadrive\\roms", 0, '\\',
               {"C:\\games\\megadrive\\roms", "C:\\...\\megadrive\\roms", "C:\\...\\roms", "...\\roms"}},
    Shortening{"StopsOnceItFits", "/home/user/games/roms", 15, '/',
               {"/home/user/games/roms", "/.../user/games/roms", "/.../games/roms"}},
    Shortening{"HiddenFoldersAreNoDifferent", "/.config/app/state/x", 17, '/', {"/.config/app/state/x", "/.../app/state/x"}},
    Shortening{"RootedName", "/roms", 0, '/', {"/roms"}},
    Shortening{"BareName", "roms", 0, '/', {}}), vtest::RowName());
// clang-format on

// --- heading wave ---------------------------------------------------------------

TEST(HeadingWave, PhaseWrapsAndTwoPixelsAreDrawnPerCurveAndStepInOrder)
{
    EXPECT_EQ(NextWavePhase(0), 1);
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
