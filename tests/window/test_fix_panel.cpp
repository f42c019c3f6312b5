// SPDX-License-Identifier: MIT
// The GEMS Fix panel: opening and closing, presets, typed and stepped
// scales and the file dialogs.

#include "fix_panel_test.h"

using namespace varnoquil;

namespace {

TEST_F(FixPanel, OpensWithFixEnterOrADoubleClickAndClosesWithX)
{
    TForm1& form = OpenPanel(Rom(true, true), "out.bin");
    EXPECT_TRUE(form.FixBox->SpeedButton7->isEnabled());
    QTest::mouseClick(form.FixBox->SpeedButton2, Qt::LeftButton);
    EXPECT_FALSE(form.FixBox->isVisible());
    EXPECT_TRUE(form.SEListButton->isEnabled() && form.SpeedButton13->isEnabled() && form.ListBox1->hasFocus());
    EXPECT_TRUE(form.DelButton->isEnabled() && form.FixButton->isEnabled());
    EXPECT_FALSE(form.CheckSumButton->isEnabled()); // the next selection decides it

    const std::function<void()> openers[] = {
        [&] { QTest::mouseClick(form.FixButton, Qt::LeftButton); },
        [&] { QTest::keyClick(form.ListBox1, Qt::Key_Return); },
        [&] { DoubleClick("in.bin"); },
    };
    for (int i = 0; i < 3; ++i) {
        openers[i]();
        // The output box is emptied, the output file kept; the input path is shortened.
        EXPECT_TRUE(form.FixBox->isVisible());
        EXPECT_EQ(form.InFile, Path("in.bin"));
        EXPECT_TRUE(form.FixBox->In_Edit->text().contains("...") && form.FixBox->In_Edit->text().endsWith("/in.bin"));
        EXPECT_TRUE(form.FixBox->Out_Edit->text().isEmpty() && !form.FixBox->SpeedButton7->isEnabled());
        EXPECT_EQ(form.OutFile, Path("out.bin"));
        EXPECT_FALSE(form.SpeedButton13->isEnabled() || form.SEListButton->isEnabled());
        // A double click's second press selects the entry again after the
        // panel opened, which gives Delete and Checksum back.
        EXPECT_EQ(form.DelButton->isEnabled() || form.CheckSumButton->isEnabled(), i == 2);
        EXPECT_TRUE(form.FixButton->isEnabled());
        QTest::mouseClick(form.FixBox->SpeedButton2, Qt::LeftButton);
    }
    // Closing on ".." leaves Delete off.
    form.ListBox1->setCurrentRow(0);
    QTest::mouseClick(form.FixButton, Qt::LeftButton);
    QTest::mouseClick(form.FixBox->SpeedButton2, Qt::LeftButton);
    EXPECT_FALSE(form.DelButton->isEnabled());
}

TEST_F(FixPanel, PresetsSetTheScalesAndTheMode)
{
    TForm1& form = OpenPanel(Rom(false, false));
    // The first preset is chosen at start-up.
    EXPECT_EQ(form.FixBox->FMBox->text() + " " + form.FixBox->PSGBox->text(), "1.250 1.500");
    struct Case {
        int index;
        const char* texts;
        int fm, psg;
        bool custom;
    };
    // The presets' values are the core's; the window shows them padded and sets the mode.
    for (const Case& c : {Case{1, "2 2", 2000, 2000, false}, Case{4, "0.500 0.500", 500, 500, false},
                          Case{6, "0.001 0.001", 1, 1, true}, Case{0, "1.250 1.500", 1250, 1500, false}}) {
        ChoosePreset(form, c.index);
        EXPECT_EQ(form.FixBox->FMBox->text() + " " + form.FixBox->PSGBox->text(), c.texts) << c.index;
        EXPECT_EQ(std::pair(form.FixBox->UpDown1->position(), form.FixBox->UpDown2->position()),
                  std::pair(c.fm, c.psg));
        EXPECT_EQ(form.FixBox->FMBox->isReadOnly() || form.FixBox->PSGBox->isReadOnly(), !c.custom) << c.index;
        EXPECT_EQ(form.FixBox->UpDown1->isEnabled() && form.FixBox->UpDown2->isEnabled(), c.custom) << c.index;
    }
    // A typed value gives way to the preset's.
    ChoosePreset(form, 6);
    Retype(form.FixBox->FMBox, "3");
    ChoosePreset(form, 3);
    EXPECT_EQ(form.FixBox->FMBox->text(), "1");
}

TEST_F(FixPanel, ScaleBoxesTakeDigitsAndOneLocaleSeparatorAndStepWithTheArrows)
{
    for (const auto& [locale, own, other] :
         {std::tuple{QLocale::c(), '.', ','}, std::tuple{QLocale(QLocale::German), ',', '.'}}) {
        QLocale::setDefault(locale);
        TForm1& form = OpenPanel(Rom(false, false), "out.bin");
        ChoosePreset(form, 6);
        // Texts with "#" for the locale's separator.
        const auto text = [own = own](QString pattern) { return pattern.replace('#', QLatin1Char(own)); };
        QTest::keyClick(form.FixBox->FMBox, Qt::Key_End);
        for (const char key : {'a', own, other, '-', ' ', '\b', '5'})
            QTest::keyClicks(form.FixBox->FMBox, QString(QLatin1Char(key)));
        EXPECT_EQ(form.FixBox->FMBox->text(), text("0#0015"));
        EXPECT_EQ(form.FixBox->UpDown1->position(), 2); // rounded, not cut
        // Delete types no character and works, also with the DEL character
        // X11 gives it as text; several characters at once are judged one
        // by one.
        QTest::keyClick(form.FixBox->FMBox, Qt::Key_Home);
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent del(type, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
            QApplication::sendEvent(form.FixBox->FMBox, &del);
        }
        QKeyEvent several(QEvent::KeyPress, 0, Qt::NoModifier, text("2x#") + QLatin1Char(other));
        QApplication::sendEvent(form.FixBox->FMBox, &several);
        EXPECT_EQ(form.FixBox->FMBox->text(), text("2#0015"));
        EXPECT_EQ(form.FixBox->UpDown1->position(), 2002);
        for (const auto& [psg, enabled] : {std::pair{"0", false}, std::pair{"2", true}}) {
            Retype(form.FixBox->PSGBox, psg);
            EXPECT_EQ(form.FixBox->SpeedButton7->isEnabled(), enabled) << psg;
        }
        // The arrows step by a thousandth, unpadded, and stop above 0.
        for (const auto& [from, up, to, position] :
             {std::tuple{"1#250", true, "1#251", 1251}, std::tuple{"1#999", true, "2", 2000},
              std::tuple{"0#002", false, "0#001", 1}, std::tuple{"0#001", false, "0#001", 1}}) {
            Retype(form.FixBox->PSGBox, text(from));
            QTest::mouseClick(up ? form.FixBox->UpDown2->upArrow() : form.FixBox->UpDown2->downArrow(), Qt::LeftButton);
            EXPECT_EQ(std::pair(form.FixBox->PSGBox->text(), form.FixBox->UpDown2->position()),
                      std::pair(text(to), position))
                << from;
        }
        ChoosePreset(form, 0);
        QTest::keyClicks(form.FixBox->FMBox, "7"); // read-only again
        EXPECT_EQ(form.FixBox->FMBox->text(), text("1#250"));
        EXPECT_TRUE(errors_.empty());
    }
}

TEST_F(FixPanel, DialogsChooseTheFilesAndKeepTheCurrentFolder)
{
    TForm1& form = OpenPanel(Rom(false, false));
    duringDialog_ = [] { QDir::setCurrent(QDir::rootPath()); };
    answers_ = {"/roms/Other Game.SMD", "", Deep("out.bin"), "", Deep("again.bin")};
    for (QToolButton* button :
         {form.FixBox->SpeedButton5, form.FixBox->SpeedButton5, form.FixBox->SpeedButton6, form.FixBox->SpeedButton6})
        QTest::mouseClick(button, Qt::LeftButton); // each second one is cancelled
    EXPECT_EQ(form.InFile, "/roms/Other Game.SMD");
    EXPECT_EQ(form.FixBox->In_Edit->text(), "/roms/Other Game.SMD");
    EXPECT_EQ(form.OutFile, Path("out.bin"));
    EXPECT_TRUE(form.FixBox->SpeedButton7->isEnabled());
    form.InFile = Path("x.Bin");
    QTest::mouseClick(form.FixBox->SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(form.OutFile, Path("again.bin"));
    EXPECT_EQ(QDir::currentPath(), DeepFolder());

    // The save filter follows the input's extension; the last name chosen is offered again.
    ASSERT_EQ(asked_.size(), 5u);
    EXPECT_EQ(std::tuple(asked_[0].save, asked_[0].folder, asked_[2].save),
              std::tuple(false, QDir::currentPath(), true));
    EXPECT_EQ(std::tuple(asked_[2].filter, asked_[4].filter), std::tuple(1, 0));
    EXPECT_EQ(std::tuple(asked_[2].fileName, asked_[3].fileName, asked_[4].fileName),
              std::tuple(QString("VQL_Untitled"), Deep("out.bin"), Deep("out.bin")));
}

TEST_F(FixPanel, ANonNumberInAScaleBoxEndsOnlyTheChangeThatReadIt)
{
    TForm1& form = OpenPanel(Rom(false, false), "out.bin");
    ChoosePreset(form, 6);
    Retype(form.FixBox->PSGBox, "");
    ASSERT_EQ(errors_.size(), 1u);
    // Another preset still replaces both texts and makes the boxes read-only;
    // the first change after the choice finds the empty box once more.
    ChoosePreset(form, 3);
    EXPECT_EQ(form.FixBox->FMBox->text() + " " + form.FixBox->PSGBox->text(), "1 1");
    EXPECT_TRUE(form.FixBox->FMBox->isReadOnly() && form.FixBox->PSGBox->isReadOnly());
    EXPECT_EQ(errors_.size(), 2u);

    // FIX opens the panel on the first click; emptying the output box reads
    // the scales and reports the empty one, once.
    ChoosePreset(form, 6);
    Retype(form.FixBox->FMBox, "");
    QTest::mouseClick(form.FixBox->SpeedButton2, Qt::LeftButton);
    const std::size_t shown = errors_.size();
    QTest::mouseClick(form.FixButton, Qt::LeftButton);
    EXPECT_TRUE(form.FixBox->isVisible());
    EXPECT_TRUE(form.FixBox->Out_Edit->text().isEmpty() && !form.SpeedButton13->isEnabled());
    ASSERT_EQ(errors_.size(), shown + 1);
    for (const ShownError& error : errors_)
        EXPECT_EQ(error.text, "'' is not a valid floating point value.");
}

} // namespace
