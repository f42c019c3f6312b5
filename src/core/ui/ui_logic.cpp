// SPDX-License-Identifier: MIT
#include "ui/ui_logic.h"

#include "platform/platform.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace varnoquil::ui {

Point SnapToWorkArea(Point position, Size window, const WorkArea& area)
{
    const int rightmost = area.right - window.width;
    const int lowest = area.bottom - window.height;
    if (std::abs(area.left - position.x) <= layout::kSnapDistance)
        position.x = area.left;
    if (std::abs(rightmost - position.x) <= layout::kSnapDistance)
        position.x = rightmost;
    if (std::abs(area.top - position.y) <= layout::kSnapDistance)
        position.y = area.top;
    if (std::abs(lowest - position.y) <= layout::kSnapDistance)
        position.y = lowest;
    return position;
}

Point CentreOverList(Size box, int listTop, int listWidth, int listHeight)
{
    // Integer division in C++ truncates toward zero, which is the rule here.
    return {(listWidth - box.width) / 2, listTop + (listHeight - box.height) / 2};
}

ResizeLayout LayoutFor(const DockedSizes& sizes)
{
    ResizeLayout placed;
    placed.closeButtonLeft = sizes.toolbarWidth - layout::kCloseButtonFromRight;
    placed.minimizeButtonLeft = sizes.toolbarWidth - layout::kMinimizeButtonFromRight;
    placed.aboutButtonLeft = sizes.toolbarWidth - layout::kAboutButtonFromRight;
    placed.checkBoxTop = sizes.infoPanelHeight - layout::kFilterCheckBoxFromBottom;
    placed.infoLabelHeight = sizes.infoPanelHeight - layout::kInformationHeightLoss;
    placed.aboutBox = CentreOverList(layout::kAboutBoxSize, sizes.listTop, sizes.listWidth, sizes.listHeight);
    placed.fixBox = CentreOverList(layout::kFixBoxSize, sizes.listTop, sizes.listWidth, sizes.listHeight);
    placed.seListBox = CentreOverList(layout::kSEListBoxSize, sizes.listTop, sizes.listWidth, sizes.listHeight);
    placed.diskBoxLeft = sizes.outerWidth - layout::kDiskBoxFromRight;
    return placed;
}

namespace {

// Drops the first folder of a folder part ("/a/b/" -> "/.../b/"), treating a
// leading "..." + separator as the mark of an earlier cut.
void CutFirstFolder(std::string& folder, char separator)
{
    const std::string root(1, separator);
    if (folder == root) {
        folder.clear();
        return;
    }
    const bool rooted = folder[0] == separator;
    if (rooted)
        folder.erase(0, 1);
    if (!folder.empty() && folder[0] == '.')
        folder.erase(0, 4);
    const std::size_t next = folder.find(separator);
    folder = next == std::string::npos ? std::string() : "..." + root + folder.substr(next + 1);
    if (rooted)
        folder.insert(0, root);
}

} // namespace

std::string ShortenPath(const std::string& path, const TextWidth& width, int maxWidth, char separator)
{
    const std::size_t lastSeparator = path.rfind(separator);
    std::string folder = lastSeparator == std::string::npos ? std::string() : path.substr(0, lastSeparator + 1);
    const std::string name = path.substr(folder.size());
    std::string drive;
    if (folder.size() >= 2 && folder[1] == ':') {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }

    const std::string root(1, separator);
    const std::string rootedEllipsis = root + "..." + root;
    std::string result = path;
    while ((!folder.empty() || !drive.empty()) && width(result) > maxWidth) {
        if (folder == rootedEllipsis) {
            drive.clear();
            folder = "..." + root;
        } else if (folder.empty()) {
            drive.clear();
        } else {
            CutFirstFolder(folder, separator);
        }
        result.assign(drive).append(folder).append(name);
    }
    return result;
}

int NextWavePhase(int phase)
{
    ++phase;
    return phase >= kWavePhases ? 0 : phase;
}

namespace {

// The column of a curve point: 10 pixels of sine swing left of the label's
// right end, rounded to the nearest integer with ties to even.
int WaveColumn(int labelWidth, int angleSteps)
{
    const long double swing = 10.0L * std::sin(angleSteps * 0.05L);
    return labelWidth - static_cast<int>(std::nearbyint(swing)) - 10;
}

} // namespace

std::vector<WavePixel> WavePixels(int labelWidth, int phase)
{
    std::vector<WavePixel> pixels;
    pixels.reserve(400);
    for (int i = 1; i <= 100; ++i) {
        const int y = i / 10;
        const int x1 = WaveColumn(labelWidth, 2 * phase + i);
        const int x2 = WaveColumn(labelWidth, i + 63 + 2 * phase);
        pixels.push_back({x1, y, 1});
        pixels.push_back({x1 + 1, y, 1});
        pixels.push_back({x2, y, 2});
        pixels.push_back({x2 + 1, y, 2});
    }
    return pixels;
}

int FrameEdgesAt(Point point, Size window, int frameThickness)
{
    int edges = kNoEdge;
    if (point.x < frameThickness)
        edges |= kLeftEdge;
    else if (point.x >= window.width - frameThickness)
        edges |= kRightEdge;
    if (point.y < frameThickness)
        edges |= kTopEdge;
    else if (point.y >= window.height - frameThickness)
        edges |= kBottomEdge;
    return edges;
}

int DriveHolding(const std::vector<std::string>& roots, const std::string& folder)
{
    int best = -1;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        const std::string& root = roots[i];
        if (root.empty())
            continue;
        // The root is a whole name of the folder's: it ends at a separator,
        // its own ("/", "C:\\") or the folder's next.
        const std::size_t n = root.size();
        const bool holds = platform::sameName(folder.substr(0, n), root)
            && (folder.size() == n || platform::isSeparator(root.back()) || platform::isSeparator(folder[n]));
        if (holds && (best < 0 || root.size() > roots[static_cast<std::size_t>(best)].size()))
            best = static_cast<int>(i);
    }
    return best;
}

std::string DriveBoxText(const std::string& root, const std::string& text)
{
    const bool letter = root.size() == 3 && std::isalpha(static_cast<unsigned char>(root[0])) && root[1] == ':'
        && (root[2] == '\\' || root[2] == '/');
    return (letter ? root.substr(0, 1) : root) + " [" + text + "]";
}

std::string TitleText()
{
    return std::string(".::VARNOQUIL::. version ") + kVersion;
}

std::string AboutText()
{
    return std::string("VARNOQUIL v.") + kVersion
        + "\r\n"
          "\r\n"
          "NOT FOR SALE\r\n"
          "\r\n"
          "main code: core@vql.example\r\n"
          "gui: gui@vql.example";
}

std::string ErrorBoxText(const std::string& message)
{
    // Compared as unsigned bytes: a text ending in a non-ASCII character
    // gets its full stop too.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

} // namespace varnoquil::ui
