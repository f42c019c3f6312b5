// SPDX-License-Identifier: MIT
// The window as it comes up (folder, listing, states, focus, drives) and its
// frame: resize layout, dragging with edge
// snapping, minimize and close.

#include "fix_panel_test.h"

#include <QScreen>

#include <tuple>

namespace layout = varnoquil::ui::layout;

namespace {

class StartUp : public WindowTest {};

TEST_F(StartUp, ListsTheStartFolderThroughTheFilterAndSetsTheStartStates)
{
    MakeFolder("sub");
    MakeFolder(".hidden");
    for (const char* name : {"a.bin", "b.smd", "c.txt", "D.BIN", ".e.bin"})
        MakeFile(name);
    QDir::setCurrent(QDir::rootPath()); // started from elsewhere
    TForm1& form = Open();
    EXPECT_EQ(QDir::currentPath().toStdString(), Folder());
    EXPECT_EQ(form.Label4->text().toStdString(), Folder());
    EXPECT_EQ(Entries(), (QStringList{"..", "sub", ".e.bin", "a.bin", "b.smd", "D.BIN"}));
    EXPECT_TRUE(form.ListBox1->currentRow() == 0 && form.focusWidget() == form.ListBox1);
    // Entry 0 is "..": nothing to delete, fix or repair. Delete, FIX, Checksum, "<-", "/", SE list, About.
    EXPECT_EQ(Enabled({form.DelButton, form.FixButton, form.CheckSumButton, form.SpeedButton4, form.SpeedButton8,
                       form.SEListButton, form.SpeedButton13}),
              "0001111");
    // The drive box selects the drive holding the start folder.
    const QString chosen = form.DiskBox->currentText();
    const std::string root = chosen.left(chosen.indexOf(" [")).toStdString();
    EXPECT_TRUE(root == "/" || Folder().rfind(root + "/", 0) == 0) << root;

    // At the root the first entry is a folder that Delete trusts untested.
    TForm1& atRoot = Open("/");
    ASSERT_GT(atRoot.ListBox1->count(), 0);
    EXPECT_NE(atRoot.ListBox1->item(0)->text(), "..");
    EXPECT_TRUE(atRoot.DelButton->isEnabled());
}

class Frame : public WindowTest {
protected:
    QRect WorkArea() const { return form_->screen()->availableGeometry(); }

    // Presses on the title label and moves the pointer by (dx, dy), button held.
    void DragBy(Qt::MouseButton button, int dx, int dy)
    {
        QTest::mousePress(form_->Label1, button, {}, {100, 10});
        QTest::mouseMove(form_->Label1, QPoint(100 + dx, 10 + dy));
    }
    void DropWith(Qt::MouseButton button) { QTest::mouseRelease(form_->Label1, button, {}, {100, 10}); }
};

// The list fills the window less its docked parts, down to the minimum size,
// with each box centred over it; the toolbar minimizes and closes the window.
TEST_F(Frame, TheLayoutFollowsTheSizeDownToTheMinimumAndTheToolbarMinimizesAndCloses)
{
    TForm1& form = Open();
    const QSize minimum(layout::kMinimumSize.width, layout::kMinimumSize.height);
    for (const QSize size : {QSize(800, 500), minimum - QSize(150, 100)}) {
        form.resize(size);
        EXPECT_EQ(form.size(), size.expandedTo(minimum));
        const QSize client = form.size() - 2 * QSize(layout::kFrameThickness, layout::kFrameThickness);
        const QRect list = form.ListBox1->geometry();
        EXPECT_EQ(list,
                  QRect(0, layout::kListTop, client.width() - layout::kInfoPanelWidth,
                        client.height() - layout::kListTop - layout::kPathBarHeight));
        for (QGroupBox* box : std::initializer_list<QGroupBox*>{form.AboutBox, form.FixBox, form.SEListBox})
            EXPECT_EQ(box->pos(),
                      QPoint((list.width() - box->width()) / 2, list.top() + (list.height() - box->height()) / 2))
                << box->objectName().toStdString();
    }
    QTest::mouseClick(form.SpeedButton3, Qt::LeftButton);
    EXPECT_TRUE(form.isMinimized());
    form.showNormal();
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

// Any button drags; within the snap distance of an edge of the work area the
// window snaps to it, each direction on its own, unless it is maximized.
TEST_F(Frame, DraggingByTheTitleMovesAndSnapsTheWindow)
{
    TForm1& form = Open();
    const QPoint start = form.pos();
    DragBy(Qt::RightButton, -30, 25);
    EXPECT_TRUE(form.Dragging && form.pos() == start + QPoint(-30, 25));
    DropWith(Qt::RightButton);
    EXPECT_FALSE(form.Dragging);

    const QRect area = WorkArea();
    const int near = layout::kSnapDistance, far = layout::kSnapDistance + 1;
    const int rightmost = area.left() + area.width() - form.width(),
              lowest = area.top() + area.height() - form.height();
    // Each row: the drag, where it lands, then one pixel up and `far` across, where that lands.
    for (const auto& [drag, landed, across, after] :
         {std::tuple{QPoint(area.left() + near, area.top() + far), QPoint(area.left(), area.top() + far), far,
                     QPoint(area.left() + far, area.top())},
          std::tuple{QPoint(rightmost - near, lowest + far), QPoint(rightmost, lowest + far), -far,
                     QPoint(rightmost - far, lowest)}}) {
        DragBy(Qt::LeftButton, drag.x() - form.x(), drag.y() - form.y());
        EXPECT_EQ(form.pos(), landed);
        QTest::mouseMove(form.Label1, {100 + across, 10 - 1});
        EXPECT_EQ(form.pos(), after);
        DropWith(Qt::LeftButton);
    }

    // A maximized window is not snapped: the move of the top alone happens.
    form.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.geometry() == WorkArea(); }));
    const QPoint maximized = form.pos();
    DragBy(Qt::LeftButton, 0, 10);
    EXPECT_EQ(form.pos(), maximized + QPoint(0, 10));
    DropWith(Qt::LeftButton);
}

} // namespace
