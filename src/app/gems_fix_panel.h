// SPDX-License-Identifier: MIT
#pragma once

#include "controls.h"
#include "gems/fix_gems.h"
#include "rom/rom.h"

#include <QThread>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QToolButton;

// The GEMS Fix box: the input and output files, the scale preset and the
// two scales with their up-downs, the checksum option, the progress bar,
// "Fix GEMS" and an "X" that closes it. Hidden until "FIX" opens it.
//
// It does the box's own work: choosing the files, the rules of the scale
// boxes, the presets and the Fix GEMS command, which runs on a thread of its
// own so that the window stays responsive. Of the window it lies in it knows
// only the label a run reports its steps on and three callbacks, for when it
// opens, when it closes and when a run starts or ends. Its errors go up to
// whoever called it; those of a run, to the standard error box.
class GemsFixPanel : public CaptionedGroupBox {
public:
    // suspendCommands switches off the window's commands that wait while the
    // box is open; resumeList gives the file list back its commands and the
    // focus once the box is closed; runChanged switches off the window's
    // commands that would change a run's input while it goes on.
    GemsFixPanel(QWidget* parent, QLabel* status, std::function<void()> suspendCommands,
                 std::function<void()> resumeList, std::function<void(bool running)> runChanged);
    // A run still going on is stopped first.
    ~GemsFixPanel() override;
    GemsFixPanel(const GemsFixPanel&) = delete;
    GemsFixPanel& operator=(const GemsFixPanel&) = delete;

    // Shows a path in a file box, shortened from the left until it fits the
    // box's text area; the path itself is kept whole elsewhere.
    static void ShowPath(QLineEdit* edit, const std::string& path);
    // Fixed presets show their scales read-only; the custom one lets the
    // user type or step them.
    void SetScaleMode(bool custom);

    // Opening and closing, the file dialogs and the Fix GEMS command
    // (gems_fix_panel.cpp).
    // Opens the box for an input file; the output box is emptied. While a
    // run goes on the box stays as it is.
    void Open(const std::string& inFile);
    void Close();
    // The file dialogs; each leaves the current folder as it found it.
    void ChooseInFile();
    void ChooseOutFile();
    // Starts a run of the Fix GEMS command and returns: the bar and the
    // status follow it, and the controls that would change its input are off
    // until it ends.
    void RunFixGems();
    bool Running() const { return worker_ != nullptr; }
    // Stops a run and waits for its thread: the run's output is never made,
    // and an existing file of its name stays as it was.
    void CancelRun();
    void ToggleChecksumFix();

    // The scale boxes (gems_fix_scales.cpp).
    // Fills the preset box and applies its first preset.
    void FillPresets();
    void ApplyPreset();
    // After any change of a file or scale box: whether "Fix GEMS" can run,
    // and the up-downs' positions from the scale texts.
    void BoxesChanged();
    // Sets key to a null character when the scale box must not take it.
    static void JudgeScaleKey(const QLineEdit* box, QChar& key);
    // Shows the scale an up-down proposes (in thousandths) in its box;
    // false refuses the step.
    bool StepFmScale(int position);
    bool StepPsgScale(int position);

    // Each character typed into a scale box, before the box takes it; the
    // handler discards it by setting it to a null character. Unset, the
    // boxes take every key.
    std::function<void(QLineEdit* box, QChar& key)> scaleKeyPress;

    // The input and output files chosen, as full paths.
    std::string InFile;
    std::string OutFile;

    QLabel* Label5;
    QLineEdit* In_Edit;
    QToolButton* SpeedButton5;
    QLabel* Label6;
    QLineEdit* Out_Edit;
    QToolButton* SpeedButton6;
    QLabel* Label9;
    QComboBox* PresetBox;
    QLabel* Label7;
    QLineEdit* FMBox;
    UpDown* UpDown1;
    QLabel* Label8;
    QLineEdit* PSGBox;
    UpDown* UpDown2;
    QCheckBox* CheckBox2;
    QLabel* Label10;
    QProgressBar* ProgressBar1;
    QToolButton* SpeedButton7;
    QToolButton* SpeedButton2;

private:
    // The run on its own thread: it touches no widget, and hands its steps
    // and progress to the box's thread as queued calls.
    void Work(const varnoquil::FixGemsRequest& request);
    // Back on the box's thread, once the run's thread has finished.
    void EndRun(int run);
    void EnableInputs(bool enabled);
    void ShowStep(varnoquil::FixGemsStep step);
    void CreateFiles();
    void CreateScales();
    void CreateRun();

    // The scale a box's text gives (gems_fix_scales.cpp).
    static double ScaleIn(const QLineEdit* box);
    // Makes a scale box refuse pasted or dropped text that breaks the rule
    // of typed characters.
    static void RefuseUntypableText(QLineEdit* box);
    // Passes a key press on to a scale box, less the characters the
    // scaleKeyPress handler discards. Returns true when the event is swallowed.
    bool FilterScaleKey(QLineEdit* box, QKeyEvent* event);
    static bool ScaleChanging(QLineEdit* box, int position);

    QLabel* status_;
    std::function<void()> suspendCommands_;
    std::function<void()> resumeList_;
    std::function<void(bool)> runChanged_;
    QString saveDialogFileName_ = QStringLiteral("VQL_Untitled"); // offered by the save dialog
    std::optional<LongProgress> bar_;
    // The lines a run reported: the status shows them after each step, also
    // when the information of another entry was shown meanwhile.
    QString statusLines_;

    // The run going on, if any, and what only its thread touches until it
    // has finished: the memory the input is read through (kept between
    // runs), the result and the error.
    std::unique_ptr<QThread> worker_;
    int runs_ = 0; // counts the runs, so that a late end of a cancelled one is told apart
    std::atomic<bool> cancel_{false};
    varnoquil::a_byte fixImage_;
    varnoquil::FixGemsResult result_;
    std::exception_ptr failure_;
};
