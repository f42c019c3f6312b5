// SPDX-License-Identifier: MIT
// The GEMS Fix panel's handlers: its input and output files, the scale
// presets and boxes, and the Fix GEMS command.

#include "form1.h"

#include "browser/browser.h"
#include "controls.h"
#include "dialogs.h"
#include "gems/fix_gems.h"
#include "gems/pitch_tables.h"
#include "gems/scale.h"
#include "gems_fix_panel.h"
#include "look.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QToolButton>

using namespace varnoquil;

namespace {

// The user's decimal separator, for scale texts. One that is not a single
// ASCII character falls back to ".", which the user then types and sees.
char DecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.';
}

double ScaleOf(const QLineEdit* box)
{
    return ParseDecimal(box->text().toStdString(), DecimalSeparator());
}

QString ShortestText(int thousandths)
{
    return QString::fromStdString(ShortestDecimalText(thousandths / 1000.0, DecimalSeparator()));
}

// Keys that type no character, though X11 gives Delete the DEL control
// character as its text; Tab and Backtab move the focus.
bool TypesNoCharacter(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return true;
    default: return event->text().isEmpty();
    }
}

const QStringList kRomFilters = {QStringLiteral("Super Magic Drive (binary) (*.bin)"), QStringLiteral("All files (*)")};
constexpr int kBinFilter = 0;
constexpr int kAllFilesFilter = 1;

// Sets a flag for as long as it lives, also when an error ends the run.
class Running {
public:
    explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
    ~Running() { flag_ = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    bool& flag_;
};

} // namespace

void TForm1::ConnectFixPanel()
{
    On(FixBox->SpeedButton2, &QToolButton::clicked, &TForm1::SpeedButton2Click);
    On(FixBox->SpeedButton5, &QToolButton::clicked, &TForm1::SpeedButton5Click);
    On(FixBox->SpeedButton6, &QToolButton::clicked, &TForm1::SpeedButton6Click);
    On(FixBox->SpeedButton7, &QToolButton::clicked, &TForm1::SpeedButton7Click);
    for (QLineEdit* edit : {FixBox->In_Edit, FixBox->Out_Edit, FixBox->FMBox, FixBox->PSGBox})
        On(edit, &QLineEdit::textChanged, &TForm1::In_EditChange);
    FixBox->UpDown1->changing = [this](int proposed) { return UpDown1ChangingEx(proposed); };
    FixBox->UpDown2->changing = [this](int proposed) { return UpDown2ChangingEx(proposed); };

    // The hooks look at the event before they touch the window: events
    // also arrive while the window is being destroyed.
    auto* clicks = new EventHook(this, [this](QObject*, QEvent* event) {
        // The second press of a double click is a press as well.
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        Label10MouseDown(mouse->button(), mouse->modifiers(), at.x(), at.y());
        return true;
    });
    clicks->watch(FixBox->Label10);
    auto* keys = new EventHook(this, [this](QObject* watched, QEvent* event) {
        return event->type() == QEvent::KeyPress
            && FilterScaleKey(static_cast<QLineEdit*>(watched), static_cast<QKeyEvent*>(event));
    });
    keys->watch(FixBox->FMBox);
    keys->watch(FixBox->PSGBox);
}

// Opens the panel for the ROM image selected in the list. The output box is
// emptied, so "Fix GEMS" waits for an output file to be chosen again.
void TForm1::FixButtonClick()
{
    InFile = SelectedFile;
    FixBox->Out_Edit->clear();
    GemsFixPanel::ShowPath(FixBox->In_Edit, InFile);
    SpeedButton13->setEnabled(false);
    DelButton->setEnabled(false);
    CheckSumButton->setEnabled(false);
    SEListButton->setEnabled(false);
    FixBox->show();
}

// Closes the panel. Checksum stays disabled until the next selection in the
// list decides it.
void TForm1::SpeedButton2Click()
{
    FixBox->hide();
    SEListButton->setEnabled(true);
    SpeedButton13->setEnabled(true);
    ListBox1->setEnabled(true);
    ListBox1->setFocus();
    UpdateEntryButtons();
}

void TForm1::SpeedButton5Click()
{
    const std::string folder = platform::currentDir();
    dialogs::FileDialogSetup setup;
    setup.folder = QString::fromStdString(folder);
    setup.filters = kRomFilters;
    setup.filter = kBinFilter;
    const QString chosen = dialogs::RunFileDialog(this, setup);
    if (!chosen.isEmpty()) {
        InFile = chosen.toStdString();
        GemsFixPanel::ShowPath(FixBox->In_Edit, InFile);
    }
    platform::changeDir(folder);
}

void TForm1::SpeedButton6Click()
{
    const std::string folder = platform::currentDir();
    dialogs::FileDialogSetup setup;
    setup.save = true;
    setup.title = QStringLiteral("Save ROM image");
    setup.folder = QString::fromStdString(folder);
    setup.fileName = saveDialogFileName_;
    setup.filters = kRomFilters;
    setup.filter = browser::IsRomImage(InFile) ? kBinFilter : kAllFilesFilter;
    setup.defaultSuffix = QStringLiteral("bin");
    setup.folderMustExist = true;
    const QString chosen = dialogs::RunFileDialog(this, setup);
    if (!chosen.isEmpty()) {
        saveDialogFileName_ = chosen;
        OutFile = chosen.toStdString();
        GemsFixPanel::ShowPath(FixBox->Out_Edit, OutFile);
    }
    platform::changeDir(folder);
}

// The Fix GEMS command. A scale text that is not a number ends it before
// anything happens; the window repaints (and takes input) at the core's
// three pauses, where a second click is ignored.
void TForm1::SpeedButton7Click()
{
    if (InFile.empty() || OutFile.empty() || fixRunning_)
        return;
    FixGemsRequest request;
    request.inFile = InFile;
    request.outFile = OutFile;
    request.scales.fm = Scale(ScaleOf(FixBox->FMBox));
    request.scales.psg = Scale(ScaleOf(FixBox->PSGBox));
    request.fixChecksum = FixBox->CheckBox2->isChecked();

    const Running running(fixRunning_);
    LongProgress bar(FixBox->ProgressBar1);
    FixGemsProgress progress;
    progress.reached = [this](FixGemsStep step) { ShowFixStep(step); };
    progress.setMaximum = [&bar](std::int64_t maximum) { bar.setMaximum(maximum); };
    progress.advance = [&bar](std::int64_t steps) { bar.advance(steps); };
    progress.processPending = [] { QCoreApplication::processEvents(); };
    const FixGemsResult result = FixGems(request, progress, FixImage);
    for (const std::string& warning : FixGemsWarnings(result))
        Label3->setText(Label3->text() + QLatin1Char('\n') + QString::fromStdString(warning));
}

// Each step of a run is a line of the status, the first one in place of what
// the status showed.
void TForm1::ShowFixStep(FixGemsStep step)
{
    const QString line = QString::fromLatin1(StatusLine(step));
    if (step == FixGemsStep::Loading)
        Label3->clear();
    Label3->setText(Label3->text() + line + (step == FixGemsStep::Finished ? "" : "\n"));
}

void TForm1::Label10MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    FixBox->CheckBox2->setChecked(!FixBox->CheckBox2->isChecked());
}

// Runs on every change of the file boxes and the scale boxes. "Fix GEMS"
// needs both files and two scales above 0; the tests stop at the first that
// fails, so the scale texts are only converted once both files are there.
// Then the up-downs follow the boxes.
void TForm1::In_EditChange()
{
    const GemsFixPanel& box = *FixBox;
    const bool ready = !box.In_Edit->text().isEmpty() && !box.Out_Edit->text().isEmpty()
        && IsValidScale(ScaleOf(box.FMBox)) && IsValidScale(ScaleOf(box.PSGBox));
    box.SpeedButton7->setEnabled(ready);
    box.UpDown1->setPosition(ToThousandths(ScaleOf(box.FMBox)));
    box.UpDown2->setPosition(ToThousandths(ScaleOf(box.PSGBox)));
}

// Scale boxes take digits and one decimal separator; every other character
// is discarded, control characters such as Backspace included.
void TForm1::FMBoxKeyPress(QLineEdit* Sender, QChar& Key)
{
    const QChar separator = QLatin1Char(DecimalSeparator());
    const bool digit = Key >= QLatin1Char('0') && Key <= QLatin1Char('9');
    if ((!digit && Key != separator) || (Key == separator && Sender->text().contains(separator)))
        Key = QChar();
}

// Passes a key press on to a scale box, less the characters FMBoxKeyPress
// discards. Keys without a character (Delete, arrows) and focus moves pass
// untouched. Returns true when the event is swallowed.
bool TForm1::FilterScaleKey(QLineEdit* box, QKeyEvent* event)
{
    if (TypesNoCharacter(event))
        return false;
    const QString typed = event->text();
    if (typed.size() == 1) {
        QChar key = typed[0];
        FMBoxKeyPress(box, key);
        return key.isNull();
    }
    // Several characters at once (an input method): each is judged against
    // the text the ones before it left.
    for (QChar key : typed) {
        FMBoxKeyPress(box, key);
        if (!key.isNull() && !box->isReadOnly())
            box->insert(key);
    }
    return true;
}

bool TForm1::UpDown1ChangingEx(int NewValue)
{
    return ScaleChanging(FixBox->FMBox, NewValue);
}

bool TForm1::UpDown2ChangingEx(int NewValue)
{
    return ScaleChanging(FixBox->PSGBox, NewValue);
}

// A step to 0 is refused; any other shows the new scale unpadded (1.999 up
// one gives 2), and the box's change sets the same position again.
bool TForm1::ScaleChanging(QLineEdit* box, int NewValue)
{
    if (!IsValidScale(NewValue / 1000.0))
        return false;
    box->setText(ShortestText(NewValue));
    return true;
}

// Fixed presets set both scales; "Custom" starts both at 0.001 and lets the
// user type or step them. Each box first gets the shortest text of its
// position, then is padded to three decimals.
void TForm1::PresetBoxChange()
{
    const int index = FixBox->PresetBox->currentIndex();
    const auto& presets = ScalePresets();
    if (index >= 0 && index < static_cast<int>(presets.size())) {
        const ScalePreset& preset = presets[static_cast<std::size_t>(index)];
        FixBox->SetScaleMode(preset.custom);
        FixBox->UpDown1->setPosition(preset.fmThousandths);
        FixBox->UpDown2->setPosition(preset.psgThousandths);
    }
    // Both positions are read before either text changes: each change runs
    // In_EditChange, which sets both positions from the boxes' texts.
    const int fm = FixBox->UpDown1->position();
    const int psg = FixBox->UpDown2->position();
    FixBox->FMBox->setText(ShortestText(fm));
    FixBox->PSGBox->setText(ShortestText(psg));
    const char separator = DecimalSeparator();
    for (QLineEdit* box : {FixBox->FMBox, FixBox->PSGBox})
        box->setText(QString::fromStdString(PadToThousandths(box->text().toStdString(), separator)));
}
