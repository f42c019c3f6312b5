#include "ui_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace varnoquil::ui;

namespace {

const WorkArea kScreen{0, 0, 1280, 800};
const Size kWindow{570, 326};

// --- edge snapping --------------------------------------------------------------

TEST(EdgeSnapping, SnapsWithinTwentyPixelsOfEachEdgeButNotAtTwentyOne)
{
    EXPECT_EQ(SnapToWorkArea({20, 300}, kWindow, kScreen), (Point{0, 300}));
    EXPECT_EQ(SnapToWorkArea({-20, 300}, kWindow, kScreen), (Point{0, 300}));
    EXPECT_EQ(SnapToWorkArea({21, 300}, kWindow, kScreen), (Point{21, 300}));
    EXPECT_EQ(SnapToWorkArea({-21, 300}, kWindow, kScreen), (Point{-21, 300}));

    // The right edge lies at 1280 - 570 = 710, the bottom at 800 - 326 = 474.
    EXPECT_EQ(SnapToWorkArea({690, 300}, kWindow, kScreen), (Point{710, 300}));
    EXPECT_EQ(SnapToWorkArea({689, 300}, kWindow, kScreen), (Point{689, 300}));
    EXPECT_EQ(SnapToWorkArea({300, 20}, kWindow, kScreen), (Point{300, 0}));
    EXPECT_EQ(SnapToWorkArea({300, 21}, kWindow, kScreen), (Point{300, 21}));
    EXPECT_EQ(SnapToWorkArea({300, 494}, kWindow, kScreen), (Point{300, 474}));
    EXPECT_EQ(SnapToWorkArea({300, 453}, kWindow, kScreen), (Point{300, 453}));
}

TEST(EdgeSnapping, SnapsBothCoordinatesIntoACorner)
{
    EXPECT_EQ(SnapToWorkArea({715, 470}, kWindow, kScreen), (Point{710, 474}));
}

TEST(EdgeSnapping, UsesTheWorkAreaNotTheScreenOrigin)
{
    // A panel of 40 pixels on the left and one of 30 at the top.
    const WorkArea area{40, 30, 1280, 800};
    EXPECT_EQ(SnapToWorkArea({25, 45}, kWindow, area), (Point{40, 30}));
    EXPECT_EQ(SnapToWorkArea({61, 51}, kWindow, area), (Point{61, 51}));
}

TEST(EdgeSnapping, RightAndBottomEdgesWinInAWorkAreaTooSmallForBoth)
{
    // Ten pixels wider and taller than the window: both tests hold, and the
    // second one sees the coordinate the first one set.
    const WorkArea narrow{0, 0, 580, 336};
    EXPECT_EQ(SnapToWorkArea({5, 5}, kWindow, narrow), (Point{10, 10}));
    EXPECT_EQ(SnapToWorkArea({-15, -15}, kWindow, narrow), (Point{10, 10}));
}

// --- resize layout --------------------------------------------------------------

TEST(ResizeLayout, PlacesEveryControlFromTheDockedSizes)
{
    DockedSizes sizes;
    sizes.outerWidth = 570;
    sizes.toolbarWidth = 564;
    sizes.infoPanelHeight = 272;
    sizes.listTop = 45;
    sizes.listWidth = 397;
    sizes.listHeight = 252;
    const ResizeLayout layout = LayoutFor(sizes);

    EXPECT_EQ(layout.closeButtonLeft, 539);
    EXPECT_EQ(layout.minimizeButtonLeft, 513);
    EXPECT_EQ(layout.aboutButtonLeft, 489);
    EXPECT_EQ(layout.checkBoxTop, 253);
    EXPECT_EQ(layout.infoLabelHeight, 218);
    EXPECT_EQ(layout.diskBoxLeft, 414);
    EXPECT_EQ(layout.aboutBox, (Point{18, 45 + 29}));
    EXPECT_EQ(layout.fixBox, (Point{18, 45 + 45}));
    EXPECT_EQ(layout.seListBox, (Point{14, 45 + 29}));
}

TEST(ResizeLayout, CentringTruncatesHalvesTowardZero)
{
    const Size box{361, 193};
    // Differences of 5 and -5 both lose their half pixel toward zero.
    EXPECT_EQ(CentreOverList(box, 45, 366, 198), (Point{2, 47}));
    EXPECT_EQ(CentreOverList(box, 45, 356, 188), (Point{-2, 43}));
    EXPECT_EQ(CentreOverList(box, 45, 361, 193), (Point{0, 45}));
    // A list much smaller than the box: the box overhangs to the left and up.
    EXPECT_EQ(CentreOverList(box, 45, 100, 50), (Point{-130, 45 - 71}));
}

// --- path shortening ------------------------------------------------------------

// Measures one pixel per character and records every text it was asked about.
struct RecordingWidth {
    std::vector<std::string> measured;
    TextWidth callback()
    {
        return [this](const std::string& text) {
            measured.push_back(text);
            return static_cast<int>(text.size());
        };
    }
};

TEST(ShortenPath, CutsFoldersFromTheLeftOneStepAtATime)
{
    RecordingWidth width;
    EXPECT_EQ(ShortenPath("/home/user/games/roms", width.callback(), 0), "roms");
    // Each text is measured until nothing is left to cut.
    const std::vector<std::string> steps = {"/home/user/games/roms", "/.../user/games/roms", "/.../games/roms",
                                            "/.../roms", ".../roms"};
    EXPECT_EQ(width.measured, steps);
}

TEST(ShortenPath, DropsTheDrivePrefixWithTheRootOnWindowsPaths)
{
    RecordingWidth width;
    EXPECT_EQ(ShortenPath("C:\\games\\megadrive\\roms", width.callback(), 0, '\\'), "roms");
    const std::vector<std::string> steps = {"C:\\games\\megadrive\\roms", "C:\\...\\megadrive\\roms",
                                            "C:\\...\\roms", "...\\roms"};
    EXPECT_EQ(width.measured, steps);
}

TEST(ShortenPath, StopsAsSoonAsTheTextFits)
{
    RecordingWidth width;
    EXPECT_EQ(ShortenPath("/home/user/games/roms", width.callback(), 15), "/.../games/roms");
    EXPECT_EQ(width.measured.size(), 3u);
    EXPECT_EQ(ShortenPath("/home/user/games/roms", width.callback(), 14), "/.../roms");
}

TEST(ShortenPath, KeepsAPathThatFits)
{
    RecordingWidth width;
    EXPECT_EQ(ShortenPath("/home/user/games/roms", width.callback(), 21), "/home/user/games/roms");
    EXPECT_EQ(width.measured.size(), 1u);
}

TEST(ShortenPath, ShortPathsAndTheRootShrinkToTheirName)
{
    RecordingWidth width;
    EXPECT_EQ(ShortenPath("/roms", width.callback(), 0), "roms");
    EXPECT_EQ(ShortenPath("/", width.callback(), 0), "");
    EXPECT_EQ(ShortenPath("roms", width.callback(), 0), "roms");
}

TEST(ShortenPath, AFolderBeginningWithADotIsCutLikeAnyOther)
{
    RecordingWidth width;
    EXPECT_EQ(ShortenPath("/.config/app/state/x", width.callback(), 17), "/.../app/state/x");
    EXPECT_EQ(ShortenPath("/.config/app/state/x", width.callback(), 12), "/.../state/x");
}

// --- heading wave ---------------------------------------------------------------

TEST(HeadingWave, PhaseRunsThroughSixtyThreeValuesAndStartsAgain)
{
    EXPECT_EQ(NextWavePhase(0), 1);
    EXPECT_EQ(NextWavePhase(61), 62);
    EXPECT_EQ(NextWavePhase(62), 0);
    int phase = 0;
    for (int tick = 1; tick <= kWavePhases; ++tick) {
        phase = NextWavePhase(phase);
        ASSERT_GE(phase, 0);
        ASSERT_LE(phase, 62);
        if (tick < kWavePhases) {
            ASSERT_NE(phase, 0) << "tick " << tick;
        }
    }
    EXPECT_EQ(phase, 0);
}

TEST(HeadingWave, DrawsTwoPixelsPerCurveAndStepInOrder)
{
    const std::vector<WavePixel> pixels = WavePixels(153, 0);
    ASSERT_EQ(pixels.size(), 400u);
    for (std::size_t step = 0; step < 100; ++step) {
        const WavePixel* p = &pixels[step * 4];
        const int row = static_cast<int>(step + 1) / 10;
        EXPECT_EQ(p[0].curve, 1);
        EXPECT_EQ(p[1].curve, 1);
        EXPECT_EQ(p[2].curve, 2);
        EXPECT_EQ(p[3].curve, 2);
        EXPECT_EQ(p[1].x, p[0].x + 1);
        EXPECT_EQ(p[3].x, p[2].x + 1);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(p[k].y, row) << "step " << step + 1;
    }
    EXPECT_EQ(pixels.front().y, 0);
    EXPECT_EQ(pixels.back().y, 10);
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

// --- sizing frame ---------------------------------------------------------------

TEST(SizingFrame, FindsTheEdgesAndCornersWithinTheThickness)
{
    const Size window{570, 326};
    EXPECT_EQ(FrameEdgesAt({100, 100}, window, 3), kNoEdge);
    EXPECT_EQ(FrameEdgesAt({2, 100}, window, 3), kLeftEdge);
    EXPECT_EQ(FrameEdgesAt({3, 100}, window, 3), kNoEdge);
    EXPECT_EQ(FrameEdgesAt({567, 100}, window, 3), kRightEdge);
    EXPECT_EQ(FrameEdgesAt({566, 100}, window, 3), kNoEdge);
    EXPECT_EQ(FrameEdgesAt({100, 0}, window, 3), kTopEdge);
    EXPECT_EQ(FrameEdgesAt({100, 325}, window, 3), kBottomEdge);
    EXPECT_EQ(FrameEdgesAt({0, 0}, window, 3), kLeftEdge | kTopEdge);
    EXPECT_EQ(FrameEdgesAt({569, 325}, window, 3), kRightEdge | kBottomEdge);
    EXPECT_EQ(FrameEdgesAt({1, 324}, window, 3), kLeftEdge | kBottomEdge);
}

// --- drives ---------------------------------------------------------------------

TEST(DriveHolding, PicksTheDeepestMountThatHoldsTheFolder)
{
    const std::vector<std::string> roots = {"/", "/home", "/home/user/mnt", "/media/usb"};
    EXPECT_EQ(DriveHolding(roots, "/home/user/bin"), 1);
    EXPECT_EQ(DriveHolding(roots, "/home/user/mnt/roms"), 2);
    EXPECT_EQ(DriveHolding(roots, "/media/usb"), 3);
    EXPECT_EQ(DriveHolding(roots, "/usr/bin"), 0);
    EXPECT_EQ(DriveHolding(roots, "/"), 0);
}

TEST(DriveHolding, ComparesWholeFolderNamesOnly)
{
    const std::vector<std::string> roots = {"/", "/home"};
    EXPECT_EQ(DriveHolding(roots, "/homeland/roms"), 0);
    EXPECT_EQ(DriveHolding({"/home"}, "/homeland"), -1);
    EXPECT_EQ(DriveHolding({}, "/home"), -1);
}

// --- standard error box ---------------------------------------------------------

TEST(ErrorBoxText, AppendsAFullStopAfterCharactersAboveTheFullStop)
{
    EXPECT_EQ(ErrorBoxText("File not found"), "File not found.");
    EXPECT_EQ(ErrorBoxText("I/O error 42"), "I/O error 42.");
    EXPECT_EQ(ErrorBoxText("'1,5x' is not a valid floating point value"),
              "'1,5x' is not a valid floating point value.");
    EXPECT_EQ(ErrorBoxText("see /"), "see /.");
    // A non-ASCII last character (UTF-8 bytes above 127) counts as above.
    EXPECT_EQ(ErrorBoxText("\xd0\x9e\xd1\x88\xd0\xb8\xd0\xb1\xd0\xba\xd0\xb0"),
              "\xd0\x9e\xd1\x88\xd0\xb8\xd0\xb1\xd0\xba\xd0\xb0.");
}

TEST(ErrorBoxText, LeavesTextsEndingAtOrBelowTheFullStop)
{
    EXPECT_EQ(ErrorBoxText("Disk full."), "Disk full.");
    EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(ErrorBoxText("trailing blank "), "trailing blank ");
    EXPECT_EQ(ErrorBoxText("a, b,"), "a, b,");
    EXPECT_EQ(ErrorBoxText("minus -"), "minus -");
    EXPECT_EQ(ErrorBoxText(""), "");
}

} // namespace
