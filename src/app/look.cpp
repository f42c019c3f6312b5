// SPDX-License-Identifier: MIT
#include "look.h"

#include "controls.h"
#include "rom/cp1251.h"
#include "ui/ui_logic.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QScrollBar>
#include <QToolButton>

namespace look {

namespace {

constexpr int kNarrowStretch = 85;

} // namespace

QFont SmallFonts(int pixelHeight)
{
    QFont font(QStringLiteral("Small Fonts"));
    font.setPixelSize(pixelHeight);
    font.setBold(true);
    // The face is a narrow one; narrowing its stand-in keeps captions such
    // as "Checksum" inside their buttons.
    font.setStretch(kNarrowStretch);
    return font;
}

QString LabelText(const std::string& bytes)
{
    return QString::fromStdString(varnoquil::Cp1251ToUtf8(bytes)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString PathToFit(const std::string& path, const QFont& font, int maxWidth)
{
    const QFontMetrics metrics(font);
    const auto width
        = [&metrics](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); };
    return QString::fromStdString(varnoquil::ui::ShortenPath(path, width, maxWidth));
}

QFont SystemFont()
{
    QFont font(QStringLiteral("System"));
    font.setPixelSize(9);
    font.setBold(true);
    return font;
}

void InstallFontSubstitutes()
{
    // Neither face exists outside Windows; DejaVu Sans is legible at 9 px.
    QFont::insertSubstitution(QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("System"), QStringLiteral("DejaVu Sans"));
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        palette.setColor(QPalette::Active, role, colour);
        palette.setColor(QPalette::Inactive, role, colour);
        palette.setColor(QPalette::Disabled, role, kDisabledText);
    }
    widget->setPalette(palette);
}

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void UsePlatformColours(QWidget* widget)
{
    const QPalette platform = QGuiApplication::palette();
    QPalette palette;
    // Every colour set one by one, so that none is inherited from the parent.
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            palette.setColor(g, r, platform.color(g, r));
        }
    widget->setPalette(palette);
}

void MakeThinScrollBar(QScrollBar* bar, int width, const QColor& groove, const QColor& handle)
{
    bar->setStyleSheet(QStringLiteral("QScrollBar:vertical { background: %1; width: %2px; margin: 0; border: none; }"
                                      "QScrollBar::handle:vertical { background: %3; min-height: 8px; }"
                                      "QScrollBar::add-line, QScrollBar::sub-line { height: 0; border: none; }"
                                      "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
                           .arg(groove.name())
                           .arg(width)
                           .arg(handle.name()));
}

QToolButton* FlatButton(QWidget* parent, const char* name, const QString& caption, const QColor& colour)
{
    auto* button = new FlatToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(SmallFonts());
    SetTextColour(button, colour);
    // The raised edge shown under the pointer frames the text on the
    // parent's own colour.
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, parent->palette().color(QPalette::Window));
    button->setPalette(palette);
    return button;
}

} // namespace look
