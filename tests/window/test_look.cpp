// SPDX-License-Identifier: MIT
// The window's look: every named control of the window and of its boxes,
// with its place, font, colours (also while the window is not active),
// alignment and text, against the description kept in look.txt. With
// VARNOQUIL_WRITE_LOOK=1 the test writes that file anew instead; compare the
// change with a screenshot before keeping it.

#include "look.h"
#include "window_test.h"

#include <QFile>
#include <QHeaderView>
#include <QTableWidget>
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
        const QFont font = widget->font();
        const QPalette colours = widget->palette();
        // The text's colour as shown, and after a "/" its colour while the
        // window is not active, where that differs from the active one.
        const QColor shown = colours.color(widget->foregroundRole());
        const QColor active = colours.color(QPalette::Active, widget->foregroundRole());
        const QColor away = colours.color(QPalette::Inactive, widget->foregroundRole());
        out << widget->objectName() << ' ' << widget->metaObject()->className() << ' ' << widget->x() << ','
            << widget->y() << ' ' << widget->width() << 'x' << widget->height() << " font=" << font.family() << '/'
            << font.pixelSize() << '/' << font.pointSize() << '/' << font.weight() << " fg=" << shown.name()
            << (away == active ? QString() : '/' + away.name())
            << " bg=" << colours.color(widget->backgroundRole()).name() << (widget->autoFillBackground() ? "+" : "")
            << (widget->isVisibleTo(&top) ? " shown" : " hidden") << (widget->isEnabled() ? "" : " off");
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            out << " align=" << Qt::hex << int(label->alignment()) << Qt::dec << " wrap=" << label->wordWrap()
                << " text=\"" << QString(label->text()).replace(folder, "FOLDER").replace('\n', "|") << '"';
        else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            out << " text=\"" << button->text() << "\" tip=\"" << button->toolTip() << '"';
        else if (const auto* grid = qobject_cast<const QTableWidget*>(widget))
            out << " columns=" << grid->columnWidth(0) << ',' << grid->columnWidth(1)
                << " title-bg=" << grid->horizontalHeader()->palette().color(QPalette::Button).name()
                << " row-titles=" << grid->verticalHeader()->isVisibleTo(grid)
                << " scroll-bar=" << grid->verticalScrollBarPolicy();
        out << '\n';
    }
    return text;
}

} // namespace

class Look : public WindowTest {};

// The window is described with the About box open, so that its text is
// there, and then the GEMS Fix box open on an image, so that its controls
// have their places.
TEST_F(Look, EveryControlHasItsPlaceFontColoursAndText)
{
    MakeFile("game.bin", vtest::RomBuilder(0x400).GameHeader().bytes);
    TForm1& form = Open();
    const QString folder = QString::fromStdString(Folder());
    form.SpeedButton13->click();
    QString described = Describe(form, folder);
    form.AboutBox->SpeedButton15->click();
    Click("game.bin");
    form.FixButton->click();
    described += Describe(*form.FixBox, folder);

    QFile kept(VARNOQUIL_LOOK_FILE);
    if (qEnvironmentVariableIntValue("VARNOQUIL_WRITE_LOOK") == 1) {
        ASSERT_TRUE(kept.open(QIODevice::WriteOnly | QIODevice::Truncate));
        kept.write(described.toUtf8());
        return;
    }
    // Each box's frame is closed along its bottom edge.
    for (QWidget* box : std::initializer_list<QWidget*>{form.AboutBox, form.FixBox, form.SEListBox}) {
        const QImage drawn = box->grab().toImage();
        EXPECT_NE(drawn.pixelColor(drawn.width() / 2, drawn.height() - 1), look::kBlack)
            << box->objectName().toStdString();
    }
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << VARNOQUIL_LOOK_FILE;
    const QStringList expected = QString::fromUtf8(kept.readAll()).split('\n'), seen = described.split('\n');
    for (qsizetype line = 0; line < std::max(expected.size(), seen.size()); ++line)
        EXPECT_EQ(seen.value(line).toStdString(), expected.value(line).toStdString()) << "line " << line + 1;
}
