// SPDX-License-Identifier: MIT
#include "about_panel.h"

#include "look.h"
#include "make.h"

#include <QLabel>
#include <QToolButton>

using namespace varnoquil::ui;

namespace {

// One of the two labels: large centred lines, no background.
QLabel* AboutLabel(QWidget* parent, const char* name, Rect place, const QColor& colour)
{
    auto* label = make::Named(new QLabel(parent), name);
    label->setFont(look::SmallFonts(layout::kAboutFontHeight));
    look::SetTextColour(label, colour);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(false);
    label->setGeometry(make::Place(place));
    return label;
}

} // namespace

AboutPanel::AboutPanel(QWidget* parent) : CaptionedGroupBox(QStringLiteral("About"), parent)
{
    make::HiddenBox(this, "AboutBox", layout::kAboutBoxSize, look::kMaroon);
    SpeedButton15 = make::CloseCross(this, "SpeedButton15", layout::kAboutCloseAt);
    // The shadow is built first, so that the azure text lies above it.
    Label24 = AboutLabel(this, "Label24", layout::kAboutShadow, look::kGray);
    Label25 = AboutLabel(this, "Label25", layout::kAboutText, look::kAzure);
}

void AboutPanel::SetText(const QString& text)
{
    Label24->setText(text);
    Label25->setText(text);
}
