// SPDX-License-Identifier: MIT
// The GEMS Fix panel: opening and closing, presets, typed and stepped
// scales, the file dialogs (the real save dialog too), the Fix GEMS command
// and the progress bar's counts.

#include "window_test.h"

#include "platform/platform.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <tuple>
#include <utility>

#include <sys/stat.h>

using namespace varnoquil;

// The window started in a folder deep enough for its paths to be shortened,
// with its file dialogs answered by the test.
class FixPanel : public WindowTest {
protected:
    QString Deep(const QString& name) const { return FilePath(kDeep + name); }
    std::string Path(const QString& name) const { return Deep(name).toStdString(); }

    // Writes in.bin, random bytes under a game header with the scale-1.0
    // tables, and z.bin, a game header with a wrong checksum; selects in.bin
    // in the list, opens the panel with FIX and chooses out.bin in the save
    // dialog. The dialogs are answered from answers_, from the root folder.
    GemsFixPanel& OpenPanel()
    {
        MakeFolder(kDeep);
        vtest::WriteFile(Path("in.bin"), vtest::RomBuilder(0x2000).Random(7).GameHeader().Tables(0x1001, 0x1400).bytes);
        vtest::WriteFile(Path("z.bin"), vtest::RomBuilder(0x202).GameHeader().Put(0x200, "\x12\x34").bytes);
        TForm1& form = Open(Deep("").chopped(1).toStdString());
        dialogs::RunFileDialog = [this](QWidget*, const dialogs::FileDialogSetup& setup) {
            asked_.push_back(setup);
            QDir::setCurrent(QDir::rootPath());
            return answers_.isEmpty() ? QString() : answers_.takeFirst();
        };
        QTest::keyClick(form.ListBox1, Qt::Key_Down);
        QTest::mouseClick(form.FixButton, Qt::LeftButton);
        answers_ << Deep("out.bin");
        QTest::mouseClick(form.FixBox->SpeedButton6, Qt::LeftButton);
        return *form.FixBox;
    }

    // From the first preset down to the one asked for, as the keys do.
    static void ChoosePreset(GemsFixPanel& panel, int index)
    {
        for (int i = -1; i < index; ++i)
            QTest::keyClick(panel.PresetBox, i < 0 ? Qt::Key_Home : Qt::Key_Down);
    }

    // Clicks "Fix GEMS" and waits for the run to end.
    static void RunAndWait(GemsFixPanel& panel)
    {
        QTest::mouseClick(panel.SpeedButton7, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&panel] { return !panel.Running(); }));
    }

    // Types over a box's whole text, or deletes it.
    static void Retype(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        text.isEmpty() ? QTest::keyClick(box, Qt::Key_Delete) : QTest::keyClicks(box, text);
    }

    const QString kDeep = QString("a-rather-long-folder-name/").repeated(5);
    QStringList answers_;
    std::vector<dialogs::FileDialogSetup> asked_;
};

// FIX, Enter and a double click open the panel for the selected image: the
// input path shortened, the output box emptied but the output file kept. X
// closes it and leaves Checksum to the next selection.
TEST_F(FixPanel, OpensWithFixEnterOrADoubleClickAndClosesWithX)
{
    GemsFixPanel& panel = OpenPanel();
    const auto state = [&] { return Enabled({panel.SpeedButton7}) + ' ' + Commands(); }; // Fix GEMS first
    for (int i = 0; i < 3; ++i) {
        form_->DiskBox->setFocus();
        QTest::mouseClick(panel.SpeedButton2, Qt::LeftButton);
        EXPECT_EQ(state(), i == 0 ? "1 1111011111 - ListBox1" : "0 1111011111 - ListBox1") << i;
        i == 0       ? QTest::mouseClick(form_->FixButton, Qt::LeftButton)
            : i == 1 ? QTest::keyClick(List(), Qt::Key_Return)
                     : DoubleClick("in.bin");
        // A double click's second press selects the entry again after the
        // panel opened, which gives Delete and Checksum back.
        EXPECT_EQ(state(), i == 2 ? "0 0111111011 F ListBox1" : "0 0101011011 F ListBox1") << i;
        EXPECT_EQ(panel.InFile + " " + panel.OutFile, Path("in.bin") + " " + Path("out.bin"));
        EXPECT_TRUE(panel.In_Edit->text().contains("...") && panel.In_Edit->text().endsWith("/in.bin"));
    }
    List()->setCurrentRow(0); // closing on ".." leaves Delete off
    QTest::mouseClick(panel.SpeedButton2, Qt::LeftButton);
    EXPECT_FALSE(form_->DelButton->isEnabled());
}

// The presets set both scales, padded, and Custom alone lets them change:
// typed, with digits and one separator of the user's locale, or stepped with
// the arrows. A box emptied is no number: each change that reads it reports
// it, and the changes after it still happen.
TEST_F(FixPanel, ScaleBoxesFollowThePresetsTakeDigitsAndOneSeparatorAndStepWithTheArrows)
{
    for (const auto& [locale, own, other] : {std::tuple{QLocale::c(), '.', ','}, {QLocale::German, ',', '.'}}) {
        QLocale::setDefault(locale);
        GemsFixPanel& panel = OpenPanel();
        // Texts with "#" for the locale's separator.
        const auto text = [own = own](QString pattern) { return pattern.replace('#', QLatin1Char(own)); };
        // FM's text and position, PSG's text; whether the up-downs can be used.
        const auto state = [&] {
            return panel.FMBox->text() + '/' + QString::number(panel.UpDown1->position()) + ' ' + panel.PSGBox->text()
                + ' ' + QString::fromStdString(Enabled({panel.UpDown1, panel.UpDown2}));
        };
        EXPECT_EQ(state(), text("1#250/1250 1#500 00")); // the first preset is chosen at start-up
        ChoosePreset(panel, 1);
        EXPECT_EQ(state(), "2/2000 2 00");
        ChoosePreset(panel, 6);
        EXPECT_EQ(state(), text("0#001/1 0#001 11"));
        QTest::keyClicks(panel.FMBox, QString("a") + own + other + "- \b5");
        EXPECT_EQ(state(), text("0#0015/2 0#001 11")); // the position rounded, not cut
        // Delete types no character and works, also with the DEL character
        // X11 gives it as text; several characters at once are judged one by one.
        QTest::keyClick(panel.FMBox, Qt::Key_Home);
        QTest::sendKeyEvent(QTest::Press, panel.FMBox, Qt::Key_Delete, QStringLiteral("\x7f"), {});
        QTest::sendKeyEvent(QTest::Press, panel.FMBox, Qt::Key_unknown, text("2x#") + other, {});
        EXPECT_EQ(state(), text("2#0015/2002 0#001 11"));
        // Pasted (Shift+Insert) or dropped text follows the same rule, whole
        // or not at all, and a refusal says nothing.
        QTest::keyClick(panel.FMBox, Qt::Key_End);
        for (const QString& pasted : {QString("7") + other, text("7#"), QString("78")}) {
            QGuiApplication::clipboard()->setText(pasted);
            QTest::keyClick(panel.FMBox, Qt::Key_Insert, Qt::ShiftModifier);
        }
        QMimeData dropped;
        dropped.setText("9x");
        QDragEnterEvent enter({4, 4}, Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QDropEvent drop({4, 4}, Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(panel.FMBox, &enter), QApplication::sendEvent(panel.FMBox, &drop);
        EXPECT_EQ(state(), text("2#001578/2002 0#001 11"));
        Retype(panel.PSGBox, "0");
        EXPECT_FALSE(panel.SpeedButton7->isEnabled());
        // The arrows, and the Up and Down keys in the box, step by a
        // thousandth, unpadded, and stop above 0.
        for (const auto& [from, up, key, to] :
             {std::tuple{"1#999", true, false, "2"}, std::tuple{"0#002", false, false, "0#001"},
              std::tuple{"0#001", false, false, "0#001"}, std::tuple{"0#003", false, true, "0#002"},
              std::tuple{"0#003", true, true, "0#004"}}) {
            Retype(panel.PSGBox, text(from));
            if (key)
                QTest::keyClick(panel.PSGBox, up ? Qt::Key_Up : Qt::Key_Down);
            else
                QTest::mouseClick(up ? panel.UpDown2->upArrow() : panel.UpDown2->downArrow(), Qt::LeftButton);
            EXPECT_EQ(panel.PSGBox->text(), text(to)) << from;
        }
        EXPECT_TRUE(panel.SpeedButton7->isEnabled() && errors_.empty());

        // Emptied, PSG fails the first change of another preset, which still
        // replaces both texts; emptied, FM fails Fix GEMS and the emptying of
        // the output box by FIX, which still opens the panel.
        Retype(panel.PSGBox, "");
        ChoosePreset(panel, 3);
        for (QLineEdit* box : {panel.FMBox, panel.PSGBox})
            QTest::keyClicks(box, "7"); // both read-only again
        EXPECT_EQ(state(), "1/1000 1 00");
        ChoosePreset(panel, 6);
        Retype(panel.FMBox, "");
        for (QToolButton* button : {panel.SpeedButton7, panel.SpeedButton2, form_->FixButton})
            QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(panel.isVisible() && panel.Out_Edit->text().isEmpty() && !form_->SpeedButton13->isEnabled());
        ASSERT_EQ(errors_.size(), 5u);
        EXPECT_EQ(errors_.back().text, "'' is not a valid floating point value.");
        errors_.clear();
    }
}

// The dialogs leave the current folder as it was; the save filter follows
// the input's extension, and the last name chosen is offered again. The open
// dialog offers the name it is given and takes only a file that exists, any
// such file when nothing is refused. The real save dialog refuses a folder
// that does not exist and adds ".bin".
TEST_F(FixPanel, DialogsChooseTheFilesKeepTheFolderAndRefuseWhatDoesNotExist)
{
    GemsFixPanel& panel = OpenPanel(); // out.bin chosen for in.bin
    answers_ = {"/roms/Other Game.SMD", "", "", Deep("again.bin")};
    for (QToolButton* button : {panel.SpeedButton5, panel.SpeedButton5, panel.SpeedButton6, panel.SpeedButton6})
        QTest::mouseClick(button, Qt::LeftButton); // each first one is chosen in, each second one cancelled
    EXPECT_EQ(panel.InFile + " " + panel.In_Edit->text().toStdString(), "/roms/Other Game.SMD /roms/Other Game.SMD");
    EXPECT_EQ(panel.OutFile, Path("again.bin"));
    // Each dialog asked for: save or open, the filter, the name offered; each
    // from the list's folder, which is the current folder again afterwards.
    QStringList asked;
    for (const dialogs::FileDialogSetup& setup : asked_) {
        asked << QString("%1%2 %3").arg(setup.save).arg(setup.filter).arg(QFileInfo(setup.fileName).fileName());
        EXPECT_EQ(setup.folder, QDir::currentPath());
    }
    EXPECT_EQ(asked, (QStringList{"10 VQL_Untitled", "00 ", "00 ", "11 out.bin", "11 out.bin"}));
    // A folder whose name is not UTF-8 cannot be shown: the dialog starts above it.
    const std::string latin1 = Path("") + "d\xe9j\xe0";
    ASSERT_EQ(::mkdir(latin1.c_str(), 0755), 0);
    platform::changeDir(latin1);
    answers_ = {Deep("in.bin")};
    QTest::mouseClick(panel.SpeedButton5, Qt::LeftButton);
    platform::changeDir(Path("."));
    EXPECT_EQ(asked_.back().folder.toStdString(), platform::currentDir());
    dialogs::FileDialogSetup setup;
    setup.folder = Deep("");
    setup.fileName = Deep("in.bin");
    const std::unique_ptr<QFileDialog> dialog(dialogs::CreateFileDialog(nullptr, setup));
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->selectedFiles(), QStringList{Deep("in.bin")});
    static_cast<QDialog*>(dialog.get())->accept(); // as the dialog's Open button does
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    // The real dialog: the names are typed as it comes up, and a warning is
    // answered with Return; what is still open after the names is closed.
    dialogs::RunFileDialog = platformDialog_;
    QStringList names = {"missing/game", "game"}, warnings;
    QTimer answerer;
    answerer.callOnTimeout([&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* edit = modal ? modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            warnings << box->text().section('\n', 0, 0);
            QTest::keyClick(box, Qt::Key_Return);
        } else if (edit && !names.isEmpty()) {
            edit->setText(names.takeFirst());
            // Pressed outside this timer, which must answer the warning it brings.
            QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
        } else if (modal) {
            modal->close();
        }
    });
    answerer.start(20);
    QTest::mouseClick(panel.SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(std::pair(warnings, panel.OutFile), std::pair(QStringList{Deep("missing")}, Path("game.bin")));
    // The input as the output: refused in the dialog, which stays open until closed.
    names = QStringList{"in.bin"};
    QTest::mouseClick(panel.SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(std::pair(warnings, panel.OutFile),
              std::pair(QStringList{Deep("missing"), Deep("in.bin")}, Path("game.bin")));
}

// The window passes on the chosen scales and checksum option and reports
// each step; while the command runs, Fix GEMS is off with the controls that
// would change its input (the next test checks them), so a second click
// starts no second run. A refusal from the core ends a run, and the next one
// goes ahead. The output is the
// input with the tables for the preset's scales ("Sega Tavrik": FM 1.25, PSG
// 1.5; "Very Low": 0.001 both) and, with the repair on, the checksum bytes
// of a header whose stored checksum is the sum.
TEST_F(FixPanel, FixGemsWritesTheTablesOfThePresetAndReportsEachStep)
{
    // The lines that follow the steps warn of tables that do not fit: "Very
    // Low" makes every FM entry 1.
    const char* const veryLowWarnings = "\nall 13 FM entries are 0001\n48 PSG entries wrapped past 16 bits";
    for (const auto& [checksum, preset, fm, psg] : {std::tuple{true, 0, 1.25, 1.5}, {false, 5, 0.001, 0.001}}) {
        GemsFixPanel& panel = OpenPanel();
        ChoosePreset(panel, preset);
        panel.OutFile = panel.InFile; // refused by the core
        RunAndWait(panel);
        panel.OutFile = Path("out.bin");
        if (!checksum)
            QTest::mouseClick(panel.Label10, Qt::RightButton); // any button on the caption toggles the option
        QTest::mouseClick(panel.SpeedButton7, Qt::LeftButton);
        RunAndWait(panel); // its click, while the run goes on, starts no second run

        const vtest::a_byte written = vtest::ReadFile(Path("out.bin"));
        vtest::RomBuilder expected = vtest::RomBuilder(vtest::ReadFile(Path("in.bin"))).Tables(0x1001, 0x1400, fm, psg);
        iSMD_ header;
        ReadHeader(Path("out.bin"), header);
        // With the repair on, the checksum bytes are taken as written: that
        // they are right is the header's two sums agreeing.
        if (checksum)
            expected.Put(0x18E, vtest::a_byte(&written[0x18E], &written[0x190]));
        EXPECT_EQ(std::pair(written, header.HeaderCrc == header.FileCrc), std::pair(expected.bytes, checksum));
        // The bar ends full, and FIX is back once the run is over; the
        // up-downs stay off with a preset.
        EXPECT_EQ(std::tuple(form_->Label3->text(), Enabled({form_->FixButton, panel.UpDown1, panel.UpDown2}),
                             panel.ProgressBar1->maximum() - panel.ProgressBar1->value()),
                  std::tuple(QString("Loading..\nfm fixed\npsg fixed\n%1Fix Finished!%2")
                                 .arg(checksum ? "checksum fix..\n" : "", checksum ? "" : veryLowWarnings),
                             "100", 0));
    }
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_EQ(errors_[1].text, "The output file must not be the input file.");
}

// A run on a large image goes on beside the window, whose event loop keeps
// turning while the bar follows the run; closing the window cancels the run,
// which leaves neither an output nor its temporary file.
TEST_F(FixPanel, ARunLeavesTheWindowResponsiveAndClosingTheWindowCancelsIt)
{
    GemsFixPanel& panel = OpenPanel();
    std::filesystem::resize_file(Path("in.bin"), std::uintmax_t(4) << 30); // the header, then a hole
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer ticker;
    ticker.callOnTimeout([&] { longest = std::max(longest, clock.elapsed() - std::exchange(last, clock.elapsed())); });
    clock.start();
    ticker.start(10);
    // The list still moves, but once the run starts no command may change a
    // file, and none of the panel's controls its input; z.bin's checksum
    // differs, so Checksum is on before. The panel's files, scales, checksum
    // option, Fix GEMS and X; the window's commands; the selected file.
    QTest::keyClick(List(), Qt::Key_Down);
    const auto commands = [&] {
        return Enabled({panel.SpeedButton5, panel.SpeedButton6, panel.PresetBox, panel.FMBox, panel.UpDown1,
                        panel.CheckBox2, panel.Label10, panel.SpeedButton7, panel.SpeedButton2})
            + ' ' + Commands() + ' ' + form_->SelectedFile;
    };
    EXPECT_EQ(commands(), "111101111 0111111011 F ListBox1 " + Path("z.bin")); // the up-downs go with Custom
    QTest::mouseClick(panel.SpeedButton7, Qt::LeftButton);
    EXPECT_EQ(commands(), "000000000 0100011011 F ListBox1 " + Path("z.bin"));
    EXPECT_TRUE(QTest::qWaitFor([bar = panel.ProgressBar1] { return bar->value() > bar->maximum() / 8; }, 60'000));
    QTest::keyClick(List(), Qt::Key_Up);
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(commands(), "000000000 0100011011 F ListBox1 " + Path("z.bin"));
    QTest::mouseClick(form_->SpeedButton1, Qt::LeftButton); // the toolbar's "X"
    EXPECT_LT(longest, 100);
    EXPECT_EQ(QDir(Deep("")).entryList(QDir::Files | QDir::Hidden), (QStringList{"in.bin", "z.bin"}));
    EXPECT_TRUE(errors_.empty()); // a cancelled run says nothing
}

TEST(LongProgress, DividesMaximaBeyondTheBarsRangeStopsAtTheEndAndStartsAgainWithEachMaximum)
{
    QProgressBar bar;
    LongProgress progress(&bar);
    progress.setMaximum(5'000'000'000);
    progress.advance(6'000'000'000);
    EXPECT_EQ(std::pair(bar.maximum(), bar.value()), std::pair(1'666'666'666, 1'666'666'666));
    progress.setMaximum(20);
    const int start = bar.value();
    progress.advance(5);
    EXPECT_EQ(std::tuple(bar.maximum(), start, bar.value()), std::tuple(20, 0, 5));
}
