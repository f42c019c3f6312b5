// SPDX-License-Identifier: MIT
#pragma once

#include "ui/layout.h"

#include <functional>
#include <string>
#include <vector>

// The window's rules that need no toolkit: edge snapping, the resize layout,
// path shortening, the heading wave, the sizing frame, the title and About
// texts and the text of the standard error box. The window measures and
// paints; these functions decide.
namespace varnoquil::ui {

// The desktop work area (the screen minus panels and task bars). Right and
// bottom lie just outside it: right = left + width.
struct WorkArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Where a window of the given size proposed at position lands: on a
// work-area edge when it comes within layout::kSnapDistance of it. The left edge
// is tested before the right one and the top before the bottom, each against
// the value the previous test left, so in a work area too narrow for both the
// right (or bottom) edge wins.
Point SnapToWorkArea(Point position, Size window, const WorkArea& area);

// --- resize layout -------------------------------------------------------

// The sizes the docking has given the window's parts, in pixels.
struct DockedSizes {
    int outerWidth = 0; // the whole window, frame included
    int toolbarWidth = 0; // Panel3
    int infoPanelHeight = 0; // Panel1
    int listTop = 0; // ListBox1, whose left is always 0
    int listWidth = 0;
    int listHeight = 0;
};

// Where the resize layout puts the controls that follow the window's size.
struct ResizeLayout {
    int closeButtonLeft = 0; // SpeedButton1, in Panel3
    int minimizeButtonLeft = 0; // SpeedButton3
    int aboutButtonLeft = 0; // SpeedButton13
    int checkBoxTop = 0; // CheckBox1, in Panel1
    int infoLabelHeight = 0; // Label3
    Point aboutBox; // in the client area
    Point fixBox;
    Point seListBox;
    int diskBoxLeft = 0; // DiskBox, in Panel2
};

ResizeLayout LayoutFor(const DockedSizes& sizes);

// The top-left corner that centres a box over the file list. Each half is
// truncated toward zero, so a box larger than the list overhangs it to the
// left and the top by the truncated half.
Point CentreOverList(Size box, int listTop, int listWidth, int listHeight);

// --- path shortening ------------------------------------------------------

// The width of a text in pixels, as the font that shows it draws it.
using TextWidth = std::function<int(const std::string&)>;

// Shortens a path until it is at most maxWidth wide: folders give way to an
// ellipsis from the left ("/a/b/c/name" -> "/.../b/c/name" -> "/.../c/name"
// -> "/.../name" -> ".../name" -> "name"). A drive prefix ("C:") is dropped
// together with the root separator. A path that cannot be shortened enough is
// returned as far as it got.
std::string ShortenPath(const std::string& path, const TextWidth& width, int maxWidth, char separator = '/');

// --- heading wave ---------------------------------------------------------

// WavePhase runs through 0..kWavePhases-1 and starts again.
constexpr int kWavePhases = 63;

int NextWavePhase(int phase);

// One pixel of the wave, in the heading label's coordinates.
struct WavePixel {
    int x = 0;
    int y = 0;
    int curve = 1; // 1 or 2
};

// The pixels of both curves for a phase, in drawing order: for each of the
// 100 steps, two pixels of curve 1, then two of curve 2, so later pixels
// cover earlier ones where the curves meet.
std::vector<WavePixel> WavePixels(int labelWidth, int phase);

// --- sizing frame ---------------------------------------------------------

// Edges of the window, combinable.
enum FrameEdge { kNoEdge = 0, kLeftEdge = 1, kTopEdge = 2, kRightEdge = 4, kBottomEdge = 8 };

// The edges that a point inside the window lies on, within the frame's
// thickness; a corner gives two edges.
int FrameEdgesAt(Point point, Size window, int frameThickness);

// --- drives ---------------------------------------------------------------

// The index of the drive whose root holds the folder: the longest root that
// is the folder itself or one of its parents; -1 when none does.
int DriveHolding(const std::vector<std::string>& roots, const std::string& folder);

// A drive's entry in the drive box: its letter alone for a drive letter's
// root ("C [Fixed]"), else its root ("/media/usb [USB]"), then its label or
// kind in brackets.
std::string DriveBoxText(const std::string& root, const std::string& text);

// --- texts ------------------------------------------------------------------

// The program's version as the title and the About box show it.
constexpr const char* kVersion = "0x20130905";

// The text of the title label.
std::string TitleText();

// The About box text: six lines separated by CR LF.
std::string AboutText();

// The message of the standard error box: a full stop is appended when the
// text is not empty and its last character's code is greater than that of
// the full stop (letters and digits get one; ".", "!" and blanks do not).
std::string ErrorBoxText(const std::string& message);

} // namespace varnoquil::ui
