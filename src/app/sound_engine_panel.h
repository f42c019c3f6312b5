// SPDX-License-Identifier: MIT
#pragma once

#include "controls.h"

class QLabel;
class QTableWidget;
class QToolButton;

// The sound engine list: a read-only table of games and the sound engines
// they use, from the list shipped inside the program, with a line naming
// its source and an "X" that closes it. Hidden until "SE List" opens it.
class SoundEnginePanel : public CaptionedGroupBox {
public:
    explicit SoundEnginePanel(QWidget* parent);

    QToolButton* SpeedButton10;
    QLabel* Label11;
    QTableWidget* ValueListEditor1;

private:
    void PlaceSourceLine();
    void BuildGrid();
    void FillGrid();
};
