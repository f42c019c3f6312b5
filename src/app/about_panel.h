// SPDX-License-Identifier: MIT
#pragma once

#include "controls.h"

class QLabel;
class QToolButton;

// The About box: the program's name, version and credits in large azure
// text over a gray shadow, and an "X" that closes it. Hidden until "?"
// opens it.
class AboutPanel : public CaptionedGroupBox {
public:
    explicit AboutPanel(QWidget* parent);
    // Shows the text, on both labels.
    void SetText(const QString& text);

    QToolButton* SpeedButton15;
    QLabel* Label24; // the shadow
    QLabel* Label25;
};
