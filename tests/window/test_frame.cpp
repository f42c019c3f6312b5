// SPDX-License-Identifier: MIT
// The window as it comes up (folder, listing, states, focus, drives) and its
// frame: resize layout, dragging with edge
// snapping, minimize and close.

#include "window_test.h"

#include "controls.h"

#include <QScreen>

namespace layout = varnoquil::ui::layout;

namespace {

class StartUp : public WindowTest {};

TEST_F(StartUp, ListsTheStartFolderWithItsSmdFilesAndSetsTheStartStates)
{
    MakeFolder("sub");
    MakeFolder(".hidden");
    for (const char* name : {"a.bin", "b.smd", "c.txt", "D.BIN", ".e.bin"})
        MakeFile(name);
    QDir::setCurrent(QDir::rootPath()); // started from elsewhere
    TForm1& form = Open();

    EXPECT_EQ(QDir::currentPath().toStdString(), Folder());
    EXPECT_EQ(Entries(), (QStringList{"..", "sub", ".e.bin", "a.bin", "b.smd", "D.BIN"}));
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    EXPECT_EQ(form.focusWidget(), form.ListBox1);
    EXPECT_EQ(form.Label4->text().toStdString(), Folder());
    EXPECT_TRUE(form.CheckBox1->isChecked());
    // Entry 0 is "..": nothing to delete, fix or repair.
    EXPECT_FALSE(form.DelButton->isEnabled() || form.FixButton->isEnabled() || form.CheckSumButton->isEnabled());
    for (QToolButton* button : {form.SpeedButton4, form.SpeedButton8, form.SEListButton, form.SpeedButton13})
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    for (QGroupBox* box : std::initializer_list<QGroupBox*>{form.AboutBox, form.FixBox, form.SEListBox})
        EXPECT_TRUE(box->isHidden()) << box->objectName().toStdString();

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

TEST_F(Frame, TheLayoutFollowsTheWindowsSizeDownToItsMinimum)
{
    TForm1& form = Open();
    const QSize minimum(layout::kMinimumSize.width, layout::kMinimumSize.height);
    for (const QSize size : {QSize(800, 500), minimum, minimum - QSize(150, 100)}) {
        form.resize(size);
        const QSize client = form.size() - 2 * QSize(layout::kFrameThickness, layout::kFrameThickness);
        EXPECT_EQ(form.size(), size.expandedTo(minimum));
        EXPECT_EQ(form.ListBox1->geometry(),
                  QRect(0, layout::kListTop, client.width() - layout::kInfoPanelWidth,
                        client.height() - layout::kListTop - layout::kPathBarHeight));
        // Each box centred over the list, halves truncated toward zero.
        const QRect list = form.ListBox1->geometry();
        for (QGroupBox* box : std::initializer_list<QGroupBox*>{form.AboutBox, form.FixBox, form.SEListBox}) {
            EXPECT_EQ(box->pos(),
                      QPoint((list.width() - box->width()) / 2, list.top() + (list.height() - box->height()) / 2))
                << box->objectName().toStdString();
        }
    }
}

TEST_F(Frame, DraggingByTheTitleMovesAndSnapsTheWindow)
{
    TForm1& form = Open();
    const QPoint start = form.pos();
    DragBy(Qt::RightButton, -30, 25); // any button drags
    EXPECT_TRUE(form.Dragging);
    EXPECT_EQ(form.pos(), start + QPoint(-30, 25));
    DropWith(Qt::RightButton);
    EXPECT_FALSE(form.Dragging);

    // Within the snap distance of an edge of the work area the window snaps
    // to it, each direction on its own.
    const QRect area = WorkArea();
    const int near = layout::kSnapDistance, far = layout::kSnapDistance + 1;
    DragBy(Qt::LeftButton, area.left() + near - form.x(), area.top() + far - form.y());
    EXPECT_EQ(form.pos(), QPoint(area.left(), area.top() + far));
    QTest::mouseMove(form.Label1, {100 + far, 10 - 1});
    EXPECT_EQ(form.pos(), QPoint(area.left() + far, area.top()));
    DropWith(Qt::LeftButton);
    const int rightmost = area.left() + area.width() - form.width();
    const int lowest = area.top() + area.height() - form.height();
    DragBy(Qt::LeftButton, rightmost - near - form.x(), lowest + far - form.y());
    EXPECT_EQ(form.pos(), QPoint(rightmost, lowest + far));
    QTest::mouseMove(form.Label1, {100 - far, 10 - 1});
    EXPECT_EQ(form.pos(), QPoint(rightmost - far, lowest));
    DropWith(Qt::LeftButton);

    // A maximized window is not snapped: the move of the top alone happens.
    form.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.geometry() == WorkArea(); }));
    const QPoint maximized = form.pos();
    DragBy(Qt::LeftButton, 0, 10);
    EXPECT_EQ(form.pos(), maximized + QPoint(0, 10));
    DropWith(Qt::LeftButton);
}

TEST_F(Frame, TheToolbarMinimizesAndClosesTheWindow)
{
    TForm1& form = Open();
    QTest::mouseClick(form.SpeedButton3, Qt::LeftButton);
    EXPECT_TRUE(form.isMinimized());
    form.showNormal();
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

} // namespace
