// SPDX-License-Identifier: MIT
// The window on a Wayland compositor, run by wayland_smoke.sh under a
// headless weston (and skipped on any other platform): it comes up, survives
// a drag by its title (which asks the compositor to move it), minimizes, and
// its close button closes the last window, which ends the program.

#include "window_test.h"

#include <QTimer>

class OnWayland : public WindowTest {};

TEST_F(OnWayland, TheWindowComesUpMovesMinimizesAndCloses)
{
    if (qgetenv("QT_QPA_PLATFORM") != "wayland")
        GTEST_SKIP() << "runs under wayland_smoke.sh";
    Open();

    QTest::mousePress(form_->Label1, Qt::LeftButton, {}, {100, 10});
    QTest::mouseMove(form_->Label1, {160, 40});
    QTest::mouseRelease(form_->Label1, Qt::LeftButton, {}, {160, 40});
    EXPECT_TRUE(!form_->Dragging && form_->isVisible());

    QTest::mouseClick(form_->SpeedButton3, Qt::LeftButton);
    EXPECT_TRUE(form_->isMinimized());
    form_->showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));

    // The close button, pressed while the event loop runs, ends it as in the program.
    QApplication::setQuitOnLastWindowClosed(true);
    QTimer::singleShot(0, form_.get(), [this] { QTest::mouseClick(form_->SpeedButton1, Qt::LeftButton); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(!form_->isVisible() && errors_.empty());
}
