// The GEMS Fix panel: opening and closing, presets, typed and stepped
// scales, the file dialogs, and the Fix GEMS command run from the window.

#include "window_test.h"

#include "controls.h"
#include "dialogs.h"
#include "fix_gems.h"
#include "gems.h"
#include "scale.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>

#include <deque>

using namespace varnoquil;

namespace {

// The window started in a folder deep enough for its paths to be shortened
// in the file boxes; the dialogs are answered from answers_.
class FixPanel : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        platformDialog_ = dialogs::RunFileDialog;
        dialogs::RunFileDialog = [this](QWidget*, const dialogs::FileDialogSetup& setup) {
            asked_.push_back(setup);
            if (duringDialog_)
                duringDialog_();
            if (answers_.empty())
                return QString();
            const QString answer = answers_.front();
            answers_.pop_front();
            return answer;
        };
        MakeFolder(kDeep);
    }
    void TearDown() override
    {
        dialogs::RunFileDialog = platformDialog_;
        QLocale::setDefault(QLocale::c());
        WindowTest::TearDown();
    }

    QString Deep(const QString& name) const { return FilePath(kDeep + name); }
    std::string Path(const QString& name) const { return Deep(name).toStdString(); }
    QString DeepFolder() const { return Deep("").chopped(1); }

    // Selects in.bin in the list and opens the panel with FIX; chooses the
    // output in the save dialog when one is given.
    TForm1& OpenPanel(const vtest::a_byte& rom, const QString& output = {})
    {
        vtest::WriteFile(Path("in.bin"), rom);
        TForm1& form = Open(DeepFolder().toStdString());
        QTest::keyClick(form.ListBox1, Qt::Key_Down);
        QTest::mouseClick(form.FixButton, Qt::LeftButton);
        if (!output.isEmpty()) {
            answers_.push_back(Deep(output));
            QTest::mouseClick(form.FixBox->SpeedButton6, Qt::LeftButton);
        }
        return form;
    }

    static void ChoosePreset(TForm1& form, int index)
    {
        QTest::keyClick(form.FixBox->PresetBox, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(form.FixBox->PresetBox, Qt::Key_Down);
    }

    // Selects a box's text and types over it, or deletes it.
    static void Retype(QLineEdit* box, const QString& text)
    {
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
        if (text.isEmpty())
            QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }

    // Answers the modal windows as they come up, one step each, with real
    // keys; whatever is still open after a few seconds is closed, so that a
    // wrong answer fails the test instead of hanging it.
    void AnswerModals(std::deque<std::function<void(QWidget*)>> steps)
    {
        modalSteps_ = std::move(steps);
        answered_ = nullptr;
        modalClock_.start();
        PollModals();
    }
    void PollModals()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && (modalSteps_.empty() || modalClock_.hasExpired(5000)))
            return;
        // Scheduled first: a step may run a modal window of its own.
        QTimer::singleShot(20, &modalGuard_, [this] { PollModals(); });
        if (modal && modalClock_.hasExpired(5000)) {
            ADD_FAILURE() << "left open: " << modal->windowTitle().toStdString();
            modalSteps_.clear();
            modal->close();
        } else if (modal && modal != answered_ && !modalSteps_.empty()) {
            answered_ = modal;
            const auto step = modalSteps_.front();
            modalSteps_.pop_front();
            step(modal);
        }
    }

    const QString kDeep = QString("a-rather-long-folder-name/").repeated(5);
    std::deque<std::function<void(QWidget*)>> modalSteps_;
    QWidget* answered_ = nullptr;
    QElapsedTimer modalClock_;
    QObject modalGuard_;  // ends the polling with the test
    std::deque<QString> answers_;
    std::vector<dialogs::FileDialogSetup> asked_;
    std::function<void()> duringDialog_;
    std::function<QString(QWidget*, const dialogs::FileDialogSetup&)> platformDialog_;
};

// Random bytes under a game header, with the scale-1.0 tables if asked for.
vtest::a_byte Rom(bool fm, bool psg)
{
    vtest::RomBuilder rom = vtest::RomBuilder(0x2000).Random(7).GameHeader();
    if (fm)
        rom.Put(0x1001, vtest::LittleEndian(BuildFmTable(1.0)));
    if (psg)
        rom.Put(0x1400, vtest::LittleEndian(BuildPsgTable(1.0)));
    return rom.bytes;
}

TEST_F(FixPanel, OpensWithFixEnterOrADoubleClickAndClosesWithX)
{
    TForm1& form = OpenPanel(Rom(true, true), "out.bin");
    EXPECT_TRUE(form.FixBox->SpeedButton7->isEnabled());
    QTest::mouseClick(form.FixBox->SpeedButton2, Qt::LeftButton);
    EXPECT_FALSE(form.FixBox->isVisible());
    EXPECT_TRUE(form.SEListButton->isEnabled() && form.SpeedButton13->isEnabled() && form.ListBox1->hasFocus());
    EXPECT_TRUE(form.DelButton->isEnabled() && form.FixButton->isEnabled());
    EXPECT_FALSE(form.CheckSumButton->isEnabled());  // the next selection decides it

    QWidget* rows = form.ListBox1->viewport();
    const QPoint at = form.ListBox1->visualItemRect(form.ListBox1->item(1)).center();
    const std::function<void()> openers[] = {
        [&] { QTest::mouseClick(form.FixButton, Qt::LeftButton); },
        [&] { QTest::keyClick(form.ListBox1, Qt::Key_Return); },
        [&] {
            QTest::mouseClick(rows, Qt::LeftButton, {}, at);
            QTest::mouseDClick(rows, Qt::LeftButton, {}, at);
            QTest::mouseRelease(rows, Qt::LeftButton, {}, at);
        },
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
    EXPECT_EQ(form.FixBox->PresetBox->currentText(), "Sega Tavrik");
    EXPECT_EQ(form.FixBox->FMBox->text() + " " + form.FixBox->PSGBox->text(), "1.250 1.500");
    EXPECT_TRUE(form.FixBox->FMBox->isReadOnly() && !form.FixBox->UpDown1->isEnabled());
    struct Case { int index; const char* texts; int fm, psg; bool custom; };
    // The presets' values are the core's; the window shows them padded and sets the mode.
    for (const Case& c : {Case{1, "2 2", 2000, 2000, false}, Case{4, "0.500 0.500", 500, 500, false},
                          Case{6, "0.001 0.001", 1, 1, true}, Case{0, "1.250 1.500", 1250, 1500, false}}) {
        ChoosePreset(form, c.index);
        EXPECT_EQ(form.FixBox->FMBox->text() + " " + form.FixBox->PSGBox->text(), c.texts) << c.index;
        EXPECT_EQ(std::pair(form.FixBox->UpDown1->position(), form.FixBox->UpDown2->position()), std::pair(c.fm, c.psg));
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
    for (const auto& [locale, own, other] : {std::tuple{QLocale::c(), '.', ','},
                                             std::tuple{QLocale(QLocale::German), ',', '.'}}) {
        QLocale::setDefault(locale);
        TForm1& form = OpenPanel(Rom(false, false), "out.bin");
        ChoosePreset(form, 6);
        // Texts with "#" for the locale's separator.
        const auto text = [own = own](QString pattern) { return pattern.replace('#', QLatin1Char(own)); };
        QTest::keyClick(form.FixBox->FMBox, Qt::Key_End);
        for (const char key : {'a', own, other, '-', ' ', '\b', '5'})
            QTest::keyClicks(form.FixBox->FMBox, QString(QLatin1Char(key)));
        EXPECT_EQ(form.FixBox->FMBox->text(), text("0#0015"));
        EXPECT_EQ(form.FixBox->UpDown1->position(), 2);  // rounded, not cut
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
        for (const auto& [from, up, to, position] : {std::tuple{"1#250", true, "1#251", 1251},
                                                     std::tuple{"1#999", true, "2", 2000},
                                                     std::tuple{"0#002", false, "0#001", 1},
                                                     std::tuple{"0#001", false, "0#001", 1}}) {
            Retype(form.FixBox->PSGBox, text(from));
            QTest::mouseClick(up ? form.FixBox->UpDown2->upArrow() : form.FixBox->UpDown2->downArrow(), Qt::LeftButton);
            EXPECT_EQ(std::pair(form.FixBox->PSGBox->text(), form.FixBox->UpDown2->position()), std::pair(text(to), position)) << from;
        }
        ChoosePreset(form, 0);
        QTest::keyClicks(form.FixBox->FMBox, "7");  // read-only again
        EXPECT_EQ(form.FixBox->FMBox->text(), text("1#250"));
        EXPECT_TRUE(errors_.empty());
    }
}

TEST_F(FixPanel, DialogsChooseTheFilesAndKeepTheCurrentFolder)
{
    TForm1& form = OpenPanel(Rom(false, false));
    duringDialog_ = [] { QDir::setCurrent(QDir::rootPath()); };
    answers_ = {"/roms/Other Game.SMD", "", Deep("out.bin"), "", Deep("again.bin")};
    for (QToolButton* button : {form.FixBox->SpeedButton5, form.FixBox->SpeedButton5, form.FixBox->SpeedButton6, form.FixBox->SpeedButton6})
        QTest::mouseClick(button, Qt::LeftButton);  // each second one is cancelled
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
    EXPECT_EQ(std::tuple(asked_[0].save, asked_[0].folder, asked_[2].save), std::tuple(false, QDir::currentPath(), true));
    EXPECT_EQ(std::tuple(asked_[2].filter, asked_[4].filter), std::tuple(1, 0));
    EXPECT_EQ(std::tuple(asked_[2].fileName, asked_[3].fileName, asked_[4].fileName),
              std::tuple(QString("VQL_Untitled"), Deep("out.bin"), Deep("out.bin")));

}

TEST_F(FixPanel, FixGemsWritesWhatTheCoreWritesAndReportsEachStep)
{
    struct Case { bool fm, psg, checksum; int preset; };
    // The core's own tests cover the tables found or not; here the window
    // must pass on the chosen scales and checksum option.
    for (const Case& c : {Case{true, true, true, 0}, Case{false, true, false, 4}}) {
        const vtest::a_byte rom = Rom(c.fm, c.psg);
        TForm1& form = OpenPanel(rom, "out.bin");
        ChoosePreset(form, c.preset);
        if (!c.checksum)  // any button on the caption toggles the option
            QTest::mouseClick(form.FixBox->Label10, Qt::RightButton);
        ASSERT_EQ(form.FixBox->CheckBox2->isChecked(), c.checksum);
        // A click while the run lets the window take input starts no second run.
        QString statusAtSecondClick;
        QTimer::singleShot(0, [&] {
            statusAtSecondClick = form.Label3->text();
            QTest::mouseClick(form.FixBox->SpeedButton7, Qt::LeftButton);
        });
        QTest::mouseClick(form.FixBox->SpeedButton7, Qt::LeftButton);
        EXPECT_EQ(statusAtSecondClick, "Loading..\n");

        const ScalePreset& preset = ScalePresets()[std::size_t(c.preset)];
        vtest::a_byte image;
        const std::string expected = FilePath("expected.bin").toStdString();
        FixGems({Path("in.bin"), expected, preset.fmThousandths / 1000.0, preset.psgThousandths / 1000.0,
                 c.checksum}, {}, image);
        EXPECT_EQ(vtest::ReadFile(Path("out.bin")), vtest::ReadFile(expected));
        EXPECT_EQ(vtest::ReadFile(Path("in.bin")), rom);
        QStringList lines = {"Loading..", c.fm ? "fm fixed" : "fm not fixed", c.psg ? "psg fixed" : "psg not fixed",
                             "Fix Finished!"};
        if (c.checksum)
            lines.insert(3, "checksum fix..");
        EXPECT_EQ(form.Label3->text().split('\n'), lines);
        EXPECT_EQ(form.FixBox->ProgressBar1->maximum(), 2 * 0x2000 + (c.checksum ? 32 : 22));
        EXPECT_EQ(form.FixBox->ProgressBar1->value(), form.FixBox->ProgressBar1->maximum());
        EXPECT_TRUE(form.FixBox->isVisible() && form.FixBox->SpeedButton7->isEnabled());
    }
}

TEST_F(FixPanel, FailuresEndTheCommandBeforeItWritesAnything)
{
    TForm1& form = OpenPanel(Rom(true, true), "out.bin");
    const QString status = form.Label3->text();
    ChoosePreset(form, 6);
    Retype(form.FixBox->FMBox, "");  // the emptied box cannot be converted
    QTest::mouseClick(form.FixBox->SpeedButton7, Qt::LeftButton);
    form.OutFile = form.InFile;
    ChoosePreset(form, 0);
    QTest::mouseClick(form.FixBox->SpeedButton7, Qt::LeftButton);

    ASSERT_EQ(errors_.size(), 3u);
    EXPECT_EQ(errors_[0].text, "'' is not a valid floating point value.");
    EXPECT_EQ(errors_[1].text, errors_[0].text);
    EXPECT_EQ(errors_[2].text, "The output file must not be the input file.");
    EXPECT_EQ(form.Label3->text(), status);
    EXPECT_FALSE(QFile::exists(Deep("out.bin")));
    EXPECT_EQ(vtest::ReadFile(Path("in.bin")), Rom(true, true));
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

TEST_F(FixPanel, TheSaveDialogOffersRomImagesAndRefusesAMissingFolder)
{
    TForm1& form = OpenPanel(Rom(false, false));
    dialogs::RunFileDialog = platformDialog_;  // the real dialog, answered with keys
    QStringList titles, warnings;
    const auto type = [](QWidget* dialog, const QString& name) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, name);
        QTest::keyClick(edit, Qt::Key_Return);
    };
    AnswerModals({[&](QWidget* dialog) {
                      titles << dialog->windowTitle();
                      type(dialog, "missing/game");
                  },
                  [&](QWidget* modal) {
                      auto* box = qobject_cast<QMessageBox*>(modal);
                      if (!box) {
                          ADD_FAILURE() << "no warning, but " << modal->windowTitle().toStdString();
                          modal->close();
                          return;
                      }
                      warnings << box->text();
                      QTest::keyClick(box, Qt::Key_Return);
                  },
                  [&](QWidget* dialog) {
                      titles << dialog->windowTitle();
                      type(dialog, "game");
                  }});
    QTest::mouseClick(form.FixBox->SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(titles, (QStringList{"Save ROM image", "Save ROM image"}));
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(Deep("missing"))) << warnings[0].toStdString();
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
