// SPDX-License-Identifier: MIT
// The window on a Wayland compositor, started by wayland_smoke.sh under a
// headless weston: it comes up in its folder and lists it, survives a drag
// by its title (which asks the compositor to move it), minimizes, and its
// close button closes the last window, which ends the program.

#include "application.h"
#include "form1.h"
#include "rom_builder.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

TEST(OnWayland, TheWindowComesUpListsItsFolderMovesMinimizesAndCloses)
{
    ASSERT_TRUE(QGuiApplication::platformName().startsWith("wayland")) << QGuiApplication::platformName().toStdString();
    const vtest::TempDir folder;
    ASSERT_TRUE(QDir(QString::fromStdString(folder.root)).mkdir("sub"));
    vtest::WriteFile(folder.Path("game.bin"), {'R', 'O', 'M'});
    std::vector<std::string> errors;
    TApplication::ErrorBox = [&](const QString&, const QString& text) { errors.push_back(text.toStdString()); };

    const std::unique_ptr<TForm1> form = TForm1::StartWith(folder.root);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QStringList entries;
    for (int i = 0; i < form->ListBox1->count(); ++i)
        entries << form->ListBox1->item(i)->text();
    EXPECT_EQ(entries, (QStringList{"..", "sub", "game.bin"}));

    QTest::mousePress(form->Label1, Qt::LeftButton, {}, {100, 10});
    QTest::mouseMove(form->Label1, {160, 40});
    QTest::mouseRelease(form->Label1, Qt::LeftButton, {}, {160, 40});
    EXPECT_FALSE(form->Dragging);
    EXPECT_TRUE(form->isVisible());

    QTest::mouseClick(form->SpeedButton3, Qt::LeftButton);
    EXPECT_TRUE(form->isMinimized());
    form->showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

    // The close button, pressed while the event loop runs, ends it.
    QTimer::singleShot(0, form.get(), [&] { QTest::mouseClick(form->SpeedButton1, Qt::LeftButton); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(errors.empty());
}

} // namespace

int main(int argc, char** argv)
{
    TApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
