// SPDX-License-Identifier: MIT
#include "make.h"

#include "controls.h"
#include "look.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>

namespace make {

using namespace varnoquil::ui;

QFrame* Panel(QWidget* parent, const char* name, const QColor& background)
{
    auto* panel = Named(new QFrame(parent), name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    look::SetBackground(panel, background);
    return panel;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, const QColor& colour, QPoint at)
{
    auto* label = Named(new QLabel(text, parent), name);
    label->setFont(look::SmallFonts());
    look::SetTextColour(label, colour);
    label->adjustSize();
    label->move(at);
    return label;
}

QToolButton* Button(QWidget* parent, const char* name, const QString& caption, const QColor& colour, QRect place)
{
    QToolButton* button = look::FlatButton(parent, name, caption, colour);
    button->setFocusPolicy(Qt::TabFocus);
    button->setGeometry(place);
    return button;
}

QToolButton* CloseCross(QWidget* parent, const char* name, Point at)
{
    QToolButton* cross = Button(parent, name, QStringLiteral("X"), look::kRed,
                                {at.x, at.y, layout::kCloseCrossSize, layout::kCloseCrossSize});
    Shortcut(cross, {QKeySequence(Qt::Key_Escape)}, QStringLiteral("Close"));
    return cross;
}

void Shortcut(QAbstractButton* button, const QList<QKeySequence>& keys, const QString& hint)
{
    auto* shortcut = new QShortcut(button);
    shortcut->setKeys(keys);
    QObject::connect(shortcut, &QShortcut::activated, button, &QAbstractButton::animateClick);
    button->setToolTip(hint + QStringLiteral(" (") + keys.front().toString(QKeySequence::NativeText)
                       + QLatin1Char(')'));
}

QLineEdit* Edit(QWidget* parent, const char* name, QRect place)
{
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setFont(look::SmallFonts());
    look::SetBackground(edit, look::kGray);
    look::SetTextColour(edit, WindowTextColour());
    edit->setGeometry(place);
    return edit;
}

QComboBox* DropDownList(QWidget* parent, const char* name, QRect place)
{
    auto* box = Named(new QComboBox(parent), name);
    box->setFont(look::SmallFonts());
    look::SetBackground(box, look::kGray);
    look::SetTextColour(box, look::kBlack);
    box->setItemDelegate(new FixedHeightDelegate(layout::kListItemHeight, box));
    box->setGeometry(place);
    return box;
}

void HiddenBox(QGroupBox* box, const char* name, Size size, const QColor& colour)
{
    Named(box, name);
    box->setFont(look::SmallFonts());
    look::SetBackground(box, look::kBlack);
    look::SetTextColour(box, colour);
    box->resize(size.width, size.height);
    box->hide();
}

QColor WindowTextColour()
{
    return QGuiApplication::palette().color(QPalette::WindowText);
}

} // namespace make
