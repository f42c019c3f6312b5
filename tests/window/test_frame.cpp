// SPDX-License-Identifier: MIT
// The window as it comes up (folder, states, focus, drives) and its
// frame: resize layout and dragging with edge snapping.

#include "look.h"
#include "window_test.h"

#include <QMouseEvent>
#include <QScreen>

namespace layout = varnoquil::ui::layout;

class StartUp : public WindowTest {};

// The start folder is entered and listed (the core's tests cover the
// listing's order) with its first entry selected.
TEST_F(StartUp, EntersTheStartFolderAndSetsTheStartStates)
{
    MakeFile("a.bin");
    QDir::setCurrent(QDir::rootPath()); // started from elsewhere
    TForm1& form = Open();
    EXPECT_EQ(QDir::currentPath().toStdString() + "|" + form.Label4->text().toStdString(), Folder() + "|" + Folder());
    EXPECT_EQ(std::pair(Entries(), form.ListBox1->currentRow()), std::pair(QStringList{"..", "a.bin"}, 0));
    // Entry 0 is "..": nothing to delete, fix or repair.
    EXPECT_EQ(Commands(), "1100011111 - ListBox1");
    // The drive box selects the drive holding the start folder.
    const std::string root = form.DiskBox->currentData().toString().toStdString();
    EXPECT_TRUE(root == "/" || Folder().rfind(root + "/", 0) == 0) << root;

    // At the root the first entry is a folder that Delete trusts untested.
    Open("/");
    EXPECT_TRUE(Entries().value(0, "..") != ".." && form_->DelButton->isEnabled());

    // A path too long for its label loses its first folders, leaving the
    // drive box its room.
    const QString deep = QStringLiteral("deep-folder-name/").repeated(12) + QStringLiteral("last");
    MakeFolder(deep);
    const QLabel& path = *Open(Folder() + "/" + deep.toStdString()).Label4;
    EXPECT_TRUE(path.text().startsWith("/.../") && path.text().endsWith("deep-folder-name/last")
                && QFontMetrics(path.font()).horizontalAdvance(path.text())
                    <= path.width() - layout::kPathRoomForDiskBox)
        << path.text().toStdString();
}

class Frame : public WindowTest {};

// At its edges and corners the window shows the cursor that resizes it that
// way, and an arrow inside; a one-pixel frame line runs round it. The list
// takes every change of the window's size, down to the minimum size, with
// each box centred over it. Any button drags the window by its title; within
// the snap distance of an edge of the work area it snaps to it, each
// direction on its own, unless it is maximized. (The keyboard's test
// minimizes and closes it with the toolbar's buttons.)
TEST_F(Frame, ShowsItsEdgesFollowsItsSizeMovesAndSnaps)
{
    TForm1& form = Open();
    const int w = form.width(), h = form.height();
    for (const auto& [at, shape] :
         {std::pair{QPoint(0, 0), Qt::SizeFDiagCursor}, std::pair{QPoint(w - 1, 0), Qt::SizeBDiagCursor},
          std::pair{QPoint(0, h / 2), Qt::SizeHorCursor}, std::pair{QPoint(w / 2, h - 1), Qt::SizeVerCursor},
          std::pair{QPoint(5, 5), Qt::ArrowCursor}}) {
        QMouseEvent move(QEvent::MouseMove, at, form.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &move);
        EXPECT_EQ(form.cursor().shape(), shape) << at.x() << ',' << at.y();
    }
    const QImage drawn = form.grab().toImage();
    for (const QPoint at : {QPoint(w / 2, 0), QPoint(w / 2, h - 1), QPoint(0, h / 2), QPoint(w - 1, h / 2)})
        EXPECT_EQ(drawn.pixelColor(at), look::kFrameLine) << at.x() << ',' << at.y();

    const QSize minimum(layout::kMinimumSize.width, layout::kMinimumSize.height),
        around = form.size() - form.ListBox1->size();
    for (const QSize size : {QSize(800, 500), minimum - QSize(150, 100)}) {
        form.resize(size);
        EXPECT_EQ(std::pair(form.size(), form.size() - form.ListBox1->size()),
                  std::pair(size.expandedTo(minimum), around));
        for (QGroupBox* box : std::initializer_list<QGroupBox*>{form.AboutBox, form.FixBox, form.SEListBox})
            EXPECT_LE((box->geometry().center() - form.ListBox1->geometry().center()).manhattanLength(), 1)
                << box->objectName().toStdString();
    }

    const QRect area = form.screen()->availableGeometry();
    const int near = layout::kSnapDistance, far = layout::kSnapDistance + 1;
    const QPoint bottomRight = area.bottomRight() + QPoint(1, 1) - QPoint(form.width(), form.height());
    // Each row: the button, the corner dragged to, and the way into the area
    // from it. The drag goes `near` from the corner's side and `far` below it,
    // then `far` back and one pixel up.
    for (const auto& [button, corner, inwards] :
         {std::tuple{Qt::RightButton, area.topLeft(), 1}, std::tuple{Qt::LeftButton, bottomRight, -1}}) {
        QTest::mousePress(form.Label1, button, {}, {100, 10});
        QTest::mouseMove(form.Label1, QPoint(100, 10) + corner + QPoint(inwards * near, far) - form.pos());
        EXPECT_EQ(form.pos(), corner + QPoint(0, far));
        QTest::mouseMove(form.Label1, {100 + inwards * far, 10 - 1});
        EXPECT_EQ(form.pos(), corner + QPoint(inwards * far, 0));
        QTest::mouseRelease(form.Label1, button, {}, {100, 10});
        EXPECT_FALSE(form.Dragging);
    }
    form.showMaximized(); // not snapped: the move of the top alone happens
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.geometry() == area; }));
    QTest::mousePress(form.Label1, Qt::LeftButton, {}, {100, 10});
    QTest::mouseMove(form.Label1, {100, 20});
    EXPECT_EQ(form.pos(), area.topLeft() + QPoint(0, 10));
    QTest::mouseRelease(form.Label1, Qt::LeftButton, {}, {100, 10});
}
