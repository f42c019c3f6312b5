// SPDX-License-Identifier: MIT
#include "ui/ui_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace varnoquil::ui;

const Size kWindow{570, 326};

TEST(EdgeSnapping, LandsOnAWorkAreaEdgeWithinTheSnapDistanceOnly)
{
    // On the screen the window's left edge lands at 0 or 710 (1280 - 570),
    // its top at 0 or 474 (800 - 326). Panels move the edges. In the narrow
    // area both tests of an axis hold; the right and bottom ones, made
    // second, win.
    constexpr int d = layout::kSnapDistance;
    // From x, y to x, y.
    // clang-format off
    const int moves[][4] = {{d, 300, 0, 300},         {-d, 300, 0, 300},            {d + 1, 300, d + 1, 300},
                            {710 - d, 300, 710, 300}, {709 - d, 300, 709 - d, 300}, {300, d, 300, 0},
                            {300, d + 1, 300, d + 1}, {300, 474 + d, 300, 474},     {300, 473 - d, 300, 473 - d}};
    // clang-format on
    for (const auto& m : moves)
        EXPECT_EQ(SnapToWorkArea({m[0], m[1]}, kWindow, {0, 0, 1280, 800}), (Point{m[2], m[3]})) << m[0] << "," << m[1];
    EXPECT_EQ(SnapToWorkArea({25, 45}, kWindow, {40, 30, 1280, 800}), (Point{40, 30}));
    EXPECT_EQ(SnapToWorkArea({-15, -15}, kWindow, {0, 0, 580, 336}), (Point{10, 10}));
}

TEST(FrameEdges, AreTheOutermostPixelsOfTheWindowOnly)
{
    // The frame's inner pixels are f - 1 from the left and top and 570 - f
    // and 326 - f from the right and bottom.
    constexpr int f = layout::kFrameThickness;
    // At x, y: the edges.
    const int points[][3] = {{f - 1, 100, kLeftEdge},     {f, 100, kNoEdge},       {570 - f, 100, kRightEdge},
                             {569 - f, 100, kNoEdge},     {100, f - 1, kTopEdge},  {100, f, kNoEdge},
                             {100, 326 - f, kBottomEdge}, {100, 325 - f, kNoEdge}, {0, 0, kLeftEdge | kTopEdge}};
    for (const auto& p : points)
        EXPECT_EQ(FrameEdgesAt({p[0], p[1]}, kWindow, f), p[2]) << p[0] << "," << p[1];
}

TEST(BoxCentring, TruncatesHalvesTowardZero)
{
    const Size box = layout::kAboutBoxSize;
    EXPECT_EQ(CentreOverList(box, 45, box.width + 5, box.height + 5), (Point{2, 47}));
    EXPECT_EQ(CentreOverList(box, 45, box.width - 5, box.height - 5), (Point{-2, 43}));
}

// Every text measured at one pixel a character, until one fits or nothing is
// left to cut; with no room at all the name alone is left.
TEST(PathShortening, CutsFoldersFromTheLeftOneStepAtATimeUntilTheTextFits)
{
    // The path, the room, the separator, and every text measured.
    // clang-format off
    const std::tuple<std::string, int, char, std::vector<std::string>> rows[] = {
        {"/home/user/games/roms", 0, '/',
         {"/home/user/games/roms", "/.../user/games/roms", "/.../games/roms", "/.../roms", ".../roms"}},
        {"C:\\games\\megadrive\\roms", 0, '\\', // the drive goes with the root
         {"C:\\games\\megadrive\\roms", "C:\\...\\megadrive\\roms", "C:\\...\\roms", "...\\roms"}},
        {"/home/user/games/roms", 15, '/', {"/home/user/games/roms", "/.../user/games/roms", "/.../games/roms"}},
        {"/.config/app/state/x", 17, '/', {"/.config/app/state/x", "/.../app/state/x"}}, // hidden folders alike
        {"/roms", 0, '/', {"/roms"}},
        {"roms", 0, '/', {}}};
    // clang-format on
    for (const auto& [path, room, separator, texts] : rows) {
        std::vector<std::string> measured;
        const auto width = [&measured](const std::string& text) { return measured.push_back(text), int(text.size()); };
        const std::string result = ShortenPath(path, width, room, separator);
        EXPECT_EQ(std::pair(measured, result), std::pair(texts, room == 0 ? "roms" : texts.back())) << path;
    }
}

TEST(HeadingWave, TwoPixelsPerCurveAndStepOnTheRoundedSineCurvesThatThePhaseMoves)
{
    EXPECT_EQ(NextWavePhase(kWavePhases - 1), 0);
    const std::vector<WavePixel> pixels = WavePixels(153, 0);
    ASSERT_EQ(pixels.size(), 400u);
    // Step i of 1..100 stands on row i / 10: curve 1 then curve 2, two pixels each.
    const auto row = [&pixels](std::size_t k) { return std::tuple(pixels[k].x, pixels[k].y, pixels[k].curve); };
    EXPECT_EQ(row(33), std::tuple(std::get<0>(row(32)) + 1, 0, 1));
    EXPECT_EQ(row(39), std::tuple(std::get<0>(row(38)) + 1, 1, 2));
    // The columns of curve 1 and 2 at step i.
    const auto columns = [](int labelWidth, int phase, int i) {
        const std::vector<WavePixel> wave = WavePixels(labelWidth, phase);
        return std::pair{wave[std::size_t(i - 1) * 4].x, wave[std::size_t(i - 1) * 4 + 2].x};
    };
    // 10 sin(0.05) = 0.4998 rounds down, 10 sin(3.2) = -0.58 to -1; 4.79 and
    // -4.87 round, not cut; 10 sin(6.75) = 4.5004 lies just above the half;
    // 10 sin(11.2) = -9.79 with the phase; the label's width places the curves.
    EXPECT_EQ(std::tuple(columns(153, 0, 1), columns(153, 0, 10), columns(153, 40, 55).first, columns(153, 62, 100),
                         columns(100, 0, 1).first),
              std::tuple(std::pair(143, 144), std::pair(138, 148), 138, std::pair(153, 133), 90));
}

TEST(DriveHolding, PicksTheDeepestMountThatHoldsTheFolderByWholeNames)
{
    const std::vector<std::string> roots = {"/", "/home", "/home/user/mnt", "/media/usb"};
    const std::pair<const char*, int> folders[]
        = {{"/home/user/bin", 1}, {"/home/user/mnt/roms", 2}, {"/media/usb", 3}, {"/homeland/roms", 0}};
    for (const auto& [folder, drive] : folders)
        EXPECT_EQ(DriveHolding(roots, folder), drive) << folder;
    EXPECT_EQ(DriveHolding({"/home"}, "/homeland"), -1);
    EXPECT_EQ(DriveBoxText("C:\\", "Fixed") + "|" + DriveBoxText("/media/usb", "USB") + "|" + DriveBoxText("C:", "x"),
              "C [Fixed]|/media/usb [USB]|C: [x]");
}

TEST(ErrorBoxText, AppendsAFullStopOnlyAfterCharactersAboveTheFullStop)
{
    // A non-ASCII last character (UTF-8 bytes above 127) counts as above.
    for (const char* stopped : {"File not found", "I/O error 42", "see /", "\xd0\x9e\xd0\xb0"})
        EXPECT_EQ(ErrorBoxText(stopped), std::string(stopped) + ".");
    for (const char* unchanged : {"Disk full.", "Stop!", "trailing blank ", "a, b,", "minus -", ""})
        EXPECT_EQ(ErrorBoxText(unchanged), unchanged);
}
