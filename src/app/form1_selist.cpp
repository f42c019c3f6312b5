// SPDX-License-Identifier: MIT
// The handlers that open and close the sound engine list.

#include "form1.h"

#include "sound_engine_panel.h"

#include <QListWidget>
#include <QTableWidget>
#include <QToolButton>

void TForm1::SEListButtonClick()
{
    for (QToolButton* button :
         {SpeedButton13, SpeedButton4, SpeedButton8, DelButton, CheckSumButton, SEListButton, FixButton})
        button->setEnabled(false);
    SEListBox->show();
    SEListBox->ValueListEditor1->setFocus();
}

void TForm1::SpeedButton10Click()
{
    SEListBox->hide();
    ListBox1->setEnabled(true);
    // The relisting sets Delete, FIX, "<-" and "/" again from the first entry.
    CheckBox1Click();
    SEListButton->setEnabled(true);
    SpeedButton13->setEnabled(true);
}
