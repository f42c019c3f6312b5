// SPDX-License-Identifier: MIT
// The GEMS Fix panel: opening and closing, presets, typed and stepped
// scales, the file dialogs (the real save dialog too), the Fix GEMS command
// and the progress bar's counts.

#include "fix_panel_test.h"

using namespace varnoquil;

namespace {

// FIX, Enter and a double click open the panel for the selected image: the
// input path shortened, the output box emptied but the output file kept. X
// closes it and leaves Checksum to the next selection.
TEST_F(FixPanel, OpensWithFixEnterOrADoubleClickAndClosesWithX)
{
    TForm1& form = OpenPanel("out.bin");
    GemsFixPanel& panel = *form.FixBox;
    // SE list, About, Delete, FIX, Checksum, Fix GEMS; the panel shown.
    const auto state = [&] {
        return Enabled({form.SEListButton, form.SpeedButton13, form.DelButton, form.FixButton, form.CheckSumButton,
                        panel.SpeedButton7})
            + (panel.isVisible() ? " shown" : " hidden");
    };
    const std::function<void()> openers[] = {
        [&] { QTest::mouseClick(form.FixButton, Qt::LeftButton); },
        [&] { QTest::keyClick(form.ListBox1, Qt::Key_Return); },
        [&] { DoubleClick("in.bin"); },
    };
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(panel.SpeedButton2, Qt::LeftButton);
        EXPECT_EQ(state(), i == 0 ? "111101 hidden" : "111100 hidden") << i;
        EXPECT_TRUE(form.ListBox1->hasFocus());
        openers[i]();
        // A double click's second press selects the entry again after the
        // panel opened, which gives Delete and Checksum back.
        EXPECT_EQ(state(), i == 2 ? "001110 shown" : "000100 shown") << i;
        EXPECT_EQ(form.InFile + " " + form.OutFile, Path("in.bin") + " " + Path("out.bin"));
        EXPECT_TRUE(panel.In_Edit->text().contains("...") && panel.In_Edit->text().endsWith("/in.bin"));
        EXPECT_TRUE(panel.Out_Edit->text().isEmpty());
    }
    form.ListBox1->setCurrentRow(0); // closing on ".." leaves Delete off
    QTest::mouseClick(panel.SpeedButton2, Qt::LeftButton);
    EXPECT_FALSE(form.DelButton->isEnabled());
}

// The presets set both scales, padded, and Custom alone lets them change:
// typed, with digits and one separator of the user's locale, or stepped with
// the arrows. A box emptied is no number: each change that reads it reports it.
TEST_F(FixPanel, ScaleBoxesFollowThePresetsTakeDigitsAndOneSeparatorAndStepWithTheArrows)
{
    for (const auto& [locale, own, other] :
         {std::tuple{QLocale::c(), '.', ','}, std::tuple{QLocale(QLocale::German), ',', '.'}}) {
        QLocale::setDefault(locale);
        TForm1& form = OpenPanel("out.bin");
        GemsFixPanel& panel = *form.FixBox;
        // Texts with "#" for the locale's separator.
        const auto text = [own = own](QString pattern) { return pattern.replace('#', QLatin1Char(own)); };
        // Both texts; whether the up-downs and the boxes can be changed.
        const auto state = [&] {
            return panel.FMBox->text() + " " + panel.PSGBox->text() + " "
                + QString::fromStdString(Enabled({panel.UpDown1, panel.UpDown2}))
                + (panel.FMBox->isReadOnly() ? "R" : "W") + (panel.PSGBox->isReadOnly() ? "R" : "W");
        };
        EXPECT_EQ(state(), text("1#250 1#500 00RR")); // the first preset is chosen at start-up
        ChoosePreset(form, 1);
        EXPECT_EQ(state(), "2 2 00RR");
        ChoosePreset(form, 6);
        EXPECT_EQ(state(), text("0#001 0#001 11WW"));
        QTest::keyClick(panel.FMBox, Qt::Key_End);
        for (const char key : {'a', own, other, '-', ' ', '\b', '5'})
            QTest::keyClicks(panel.FMBox, QString(QLatin1Char(key)));
        const auto fm = [&] { return std::pair(panel.FMBox->text(), panel.UpDown1->position()); };
        EXPECT_EQ(fm(), std::pair(text("0#0015"), 2)); // the position rounded, not cut
        // Delete types no character and works, also with the DEL character
        // X11 gives it as text; several characters at once are judged one by one.
        QTest::keyClick(panel.FMBox, Qt::Key_Home);
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent del(type, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
            QApplication::sendEvent(panel.FMBox, &del);
        }
        QKeyEvent several(QEvent::KeyPress, 0, Qt::NoModifier, text("2x#") + QLatin1Char(other));
        QApplication::sendEvent(panel.FMBox, &several);
        EXPECT_EQ(fm(), std::pair(text("2#0015"), 2002));
        Retype(panel.PSGBox, "0");
        EXPECT_FALSE(panel.SpeedButton7->isEnabled());
        // The arrows step by a thousandth, unpadded, and stop above 0.
        for (const auto& [from, up, to, position] :
             {std::tuple{"1#250", true, "1#251", 1251}, std::tuple{"1#999", true, "2", 2000},
              std::tuple{"0#002", false, "0#001", 1}, std::tuple{"0#001", false, "0#001", 1}}) {
            Retype(panel.PSGBox, text(from));
            QTest::mouseClick(up ? panel.UpDown2->upArrow() : panel.UpDown2->downArrow(), Qt::LeftButton);
            EXPECT_EQ(std::pair(panel.PSGBox->text(), panel.UpDown2->position()), std::pair(text(to), position))
                << from;
        }
        EXPECT_TRUE(panel.SpeedButton7->isEnabled() && errors_.empty());

        // Another preset still replaces both texts; its first change finds the emptied box once more.
        Retype(panel.PSGBox, "");
        ASSERT_EQ(errors_.size(), 1u);
        ChoosePreset(form, 3);
        QTest::keyClicks(panel.FMBox, "7");
        EXPECT_EQ(state(), "1 1 00RR");
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
        errors_.clear();
    }
}

// The dialogs leave the current folder as it was; the save filter follows
// the input's extension, and the last name chosen is offered again. The real
// save dialog, answered with keys, refuses a folder that does not exist.
TEST_F(FixPanel, DialogsChooseTheFilesKeepTheFolderAndRefuseAMissingOne)
{
    TForm1& form = OpenPanel();
    GemsFixPanel& panel = *form.FixBox;
    answers_ = {"/roms/Other Game.SMD", "", Deep("out.bin"), "", Deep("again.bin")};
    for (QToolButton* button : {panel.SpeedButton5, panel.SpeedButton5, panel.SpeedButton6, panel.SpeedButton6})
        QTest::mouseClick(button, Qt::LeftButton); // each second one is cancelled
    EXPECT_EQ(form.InFile + " " + panel.In_Edit->text().toStdString(), "/roms/Other Game.SMD /roms/Other Game.SMD");
    EXPECT_EQ(form.OutFile, Path("out.bin"));
    form.InFile = Path("x.Bin");
    QTest::mouseClick(panel.SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(form.OutFile, Path("again.bin"));
    EXPECT_EQ(QDir::currentPath(), Deep("").chopped(1));
    // Each dialog asked for, from the list's folder: save or open, the filter, the name offered.
    QStringList asked;
    for (const dialogs::FileDialogSetup& setup : asked_) {
        asked << QString("%1%2 %3").arg(setup.save).arg(setup.filter).arg(QFileInfo(setup.fileName).fileName());
        EXPECT_EQ(setup.folder, QDir::currentPath());
    }
    EXPECT_EQ(asked, (QStringList{"00 ", "00 ", "11 VQL_Untitled", "11 out.bin", "10 out.bin"}));

    dialogs::RunFileDialog = platformDialog_; // the real dialog, answered with keys
    // Types the names into the dialog as it comes up and answers a warning
    // with Return; whatever is still open after the names fails and is closed.
    QStringList names = {"missing/game", "game"}, seen;
    QTimer answerer;
    answerer.callOnTimeout([&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* edit = modal ? modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->text().section('\n', 0, 0);
            QTest::keyClick(box, Qt::Key_Return);
        } else if (edit && !names.isEmpty()) {
            seen << modal->windowTitle();
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, names.takeFirst());
            // Pressed outside this timer, which must answer the warning it brings.
            QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
        } else if (modal) {
            ADD_FAILURE() << "left open: " << modal->windowTitle().toStdString();
            modal->close();
        }
    });
    answerer.start(20);
    QTest::mouseClick(form.FixBox->SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(seen, (QStringList{"Save ROM image", Deep("missing"), "Save ROM image"}));
    EXPECT_EQ(form.OutFile, Path("game.bin"));
}

// The core's own tests cover the tables found or not; here the window must
// pass on the chosen scales and checksum option and report each step. A
// failure ends the command before it writes anything.
TEST_F(FixPanel, FixGemsWritesWhatTheCoreWritesAndReportsEachStep)
{
    for (const auto& [fm, checksum, preset] : {std::tuple{true, true, 0}, std::tuple{false, false, 4}}) {
        TForm1& form = OpenPanel("out.bin", fm);
        GemsFixPanel& panel = *form.FixBox;
        if (checksum) { // the emptied box cannot be converted; the output may not be the input
            const QString status = form.Label3->text();
            ChoosePreset(form, 6);
            Retype(panel.FMBox, "");
            QTest::mouseClick(panel.SpeedButton7, Qt::LeftButton);
            form.OutFile = form.InFile;
            ChoosePreset(form, preset);
            QTest::mouseClick(panel.SpeedButton7, Qt::LeftButton);
            form.OutFile = Path("out.bin");
            ASSERT_EQ(errors_.size(), 3u);
            EXPECT_EQ(errors_[2].text, "The output file must not be the input file.");
            EXPECT_TRUE(form.Label3->text() == status && !QFile::exists(Deep("out.bin")));
        } else {
            ChoosePreset(form, preset);
            QTest::mouseClick(panel.Label10, Qt::RightButton); // any button on the caption toggles the option
        }
        ASSERT_EQ(panel.CheckBox2->isChecked(), checksum);
        // A click while the run lets the window take input starts no second run.
        QString statusAtSecondClick;
        QTimer::singleShot(0, [&] {
            statusAtSecondClick = form.Label3->text();
            QTest::mouseClick(panel.SpeedButton7, Qt::LeftButton);
        });
        QTest::mouseClick(panel.SpeedButton7, Qt::LeftButton);
        EXPECT_EQ(statusAtSecondClick, "Loading..\n");

        const ScalePreset& scales = ScalePresets()[std::size_t(preset)];
        const std::string expected = FilePath("expected.bin").toStdString();
        vtest::a_byte image;
        FixGems({Path("in.bin"), expected, scales.fmThousandths / 1000.0, scales.psgThousandths / 1000.0, checksum}, {},
                image);
        EXPECT_EQ(vtest::ReadFile(Path("out.bin")), vtest::ReadFile(expected));
        EXPECT_EQ(vtest::ReadFile(Path("in.bin")), Rom(fm));
        QStringList lines = {"Loading..", fm ? "fm fixed" : "fm not fixed", "psg fixed", "Fix Finished!"};
        if (checksum)
            lines.insert(3, "checksum fix..");
        EXPECT_EQ(form.Label3->text().split('\n'), lines);
        EXPECT_EQ(panel.ProgressBar1->maximum(), 2 * 0x2000 + (checksum ? 32 : 22));
        EXPECT_EQ(panel.ProgressBar1->value(), panel.ProgressBar1->maximum());
        EXPECT_TRUE(panel.isVisible() && panel.SpeedButton7->isEnabled());
    }
}

TEST(LongProgress, DividesMaximaBeyondTheBarsRangeAndStopsAtTheEnd)
{
    QProgressBar bar;
    LongProgress progress(&bar);
    progress.setMaximum(5'000'000'000);
    progress.advance(2'500'000'000);
    EXPECT_EQ(std::pair(bar.maximum(), bar.value()), std::pair(1'666'666'666, 833'333'333));
    progress.setMaximum(20);
    progress.advance(25);
    EXPECT_EQ(std::pair(bar.maximum(), bar.value()), std::pair(20, 20));
}

} // namespace
