// SPDX-License-Identifier: MIT
// The GEMS Fix box: its controls, opening and closing, the file dialogs and
// the Fix GEMS command. The scale boxes' rules are in gems_fix_scales.cpp.

#include "gems_fix_panel.h"

#include "application.h"
#include "browser/browser.h"
#include "dialogs.h"
#include "errors.h"
#include "gems/fix_gems.h"
#include "gems/scale.h"
#include "look.h"
#include "make.h"
#include "platform/platform.h"
#include "rom/rom.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QToolButton>

#include <initializer_list>
#include <utility>

using namespace varnoquil;
using namespace varnoquil::ui;

namespace {

const QStringList kRomFilters = {QStringLiteral("Super Magic Drive (binary) (*.bin)"), QStringLiteral("All files (*)")};
constexpr int kBinFilter = 0;
constexpr int kAllFilesFilter = 1;

} // namespace

GemsFixPanel::GemsFixPanel(QWidget* parent, QLabel* status, std::function<void()> suspendCommands,
                           std::function<void()> resumeList, std::function<void(bool)> runChanged)
    : CaptionedGroupBox(QStringLiteral("GEMS Fix"), parent), status_(status),
      suspendCommands_(std::move(suspendCommands)), resumeList_(std::move(resumeList)),
      runChanged_(std::move(runChanged))
{
    make::HiddenBox(this, "FixBox", layout::kFixBoxSize, make::WindowTextColour());
    move(make::Place(layout::kFixBoxStart));
    CreateFiles();
    CreateScales();
    CreateRun();
}

// The run's thread ends before the box goes. Nothing else is done: the
// window around the box may be half gone by now (closing the window is what
// cancels a run in full).
GemsFixPanel::~GemsFixPanel()
{
    if (Running()) {
        cancel_ = true;
        worker_->wait();
    }
}

void GemsFixPanel::CreateFiles()
{
    const auto caption = [this](const char* name, const QString& text, const layout::ControlRow& row) {
        return make::Label(this, name, text, look::kWhite, make::Place(row.caption));
    };
    const auto file = [this](const char* name, const layout::ControlRow& row) {
        QLineEdit* box = make::Edit(this, name, make::Place(row.box));
        box->setReadOnly(true);
        return box;
    };
    // The "..." buttons are white like the labels: the platform's window
    // text colour would leave them black on the black box.
    const auto browse = [this](const char* name, const layout::ControlRow& row) {
        return make::Button(this, name, QStringLiteral("..."), look::kWhite, make::Place(row.beside));
    };
    Label5 = caption("Label5", QStringLiteral("In File:"), layout::kInFileRow);
    In_Edit = file("In_Edit", layout::kInFileRow);
    SpeedButton5 = browse("SpeedButton5", layout::kInFileRow);
    make::Shortcut(SpeedButton5, {QKeySequence(Qt::CTRL | Qt::Key_I)}, QStringLiteral("Choose the input file"));
    Label6 = caption("Label6", QStringLiteral("Out File:"), layout::kOutFileRow);
    Out_Edit = file("Out_Edit", layout::kOutFileRow);
    SpeedButton6 = browse("SpeedButton6", layout::kOutFileRow);
    make::Shortcut(SpeedButton6, {QKeySequence(Qt::CTRL | Qt::Key_O)}, QStringLiteral("Choose the output file"));
    Label9 = make::Label(this, "Label9", QStringLiteral("Preset:"), look::kWhite, make::Place(layout::kPresetLabel));
    PresetBox = make::DropDownList(this, "PresetBox", make::Place(layout::kPresetBox));
}

void GemsFixPanel::CreateScales()
{
    const auto scale = [this](const char* name, const layout::ControlRow& row) {
        QLineEdit* box = make::Edit(this, name, make::Place(row.box));
        box->setText(QStringLiteral("0"));
        RefuseUntypableText(box);
        return box;
    };
    const auto upDown = [this](const char* name, const layout::ControlRow& row) {
        auto* control = make::Named(new UpDown(this), name);
        control->setRange(kMinThousandths, kMaxThousandths);
        control->setGeometry(make::Place(row.beside));
        return control;
    };
    Label7
        = make::Label(this, "Label7", QStringLiteral("FM scale:"), look::kWhite, make::Place(layout::kFmRow.caption));
    FMBox = scale("FMBox", layout::kFmRow);
    UpDown1 = upDown("UpDown1", layout::kFmRow);
    Label8
        = make::Label(this, "Label8", QStringLiteral("PSG scale:"), look::kWhite, make::Place(layout::kPsgRow.caption));
    PSGBox = scale("PSGBox", layout::kPsgRow);
    UpDown2 = upDown("UpDown2", layout::kPsgRow);

    // The hook looks at the event before it touches the box: events also
    // arrive while the box is being destroyed. Up and Down step the scale as
    // the arrows beside it do.
    auto* keys = new EventHook(this, [this](QObject* watched, QEvent* event) {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* box = static_cast<QLineEdit*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        UpDown* arrows = box == FMBox ? UpDown1 : UpDown2;
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && arrows->isEnabled()) {
            arrows->step(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
        return FilterScaleKey(box, key);
    });
    keys->watch(FMBox);
    keys->watch(PSGBox);
}

void GemsFixPanel::CreateRun()
{
    CheckBox2 = make::Named(new QCheckBox(this), "CheckBox2");
    CheckBox2->setGeometry(make::Place(layout::kChecksumOption));
    CheckBox2->setChecked(true);
    CheckBox2->setCursor(Qt::PointingHandCursor);
    look::UsePlatformColours(CheckBox2); // a white box with a dark tick
    Label10 = make::Label(this, "Label10", QStringLiteral("Out file checksum fix automaticly"), look::kAzure,
                          make::Place(layout::kChecksumCaption));
    Label10->setCursor(Qt::PointingHandCursor);
    ProgressBar1 = make::Named(new QProgressBar(this), "ProgressBar1");
    ProgressBar1->setGeometry(make::Place(layout::kProgressBar));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);
    look::UsePlatformColours(ProgressBar1);
    bar_.emplace(ProgressBar1);
    SpeedButton7 = make::Button(this, "SpeedButton7", QStringLiteral("Fix GEMS"), look::kLime,
                                make::Place(layout::kFixGemsButton));
    SpeedButton7->setEnabled(false); // no files chosen yet
    // Ctrl+Enter on the keypad and on the main keyboard.
    make::Shortcut(SpeedButton7, {QKeySequence(Qt::CTRL | Qt::Key_Enter), QKeySequence(Qt::CTRL | Qt::Key_Return)},
                   QStringLiteral("Retune the GEMS tables into the output file"));
    SpeedButton2 = make::CloseCross(this, "SpeedButton2", layout::kFixCloseAt);
}

void GemsFixPanel::ShowPath(QLineEdit* edit, const std::string& path)
{
    edit->setText(look::PathToFit(path, edit->font(), edit->width() - layout::kEditTextMargins));
    edit->setCursorPosition(0);
}

void GemsFixPanel::SetScaleMode(bool custom)
{
    FMBox->setReadOnly(!custom);
    PSGBox->setReadOnly(!custom);
    UpDown1->setEnabled(custom);
    UpDown2->setEnabled(custom);
}

// The output box is emptied, so "Fix GEMS" waits for an output file to be
// chosen again.
void GemsFixPanel::Open(const std::string& inFile)
{
    if (Running())
        return;
    InFile = inFile;
    Out_Edit->clear();
    ShowPath(In_Edit, InFile);
    suspendCommands_();
    show();
}

void GemsFixPanel::Close()
{
    hide();
    resumeList_();
}

// The dialogs are the window's: they open over it, as modal to it.
void GemsFixPanel::ChooseInFile()
{
    const std::string folder = platform::currentDir();
    dialogs::FileDialogSetup setup;
    setup.folder = dialogs::DialogFolder(folder);
    setup.filters = kRomFilters;
    setup.filter = kBinFilter;
    const QString chosen = dialogs::RunFileDialog(window(), setup);
    if (!chosen.isEmpty()) {
        InFile = chosen.toStdString();
        ShowPath(In_Edit, InFile);
    }
    platform::changeDir(folder);
}

void GemsFixPanel::ChooseOutFile()
{
    const std::string folder = platform::currentDir();
    dialogs::FileDialogSetup setup;
    setup.save = true;
    setup.title = QStringLiteral("Save ROM image");
    setup.folder = dialogs::DialogFolder(folder);
    setup.fileName = saveDialogFileName_;
    setup.filters = kRomFilters;
    setup.filter = browser::IsRomImage(InFile) ? kBinFilter : kAllFilesFilter;
    setup.defaultSuffix = QStringLiteral("bin");
    setup.folderMustExist = true;
    setup.refuse = [this](const QString& path) {
        try {
            RequireOutputIsNotInput(InFile, path.toStdString());
        } catch (const Error& error) {
            return QString::fromStdString(error.what());
        }
        return QString();
    };
    const QString chosen = dialogs::RunFileDialog(window(), setup);
    if (!chosen.isEmpty()) {
        saveDialogFileName_ = chosen;
        OutFile = chosen.toStdString();
        ShowPath(Out_Edit, OutFile);
    }
    platform::changeDir(folder);
}

// A scale text that is not a number ends the command before anything
// happens; a click while a run goes on finds "Fix GEMS" off.
void GemsFixPanel::RunFixGems()
{
    if (InFile.empty() || OutFile.empty() || Running())
        return;
    FixGemsRequest request;
    request.inFile = InFile;
    request.outFile = OutFile;
    request.scales.fm = Scale(ScaleIn(FMBox));
    request.scales.psg = Scale(ScaleIn(PSGBox));
    request.fixChecksum = CheckBox2->isChecked();

    cancel_ = false;
    failure_ = nullptr;
    const int run = ++runs_;
    worker_.reset(QThread::create([this, request] { Work(request); }));
    connect(worker_.get(), &QThread::finished, this, [this, run] { TApplication::Guard([&] { EndRun(run); }); });
    EnableInputs(false);
    runChanged_(true);
    worker_->start();
}

void GemsFixPanel::Work(const FixGemsRequest& request)
{
    // Each report is queued to the box, which lives on the window's thread;
    // the box's destructor waits for this thread before the box goes.
    const auto post = [this](auto call) { QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection); };
    FixGemsProgress progress;
    progress.reached = [this, post](FixGemsStep step) { post([this, step] { ShowStep(step); }); };
    progress.setMaximum = [this, post](std::int64_t maximum) { post([this, maximum] { bar_->setMaximum(maximum); }); };
    progress.advance = [this, post](std::int64_t steps) { post([this, steps] { bar_->advance(steps); }); };
    progress.cancelled = [this] { return cancel_.load(); };
    try {
        result_ = FixGems(request, progress, fixImage_);
    } catch (...) {
        failure_ = std::current_exception();
    }
}

void GemsFixPanel::CancelRun()
{
    if (!Running())
        return;
    cancel_ = true;
    worker_->wait();
    EndRun(runs_);
}

// The run's steps were queued before its end, so they are shown by now. A
// cancelled run says nothing more.
void GemsFixPanel::EndRun(int run)
{
    if (run != runs_ || !Running())
        return;
    worker_->wait();
    worker_.reset();
    EnableInputs(true);
    runChanged_(false);
    if (const std::exception_ptr failure = std::exchange(failure_, nullptr)) {
        try {
            std::rethrow_exception(failure);
        } catch (const CancelledError&) {
            return;
        }
    }
    for (const std::string& warning : FixGemsWarnings(result_))
        statusLines_ += QLatin1Char('\n') + QString::fromStdString(warning);
    status_->setText(statusLines_);
}

// "Fix GEMS" comes back when the boxes allow it, and the scale boxes as the
// preset leaves them.
void GemsFixPanel::EnableInputs(bool enabled)
{
    for (QWidget* input : std::initializer_list<QWidget*>{SpeedButton5, SpeedButton6, PresetBox, FMBox, PSGBox,
                                                          CheckBox2, Label10, SpeedButton7, SpeedButton2})
        input->setEnabled(enabled);
    UpDown1->setEnabled(enabled && !FMBox->isReadOnly());
    UpDown2->setEnabled(enabled && !PSGBox->isReadOnly());
    if (enabled)
        BoxesChanged();
}

// Each step of a run is a line of the status, the first one in place of what
// the status showed.
void GemsFixPanel::ShowStep(FixGemsStep step)
{
    if (step == FixGemsStep::Loading)
        statusLines_.clear();
    statusLines_ += QString::fromLatin1(StatusLine(step)) + (step == FixGemsStep::Finished ? "" : "\n");
    status_->setText(statusLines_);
}

// Not while a run goes on: its caption is off with the option.
void GemsFixPanel::ToggleChecksumFix()
{
    if (CheckBox2->isEnabled())
        CheckBox2->setChecked(!CheckBox2->isChecked());
}
