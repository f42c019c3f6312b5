// The window frame: resize layout, minimum size, dragging with edge
// snapping, minimize and close, the sizing frame, the path bar and the
// heading wave.

#include "window_test.h"

#include "controls.h"
#include "look.h"
#include "ui_logic.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <map>

namespace {

using varnoquil::ui::WavePixel;

class Frame : public WindowTest {
protected:
    // The work area of the window's screen.
    QRect WorkArea() const { return form_->screen()->availableGeometry(); }

    // Presses on the title label, moves the pointer by (dx, dy) and keeps
    // the button down.
    void DragBy(Qt::MouseButton button, int dx, int dy)
    {
        const QPoint grip(100, 10);
        QTest::mousePress(form_->Label1, button, {}, grip);
        QTest::mouseMove(form_->Label1, grip + QPoint(dx, dy));
    }

    void DropWith(Qt::MouseButton button) { QTest::mouseRelease(form_->Label1, button, {}, {100, 10}); }
};

// --- resize layout ---------------------------------------------------------------

TEST_F(Frame, TheLayoutFollowsTheWindowsSizeDownToItsMinimum)
{
    TForm1& form = Open();
    for (const QSize size : {QSize(800, 500), QSize(550, 300), QSize(400, 200)}) {
        form.resize(size);
        const QSize client = form.size() - QSize(6, 6);
        EXPECT_EQ(form.size(), size.expandedTo({550, 300}));
        EXPECT_EQ(form.ListBox1->geometry(), QRect(0, 45, client.width() - 167, client.height() - 68));
        EXPECT_EQ(form.Panel3->width() - form.SpeedButton1->x(), 25);
        EXPECT_EQ(form.Panel3->width() - form.SpeedButton3->x(), 51);
        EXPECT_EQ(form.Panel3->width() - form.SpeedButton13->x(), 75);
        EXPECT_EQ(form.Panel1->height() - form.CheckBox1->y(), 19);
        EXPECT_EQ(form.Label3->height(), form.Panel1->height() - 54);
        EXPECT_EQ(form.width() - form.DiskBox->x(), 156);
        const QRect list = form.ListBox1->geometry();
        EXPECT_EQ(form.AboutBox->pos(), QPoint((list.width() - 361) / 2, 45 + (list.height() - 193) / 2));
        EXPECT_EQ(form.SEListBox->pos(), QPoint((list.width() - 369) / 2, 45 + (list.height() - 193) / 2));
    }
}

TEST_F(Frame, BoxesLargerThanTheListOverhangItByTruncatedHalves)
{
    TForm1& form = Open();
    // Only a program can make the window this small.
    form.setMinimumSize(0, 0);
    form.resize(401, 250);  // list 228 x 176
    ASSERT_EQ(form.ListBox1->size(), QSize(228, 176));
    // -133 / 2 and -17 / 2 lose their halves toward zero.
    EXPECT_EQ(form.AboutBox->pos(), QPoint(-66, 45 - 8));
    EXPECT_EQ(form.FixBox->pos(), QPoint(-66, 45 + 7));
    EXPECT_EQ(form.SEListBox->pos(), QPoint(-70, 45 - 8));
}

// --- dragging and snapping -----------------------------------------------------

TEST_F(Frame, DraggingByTheTitleMovesTheWindowWithAnyButton)
{
    TForm1& form = Open();
    const QPoint start = form.pos();
    DragBy(Qt::RightButton, -30, 25);
    EXPECT_TRUE(form.Dragging);
    EXPECT_EQ(form.pos(), start + QPoint(-30, 25));
    DropWith(Qt::RightButton);
    EXPECT_FALSE(form.Dragging);
}

TEST_F(Frame, TheSecondPressOfADoubleClickStartsADragToo)
{
    TForm1& form = Open();
    const QPoint start = form.pos();
    QTest::mouseDClick(form.Label1, Qt::LeftButton, {}, {100, 10});
    QTest::mouseMove(form.Label1, {110, 20});
    EXPECT_EQ(form.pos(), start + QPoint(10, 10));
    DropWith(Qt::LeftButton);
}

TEST_F(Frame, TheWindowSnapsToTheLeftAndTopEdgesWithinTwentyPixels)
{
    TForm1& form = Open();
    const QRect area = WorkArea();
    DragBy(Qt::LeftButton, area.left() + 20 - form.x(), area.top() + 21 - form.y());
    EXPECT_EQ(form.pos(), QPoint(area.left(), area.top() + 21));
    QTest::mouseMove(form.Label1, {100 + 21, 10 - 1});
    EXPECT_EQ(form.pos(), QPoint(area.left() + 21, area.top()));
    DropWith(Qt::LeftButton);
}

TEST_F(Frame, TheWindowSnapsToTheRightAndBottomEdgesWithinTwentyPixels)
{
    TForm1& form = Open();
    const QRect area = WorkArea();
    const int rightmost = area.left() + area.width() - form.width();
    const int lowest = area.top() + area.height() - form.height();
    DragBy(Qt::LeftButton, rightmost - 20 - form.x(), lowest + 21 - form.y());
    EXPECT_EQ(form.pos(), QPoint(rightmost, lowest + 21));
    QTest::mouseMove(form.Label1, {100 - 21, 10 - 1});
    EXPECT_EQ(form.pos(), QPoint(rightmost - 21, lowest));
    DropWith(Qt::LeftButton);
}

TEST_F(Frame, AMaximizedWindowIsNotSnapped)
{
    TForm1& form = Open();
    form.showMaximized();
    ASSERT_TRUE(form.isMaximized());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.geometry() == WorkArea(); }));
    // The left stays, so only the move of the top happens, while the window
    // is still maximized.
    const QPoint start = form.pos();
    DragBy(Qt::LeftButton, 0, 10);
    EXPECT_EQ(form.pos(), start + QPoint(0, 10));
    DropWith(Qt::LeftButton);
}

// --- frame, minimize, close ------------------------------------------------------

TEST_F(Frame, TheSizingFrameShowsSizingCursors)
{
    TForm1& form = Open();
    QTest::mouseMove(&form, {1, 150});
    EXPECT_EQ(form.cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(&form, {300, form.height() - 1});
    EXPECT_EQ(form.cursor().shape(), Qt::SizeVerCursor);
    QTest::mouseMove(&form, {form.width() - 1, form.height() - 1});
    EXPECT_EQ(form.cursor().shape(), Qt::SizeFDiagCursor);
    QTest::mouseMove(&form, {form.width() - 1, 0});
    EXPECT_EQ(form.cursor().shape(), Qt::SizeBDiagCursor);
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

// --- path bar --------------------------------------------------------------------

TEST_F(Frame, ADeepFolderIsShortenedFromTheLeftToLeaveRoomForTheDriveBox)
{
    const QString deep = "first-folder-with-a-long-name/second-folder-with-a-long-name/"
                         "third-folder-with-a-long-name/fourth-folder-with-a-long-name/roms";
    MakeFolder(deep);
    TForm1& form = Open(Folder() + "/" + deep.toStdString());
    const QString text = form.Label4->text();
    EXPECT_TRUE(text.startsWith("/.../") || text.startsWith(".../")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("-long-name/roms")) << text.toStdString();
    const int room = form.Label4->width() - 145;
    EXPECT_LE(form.Label4->fontMetrics().horizontalAdvance(text), room);

    form.resize(form.screen()->availableGeometry().width(), form.height());
    const QString wider = form.Label4->text();
    EXPECT_GT(wider.size(), text.size());
    EXPECT_TRUE(wider.endsWith(text.mid(text.indexOf("/", 1))));
}

// --- heading wave ------------------------------------------------------------------

TEST_F(Frame, TheHeadingWaveMovesEveryHundredMilliseconds)
{
    TForm1& form = Open();
    EXPECT_EQ(form.Timer1->interval(), 100);
    EXPECT_TRUE(form.Timer1->isActive());
    const int before = form.WavePhase;
    QTest::qWait(250);
    const int ticks = (form.WavePhase - before + varnoquil::ui::kWavePhases) % varnoquil::ui::kWavePhases;
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 4);
}

TEST_F(Frame, TheCurvesArePaintedRedAndGreenAtTheHeadingsRightEnd)
{
    TForm1& form = Open();
    form.Timer1->stop();
    form.WavePhase = 61;
    form.Timer1Timer();
    ASSERT_EQ(form.WavePhase, 62);

    // Later pixels cover earlier ones where the curves meet.
    std::map<std::pair<int, int>, QColor> expected;
    for (const WavePixel& p : varnoquil::ui::WavePixels(153, 62))
        expected[{p.x, p.y}] = p.curve == 1 ? look::kRed : look::kGreen;
    const QImage label = form.Label2->grab().toImage();
    int painted = 0;
    for (const auto& [at, colour] : expected) {
        if (at.first >= label.width())
            continue;  // clipped to the label
        EXPECT_EQ(label.pixelColor(at.first, at.second), colour) << at.first << "," << at.second;
        ++painted;
    }
    EXPECT_GT(painted, 40);
    // Off the curves the label keeps its own colours.
    EXPECT_EQ(label.pixelColor(120, 5), look::kDeepBlue);
}

} // namespace
