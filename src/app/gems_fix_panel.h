// SPDX-License-Identifier: MIT
#pragma once

#include "controls.h"

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QToolButton;

// The GEMS Fix box: the input and output files, the scale preset and the
// two scales with their up-downs, the checksum option, the progress bar,
// "Fix GEMS" and an "X" that closes it. Hidden until "FIX" opens it.
class GemsFixPanel : public CaptionedGroupBox {
public:
    explicit GemsFixPanel(QWidget* parent);

    // Shows a path in a file box, shortened from the left until it fits the
    // box's text area; the path itself is kept whole elsewhere.
    static void ShowPath(QLineEdit* edit, const std::string& path);
    // Fixed presets show their scales read-only; the custom one lets the
    // user type or step them.
    void SetScaleMode(bool custom);

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
    void CreateFiles();
    void CreateScales();
    void CreateRun();
};
