// SPDX-License-Identifier: MIT
#pragma once

// The window's layout in pixels: every place, size and distance the window
// is built and laid out with, by name. The window and its tests read them
// here; the core's layout rules compute from them.
namespace varnoquil::ui {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point& other) const { return x == other.x && y == other.y; }
};

struct Size {
    int width = 0;
    int height = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

namespace layout {

// --- the window -------------------------------------------------------------

constexpr Size kStartSize{570, 326};
constexpr Size kMinimumSize{550, 300};
// The sizing frame around the client area.
constexpr int kFrameThickness = 3;
// Windows closer than this to a work-area edge land on it.
constexpr int kSnapDistance = 20;

// --- the docked parts, from the top -----------------------------------------

constexpr int kTitleHeight = 20; // Label1
constexpr int kToolbarHeight = 25; // Panel3
constexpr int kPathBarHeight = 23; // Panel2, at the bottom
constexpr int kInfoPanelWidth = 167; // Panel1, on the right
// The file list and the information panel start below the title and toolbar.
constexpr int kListTop = kTitleHeight + kToolbarHeight;
constexpr int kListItemHeight = 16;

// --- the toolbar --------------------------------------------------------------

// A button's left edge and width; every toolbar button stands at the same
// top and height.
struct Slot {
    int left = 0;
    int width = 0;
};
constexpr int kToolButtonTop = 2;
constexpr int kToolButtonHeight = 22;
constexpr Slot kBackButton{2, 22}; // SpeedButton4, "<-"
constexpr Slot kRootButton{26, 22}; // SpeedButton8, "/"
constexpr Slot kFixButton{58, 55}; // FixButton
constexpr Slot kChecksumButton{120, 49}; // CheckSumButton
constexpr Slot kDeleteButton{176, 49}; // DelButton
constexpr Slot kSEListButton{232, 49}; // SEListButton
// The three buttons on the right keep these distances from the toolbar's
// right edge to their left edges.
constexpr int kRightButtonWidth = 23;
constexpr int kAboutButtonFromRight = 75; // SpeedButton13, "?"
constexpr int kMinimizeButtonFromRight = 51; // SpeedButton3, "_"
constexpr int kCloseButtonFromRight = 25; // SpeedButton1, "X"
// The larger captions of "<-" and "/".
constexpr int kArrowFontHeight = 16;

// --- the information panel ------------------------------------------------------

constexpr Rect kHeading{8, 8, 153, 11}; // Label2
// Label3: its height is the panel's less this.
constexpr Rect kInformation{8, 24, 153, 0};
constexpr int kInformationHeightLoss = 54;
// The scroll bar beside the information when it does not fit.
constexpr int kInformationScrollBarWidth = 4;
// CheckBox1: its top keeps this distance from the panel's bottom.
constexpr Rect kFilterCheckBox{8, 0, 129, 17};
constexpr int kFilterCheckBoxFromBottom = 19;

// --- the path bar -------------------------------------------------------------

// DiskBox: its left keeps this distance from the window's right edge.
constexpr Rect kDiskBox{0, 2, 137, 19};
constexpr int kDiskBoxFromRight = 156;
// The path text gives way to the drive box by this much.
constexpr int kPathRoomForDiskBox = 145;
// Each drive is drawn this far in from the item's left.
constexpr int kDriveTextIndent = 2;

// --- the group boxes over the file list ----------------------------------------------

constexpr Size kAboutBoxSize{361, 193};
constexpr Size kFixBoxSize{361, 161};
constexpr Size kSEListBoxSize{369, 193};
// Where a box's coloured caption covers its own.
constexpr Point kCaptionAt{8, 0};
// The box's close buttons.
constexpr int kCloseCrossSize = 16;

// The About box.
constexpr Point kAboutCloseAt{343, 8}; // SpeedButton15
constexpr Rect kAboutShadow{10, 33, 344, 145}; // Label24, 2 right of and 1 below
constexpr Rect kAboutText{8, 32, 345, 145}; // Label25
constexpr int kAboutFontHeight = 18;

// The GEMS Fix box, placed before the first layout. Each file and each
// scale has a row: its caption, its box and the control beside the box.
constexpr Point kFixBoxStart{16, 64};
struct ControlRow {
    Point caption;
    Rect box;
    Rect beside;
};
constexpr ControlRow kInFileRow{{16, 21}, {72, 16, 241, 19}, {312, 15, 23, 22}}; // Label5, In_Edit, SpeedButton5
constexpr ControlRow kOutFileRow{{16, 45}, {72, 40, 241, 19}, {312, 39, 23, 22}}; // Label6, Out_Edit, SpeedButton6
constexpr ControlRow kFmRow{{16, 93}, {72, 88, 81, 19}, {153, 88, 16, 19}}; // Label7, FMBox, UpDown1
constexpr ControlRow kPsgRow{{176, 93}, {236, 88, 81, 19}, {317, 88, 16, 19}}; // Label8, PSGBox, UpDown2
constexpr Point kPresetLabel{16, 69}; // Label9
constexpr Rect kPresetBox{72, 64, 261, 19}; // PresetBox
constexpr Rect kChecksumOption{16, 112, 17, 17}; // CheckBox2
constexpr Point kChecksumCaption{32, 115}; // Label10
constexpr Rect kProgressBar{16, 136, 257, 10}; // ProgressBar1
constexpr Rect kFixGemsButton{288, 128, 63, 22}; // SpeedButton7
constexpr Point kFixCloseAt{342, 8}; // SpeedButton2
// A file box's frame and inner margins, which its text does not use.
constexpr int kEditTextMargins = 8;

// The sound engine list box.
constexpr Point kSEListCloseAt{351, 8}; // SpeedButton10
// Label11 starts here and ends this far left of the box's "X".
constexpr int kSEListCaptionLeft = 128;
constexpr int kSEListCaptionGap = 4;
constexpr Rect kSEListGrid{8, 24, 353, 161}; // ValueListEditor1
constexpr int kGridRowHeight = 18;
constexpr int kGameColumnWidth = 170;
constexpr int kEngineColumnWidth = 164;

} // namespace layout

} // namespace varnoquil::ui
