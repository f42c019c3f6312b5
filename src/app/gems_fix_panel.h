// SPDX-License-Identifier: MIT
#pragma once

#include "controls.h"
#include "gems/fix_gems.h"
#include "rom/rom.h"

#include <functional>
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
// boxes, the presets and the Fix GEMS command. Of the window it lies in it
// knows only the label a run reports its steps on and two callbacks, for
// when it opens and when it closes. Its errors go up to whoever called it.
class GemsFixPanel : public CaptionedGroupBox {
public:
    // suspendCommands switches off the window's commands that wait while the
    // box is open; resumeList gives the file list back its commands and the
    // focus once the box is closed.
    GemsFixPanel(QWidget* parent, QLabel* status, std::function<void()> suspendCommands,
                 std::function<void()> resumeList);

    // Shows a path in a file box, shortened from the left until it fits the
    // box's text area; the path itself is kept whole elsewhere.
    static void ShowPath(QLineEdit* edit, const std::string& path);
    // Fixed presets show their scales read-only; the custom one lets the
    // user type or step them.
    void SetScaleMode(bool custom);

    // Opening and closing, the file dialogs and the Fix GEMS command
    // (gems_fix_panel.cpp).
    // Opens the box for an input file; the output box is emptied.
    void Open(const std::string& inFile);
    void Close();
    // The file dialogs; each leaves the current folder as it found it.
    void ChooseInFile();
    void ChooseOutFile();
    void RunFixGems();
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
    void ShowStep(varnoquil::FixGemsStep step);
    void CreateFiles();
    void CreateScales();
    void CreateRun();

    // The scale a box's text gives (gems_fix_scales.cpp).
    static double ScaleIn(const QLineEdit* box);
    // Passes a key press on to a scale box, less the characters the
    // scaleKeyPress handler discards. Returns true when the event is swallowed.
    bool FilterScaleKey(QLineEdit* box, QKeyEvent* event);
    static bool ScaleChanging(QLineEdit* box, int position);

    QLabel* status_;
    std::function<void()> suspendCommands_;
    std::function<void()> resumeList_;
    bool running_ = false; // a Fix GEMS run is in progress
    QString saveDialogFileName_ = QStringLiteral("VQL_Untitled"); // offered by the save dialog
    // The memory the Fix GEMS command reads its input through, kept between runs.
    varnoquil::a_byte fixImage_;
};
