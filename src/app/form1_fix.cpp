// SPDX-License-Identifier: MIT
// The handlers of "FIX" and the GEMS Fix box's controls. The box does the
// work (gems_fix_panel.cpp, gems_fix_scales.cpp); each handler hands the
// event on to it.

#include "form1.h"

#include "gems_fix_panel.h"

// Opens the box for the ROM image selected in the list.
void TForm1::FixButtonClick()
{
    RequireShownFolder();
    FixBox->Open(SelectedFile);
}

void TForm1::SpeedButton2Click()
{
    FixBox->Close();
}

void TForm1::SpeedButton5Click()
{
    FixBox->ChooseInFile();
}

void TForm1::SpeedButton6Click()
{
    FixBox->ChooseOutFile();
}

void TForm1::SpeedButton7Click()
{
    FixBox->RunFixGems();
}

// Any button toggles the option.
void TForm1::Label10MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    FixBox->ToggleChecksumFix();
}

void TForm1::In_EditChange()
{
    FixBox->BoxesChanged();
}

void TForm1::FMBoxKeyPress(QLineEdit* Sender, QChar& Key)
{
    GemsFixPanel::JudgeScaleKey(Sender, Key);
}

bool TForm1::UpDown1ChangingEx(int NewValue)
{
    return FixBox->StepFmScale(NewValue);
}

bool TForm1::UpDown2ChangingEx(int NewValue)
{
    return FixBox->StepPsgScale(NewValue);
}

void TForm1::PresetBoxChange()
{
    FixBox->ApplyPreset();
}
