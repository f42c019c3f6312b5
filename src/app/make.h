// SPDX-License-Identifier: MIT
#pragma once

#include "ui/layout.h"

#include <QColor>
#include <QKeySequence>
#include <QList>
#include <QRect>
#include <QString>

class QAbstractButton;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

// The steps that build the window's controls in its look: each named as its
// handlers know it, in the interface font and colours, at its place.
namespace make {

inline QRect Place(varnoquil::ui::Rect rect)
{
    return {rect.left, rect.top, rect.width, rect.height};
}
inline QPoint Place(varnoquil::ui::Point point)
{
    return {point.x, point.y};
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A panel with a one-pixel raised bevel.
QFrame* Panel(QWidget* parent, const char* name, const QColor& background);
// A transparent label in the interface font, sized to its text.
QLabel* Label(QWidget* parent, const char* name, const QString& text, const QColor& colour, QPoint at = {});
// A flat button with a text caption, which Tab reaches.
QToolButton* Button(QWidget* parent, const char* name, const QString& caption, const QColor& colour, QRect place);
// A small red "X" that closes a group box, also with Escape.
QToolButton* CloseCross(QWidget* parent, const char* name, varnoquil::ui::Point at);
// Keys that click a button while it is shown and enabled, the first of them
// named in its tooltip after the hint: "Fix ROM checksum (Ctrl+K)".
void Shortcut(QAbstractButton* button, const QList<QKeySequence>& keys, const QString& hint);
// An edit box, grey, in the platform's colour for texts in windows.
QLineEdit* Edit(QWidget* parent, const char* name, QRect place);
// A grey drop-down list of items 16 pixels high.
QComboBox* DropDownList(QWidget* parent, const char* name, QRect place);
// Makes a group box hidden and black, its font in the given colour.
void HiddenBox(QGroupBox* box, const char* name, varnoquil::ui::Size size, const QColor& colour);
// The platform's colour for texts in windows, which the GEMS Fix box uses.
QColor WindowTextColour();

} // namespace make
