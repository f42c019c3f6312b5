// SPDX-License-Identifier: MIT
// The Fix GEMS command run from the window, the real save dialog, and the
// progress bar's counts.

#include "fix_panel_test.h"

using namespace varnoquil;

namespace {

// The core's own tests cover the tables found or not; here the window must
// pass on the chosen scales and checksum option and report each step. A
// failure ends the command before it writes anything.
TEST_F(FixPanel, FixGemsWritesWhatTheCoreWritesAndReportsEachStep)
{
    for (const auto& [fm, checksum, preset] : {std::tuple{true, true, 0}, std::tuple{false, false, 4}}) {
        const vtest::a_byte rom = Rom(fm, true);
        TForm1& form = OpenPanel(rom, "out.bin");
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
        EXPECT_EQ(vtest::ReadFile(Path("in.bin")), rom);
        QStringList lines = {"Loading..", fm ? "fm fixed" : "fm not fixed", "psg fixed", "Fix Finished!"};
        if (checksum)
            lines.insert(3, "checksum fix..");
        EXPECT_EQ(form.Label3->text().split('\n'), lines);
        EXPECT_EQ(panel.ProgressBar1->maximum(), 2 * 0x2000 + (checksum ? 32 : 22));
        EXPECT_EQ(panel.ProgressBar1->value(), panel.ProgressBar1->maximum());
        EXPECT_TRUE(panel.isVisible() && panel.SpeedButton7->isEnabled());
    }
}

TEST_F(FixPanel, TheSaveDialogOffersRomImagesAndRefusesAMissingFolder)
{
    TForm1& form = OpenPanel(Rom(false, false));
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
