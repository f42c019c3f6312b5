// SPDX-License-Identifier: MIT
// The window's look: every named control of the window and of its boxes,
// with its place, font, colours, alignment and text, against the description
// kept in look.txt. With VARNOQUIL_WRITE_LOOK=1 the test writes that file
// anew instead; compare the change with a screenshot before keeping it.

#include "window_test.h"

#include <QFile>
#include <QTextStream>

namespace {

// One line per named control, in the order the window made them.
QString Describe(const QWidget& top, const QString& folder)
{
    QString text;
    QTextStream out(&text);
    for (const QWidget* widget : top.findChildren<QWidget*>()) {
        if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_"))
            continue;
        const QRect place = widget->geometry();
        const QFont font = widget->font();
        const QPalette colours = widget->palette();
        out << widget->objectName() << ' ' << widget->metaObject()->className() << ' ' << place.x() << ',' << place.y()
            << ' ' << place.width() << 'x' << place.height() << " font=" << font.family() << '/' << font.pixelSize()
            << '/' << font.pointSize() << '/' << font.weight()
            << " fg=" << colours.color(widget->foregroundRole()).name()
            << " bg=" << colours.color(widget->backgroundRole()).name() << (widget->autoFillBackground() ? "+" : "")
            << (widget->isVisibleTo(&top) ? " shown" : " hidden") << (widget->isEnabled() ? "" : " off");
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            out << " align=" << Qt::hex << int(label->alignment()) << Qt::dec << " wrap=" << label->wordWrap()
                << " text=\"" << QString(label->text()).replace(folder, "FOLDER").replace('\n', "|") << '"';
        else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            out << " text=\"" << button->text() << "\" tip=\"" << button->toolTip() << '"';
        out << '\n';
    }
    return text;
}

} // namespace

class Look : public WindowTest {};

// The About box is described open, so that its text is there.
TEST_F(Look, EveryControlHasItsPlaceFontColoursAndText)
{
    MakeFile("game.bin", vtest::RomBuilder(0x400).GameHeader().bytes);
    TForm1& form = Open();
    form.SpeedButton13->click();
    const QString described = Describe(form, QString::fromStdString(Folder()));

    QFile kept(VARNOQUIL_LOOK_FILE);
    if (qEnvironmentVariableIntValue("VARNOQUIL_WRITE_LOOK") == 1) {
        ASSERT_TRUE(kept.open(QIODevice::WriteOnly | QIODevice::Truncate));
        kept.write(described.toUtf8());
        return;
    }
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << VARNOQUIL_LOOK_FILE;
    const QStringList expected = QString::fromUtf8(kept.readAll()).split('\n'), seen = described.split('\n');
    for (qsizetype line = 0; line < std::max(expected.size(), seen.size()); ++line)
        EXPECT_EQ(seen.value(line).toStdString(), expected.value(line).toStdString()) << "line " << line + 1;
}
