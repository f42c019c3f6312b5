// SPDX-License-Identifier: MIT
// The Fix GEMS command run from the window, the real save dialog, and the
// progress bar's counts.

#include "fix_panel_test.h"

using namespace varnoquil;

namespace {

// The core's own tests cover the tables found or not; here the window must
// pass on the chosen scales and checksum option, and report each step.
TEST_F(FixPanel, FixGemsWritesWhatTheCoreWritesAndReportsEachStep)
{
    for (const auto& [fm, checksum, preset] : {std::tuple{true, true, 0}, std::tuple{false, false, 4}}) {
        const vtest::a_byte rom = Rom(fm, true);
        TForm1& form = OpenPanel(rom, "out.bin");
        ChoosePreset(form, preset);
        if (!checksum) // any button on the caption toggles the option
            QTest::mouseClick(form.FixBox->Label10, Qt::RightButton);
        ASSERT_EQ(form.FixBox->CheckBox2->isChecked(), checksum);
        // A click while the run lets the window take input starts no second run.
        QString statusAtSecondClick;
        QTimer::singleShot(0, [&] {
            statusAtSecondClick = form.Label3->text();
            QTest::mouseClick(form.FixBox->SpeedButton7, Qt::LeftButton);
        });
        QTest::mouseClick(form.FixBox->SpeedButton7, Qt::LeftButton);
        EXPECT_EQ(statusAtSecondClick, "Loading..\n");

        const ScalePreset& scales = ScalePresets()[std::size_t(preset)];
        const std::string expected = FilePath("expected.bin").toStdString();
        vtest::a_byte image;
        FixGems({Path("in.bin"), expected, scales.fmThousandths / 1000.0, scales.psgThousandths / 1000.0, checksum}, {},
                image);
        EXPECT_EQ(vtest::ReadFile(Path("out.bin")), vtest::ReadFile(expected));
        EXPECT_EQ(vtest::ReadFile(Path("in.bin")), rom);
        QStringList lines = {"Loading..", fm ? "fm fixed" : "fm not fixed", "psg fixed", "Fix Finished!"};
        if (checksum)
            lines.insert(3, "checksum fix..");
        EXPECT_EQ(form.Label3->text().split('\n'), lines);
        EXPECT_EQ(form.FixBox->ProgressBar1->maximum(), 2 * 0x2000 + (checksum ? 32 : 22));
        EXPECT_EQ(form.FixBox->ProgressBar1->value(), form.FixBox->ProgressBar1->maximum());
        EXPECT_TRUE(form.FixBox->isVisible() && form.FixBox->SpeedButton7->isEnabled());
    }
}

TEST_F(FixPanel, FailuresEndTheCommandBeforeItWritesAnything)
{
    TForm1& form = OpenPanel(Rom(true, true), "out.bin");
    const QString status = form.Label3->text();
    ChoosePreset(form, 6);
    Retype(form.FixBox->FMBox, ""); // the emptied box cannot be converted
    QTest::mouseClick(form.FixBox->SpeedButton7, Qt::LeftButton);
    form.OutFile = form.InFile;
    ChoosePreset(form, 0);
    QTest::mouseClick(form.FixBox->SpeedButton7, Qt::LeftButton);

    QStringList texts;
    for (const ShownError& error : errors_)
        texts << error.text;
    const QString notANumber = "'' is not a valid floating point value.";
    EXPECT_EQ(texts, (QStringList{notANumber, notANumber, "The output file must not be the input file."}));
    EXPECT_EQ(form.Label3->text(), status);
    EXPECT_FALSE(QFile::exists(Deep("out.bin")));
    EXPECT_EQ(vtest::ReadFile(Path("in.bin")), Rom(true, true));
}

TEST_F(FixPanel, TheSaveDialogOffersRomImagesAndRefusesAMissingFolder)
{
    TForm1& form = OpenPanel(Rom(false, false));
    dialogs::RunFileDialog = platformDialog_; // the real dialog, answered with keys
    QStringList seen;
    const auto type = [&](const QString& name) {
        return [&, name](QWidget* dialog) {
            seen << dialog->windowTitle();
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, name);
            QTest::keyClick(edit, Qt::Key_Return);
        };
    };
    AnswerModals({type("missing/game"),
                  [&](QWidget* modal) {
                      auto* box = qobject_cast<QMessageBox*>(modal); // else left open, closed as a failure
                      ASSERT_NE(box, nullptr) << modal->windowTitle().toStdString();
                      seen << box->text().section('\n', 0, 0);
                      QTest::keyClick(box, Qt::Key_Return);
                  },
                  type("game")});
    QTest::mouseClick(form.FixBox->SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(seen, (QStringList{"Save ROM image", Deep("missing"), "Save ROM image"}));
    EXPECT_EQ(form.OutFile, Path("game.bin"));
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
