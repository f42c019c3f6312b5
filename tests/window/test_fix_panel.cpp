// SPDX-License-Identifier: MIT
// The GEMS Fix panel: opening and closing, presets, typed and stepped
// scales and the file dialogs.

#include "fix_panel_test.h"

#include <tuple>

namespace {

TEST_F(FixPanel, OpensWithFixEnterOrADoubleClickAndClosesWithX)
{
    TForm1& form = OpenPanel(Rom(true, true), "out.bin");
    GemsFixPanel& panel = *form.FixBox;
    EXPECT_TRUE(panel.SpeedButton7->isEnabled());
    // SE list, About, Delete, FIX, Checksum.
    const auto buttons = [&] {
        return Enabled({form.SEListButton, form.SpeedButton13, form.DelButton, form.FixButton, form.CheckSumButton});
    };
    const std::function<void()> openers[] = {
        [&] { QTest::mouseClick(form.FixButton, Qt::LeftButton); },
        [&] { QTest::keyClick(form.ListBox1, Qt::Key_Return); },
        [&] { DoubleClick("in.bin"); },
    };
    for (int i = 0; i < 3; ++i) {
        // Closing leaves Checksum to the next selection.
        QTest::mouseClick(panel.SpeedButton2, Qt::LeftButton);
        EXPECT_TRUE(panel.isHidden() && form.ListBox1->hasFocus());
        EXPECT_EQ(buttons(), "11110") << i;
        openers[i]();
        // The output box is emptied, the output file kept; the input path is shortened.
        EXPECT_TRUE(panel.isVisible());
        EXPECT_EQ(form.InFile, Path("in.bin"));
        EXPECT_TRUE(panel.In_Edit->text().contains("...") && panel.In_Edit->text().endsWith("/in.bin"));
        EXPECT_TRUE(panel.Out_Edit->text().isEmpty() && !panel.SpeedButton7->isEnabled());
        EXPECT_EQ(form.OutFile, Path("out.bin"));
        // A double click's second press selects the entry again after the
        // panel opened, which gives Delete and Checksum back.
        EXPECT_EQ(buttons(), i == 2 ? "00111" : "00010") << i;
    }
    // Closing on ".." leaves Delete off.
    form.ListBox1->setCurrentRow(0);
    QTest::mouseClick(panel.SpeedButton2, Qt::LeftButton);
    EXPECT_FALSE(form.DelButton->isEnabled());
}

TEST_F(FixPanel, PresetsSetTheScalesAndTheModeAndANonNumberEndsOnlyTheChangeThatReadIt)
{
    TForm1& form = OpenPanel(Rom(false, false), "out.bin");
    GemsFixPanel& panel = *form.FixBox;
    const auto texts = [&] { return panel.FMBox->text() + " " + panel.PSGBox->text(); };
    EXPECT_EQ(texts(), "1.250 1.500"); // the first preset is chosen at start-up
    // The window shows the core's presets padded, and Custom alone lets them change.
    for (const auto& [index, shown, fm, psg, custom] :
         {std::tuple{1, "2 2", 2000, 2000, false}, std::tuple{6, "0.001 0.001", 1, 1, true},
          std::tuple{0, "1.250 1.500", 1250, 1500, false}}) {
        ChoosePreset(form, index);
        EXPECT_EQ(texts(), shown) << index;
        EXPECT_EQ(std::pair(panel.UpDown1->position(), panel.UpDown2->position()), std::pair(fm, psg)) << index;
        EXPECT_EQ(panel.FMBox->isReadOnly() || panel.PSGBox->isReadOnly(), !custom) << index;
        EXPECT_EQ(panel.UpDown1->isEnabled() && panel.UpDown2->isEnabled(), custom) << index;
    }
    // An emptied box is no number: the change reports it. Another preset
    // still replaces both texts, and its first change finds the empty box once more.
    ChoosePreset(form, 6);
    Retype(panel.FMBox, "3");
    Retype(panel.PSGBox, "");
    ASSERT_EQ(errors_.size(), 1u);
    ChoosePreset(form, 3);
    EXPECT_EQ(texts(), "1 1");
    EXPECT_TRUE(panel.FMBox->isReadOnly() && panel.PSGBox->isReadOnly());
    EXPECT_EQ(errors_.size(), 2u);

    // FIX still opens the panel on the first click, though emptying the
    // output box reads the scales and reports the empty one, once.
    ChoosePreset(form, 6);
    Retype(panel.FMBox, "");
    QTest::mouseClick(panel.SpeedButton2, Qt::LeftButton);
    QTest::mouseClick(form.FixButton, Qt::LeftButton);
    EXPECT_TRUE(panel.isVisible() && panel.Out_Edit->text().isEmpty() && !form.SpeedButton13->isEnabled());
    ASSERT_EQ(errors_.size(), 4u);
    for (const ShownError& error : errors_)
        EXPECT_EQ(error.text, "'' is not a valid floating point value.");
}

TEST_F(FixPanel, ScaleBoxesTakeDigitsAndOneLocaleSeparatorAndStepWithTheArrows)
{
    for (const auto& [locale, own, other] :
         {std::tuple{QLocale::c(), '.', ','}, std::tuple{QLocale(QLocale::German), ',', '.'}}) {
        QLocale::setDefault(locale);
        TForm1& form = OpenPanel(Rom(false, false), "out.bin");
        GemsFixPanel& panel = *form.FixBox;
        ChoosePreset(form, 6);
        // Texts with "#" for the locale's separator.
        const auto text = [own = own](QString pattern) { return pattern.replace('#', QLatin1Char(own)); };
        QTest::keyClick(panel.FMBox, Qt::Key_End);
        for (const char key : {'a', own, other, '-', ' ', '\b', '5'})
            QTest::keyClicks(panel.FMBox, QString(QLatin1Char(key)));
        EXPECT_EQ(panel.FMBox->text(), text("0#0015"));
        EXPECT_EQ(panel.UpDown1->position(), 2); // rounded, not cut
        // Delete types no character and works, also with the DEL character
        // X11 gives it as text; several characters at once are judged one by one.
        QTest::keyClick(panel.FMBox, Qt::Key_Home);
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent del(type, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
            QApplication::sendEvent(panel.FMBox, &del);
        }
        QKeyEvent several(QEvent::KeyPress, 0, Qt::NoModifier, text("2x#") + QLatin1Char(other));
        QApplication::sendEvent(panel.FMBox, &several);
        EXPECT_EQ(panel.FMBox->text(), text("2#0015"));
        EXPECT_EQ(panel.UpDown1->position(), 2002);
        Retype(panel.PSGBox, "0");
        EXPECT_FALSE(panel.SpeedButton7->isEnabled());
        Retype(panel.PSGBox, "2");
        EXPECT_TRUE(panel.SpeedButton7->isEnabled());
        // The arrows step by a thousandth, unpadded, and stop above 0.
        for (const auto& [from, up, to, position] :
             {std::tuple{"1#250", true, "1#251", 1251}, std::tuple{"1#999", true, "2", 2000},
              std::tuple{"0#002", false, "0#001", 1}, std::tuple{"0#001", false, "0#001", 1}}) {
            Retype(panel.PSGBox, text(from));
            QTest::mouseClick(up ? panel.UpDown2->upArrow() : panel.UpDown2->downArrow(), Qt::LeftButton);
            EXPECT_EQ(std::pair(panel.PSGBox->text(), panel.UpDown2->position()), std::pair(text(to), position))
                << from;
        }
        ChoosePreset(form, 0);
        QTest::keyClicks(panel.FMBox, "7"); // read-only again
        EXPECT_EQ(panel.FMBox->text(), text("1#250"));
        EXPECT_TRUE(errors_.empty());
    }
}

TEST_F(FixPanel, DialogsChooseTheFilesAndKeepTheCurrentFolder)
{
    TForm1& form = OpenPanel(Rom(false, false));
    GemsFixPanel& panel = *form.FixBox;
    answers_ = {"/roms/Other Game.SMD", "", Deep("out.bin"), "", Deep("again.bin")};
    for (QToolButton* button : {panel.SpeedButton5, panel.SpeedButton5, panel.SpeedButton6, panel.SpeedButton6})
        QTest::mouseClick(button, Qt::LeftButton); // each second one is cancelled
    EXPECT_EQ(form.InFile, "/roms/Other Game.SMD");
    EXPECT_EQ(panel.In_Edit->text(), "/roms/Other Game.SMD");
    EXPECT_EQ(form.OutFile, Path("out.bin"));
    EXPECT_TRUE(panel.SpeedButton7->isEnabled());
    form.InFile = Path("x.Bin");
    QTest::mouseClick(panel.SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(form.OutFile, Path("again.bin"));
    EXPECT_EQ(QDir::currentPath(), Deep("").chopped(1));

    // The save filter follows the input's extension; the last name chosen is offered again.
    ASSERT_EQ(asked_.size(), 5u);
    EXPECT_EQ(std::tuple(asked_[0].save, asked_[0].folder, asked_[2].save),
              std::tuple(false, QDir::currentPath(), true));
    EXPECT_EQ(std::tuple(asked_[2].filter, asked_[4].filter), std::tuple(1, 0));
    EXPECT_EQ(std::tuple(asked_[2].fileName, asked_[3].fileName, asked_[4].fileName),
              std::tuple(QString("VQL_Untitled"), Deep("out.bin"), Deep("out.bin")));
}

} // namespace
