// SPDX-License-Identifier: MIT
#include "sound_engine_panel.h"

#include "look.h"
#include "make.h"
#include "ui/sound_engines.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QToolButton>

using namespace varnoquil;
using namespace varnoquil::ui;

namespace {

QTableWidgetItem* ReadOnlyCell(const std::string& text)
{
    auto* cell = new QTableWidgetItem(QString::fromStdString(text));
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

} // namespace

SoundEnginePanel::SoundEnginePanel(QWidget* parent) : CaptionedGroupBox(QStringLiteral("Sound Engines List"), parent)
{
    make::HiddenBox(this, "SEListBox", layout::kSEListBoxSize, look::kMaroon);
    SpeedButton10 = make::CloseCross(this, "SpeedButton10", layout::kSEListCloseAt);
    PlaceSourceLine();
    BuildGrid();
    FillGrid();
}

// One whole line between the box's caption and "X", level with "X": as much
// of it as fits, the address cut at the right where it must be.
void SoundEnginePanel::PlaceSourceLine()
{
    Label11 = make::Label(this, "Label11", QString(), look::kGray);
    const QFontMetrics metrics(Label11->font());
    const int left = layout::kSEListCaptionLeft;
    const int right = SpeedButton10->x() - layout::kSEListCaptionGap;
    const QRect cross = SpeedButton10->geometry();
    Label11->setGeometry(left, cross.center().y() + 1 - metrics.height() / 2, right - left, metrics.height());
    Label11->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const QString address
        = QStringLiteral("http://gdri.smspower.org/wiki/index.php/Mega_Drive/Genesis_Sound_Engine_List");
    Label11->setText(
        metrics.elidedText(QStringLiteral("Only for information (%1)").arg(address), Qt::ElideRight, Label11->width()));
    Label11->setToolTip(address);
}

void SoundEnginePanel::BuildGrid()
{
    ValueListEditor1 = make::Named(new QTableWidget(0, 2, this), "ValueListEditor1");
    ValueListEditor1->setGeometry(make::Place(layout::kSEListGrid));
    ValueListEditor1->setFrameShape(QFrame::NoFrame);
    ValueListEditor1->setFont(look::SmallFonts());
    look::SetBackground(ValueListEditor1, look::kGray);
    look::SetTextColour(ValueListEditor1, look::kBlack);
    ValueListEditor1->setHorizontalHeaderLabels({QStringLiteral("Game Name"), QStringLiteral("Sound Engine")});
    QHeaderView* titleRow = ValueListEditor1->horizontalHeader();
    look::SetBackground(titleRow, look::kAzure);
    titleRow->setSectionResizeMode(QHeaderView::Fixed);
    titleRow->setHighlightSections(false);
    ValueListEditor1->verticalHeader()->hide();
    ValueListEditor1->verticalHeader()->setDefaultSectionSize(layout::kGridRowHeight);
    ValueListEditor1->setColumnWidth(0, layout::kGameColumnWidth);
    ValueListEditor1->setColumnWidth(1, layout::kEngineColumnWidth);
    ValueListEditor1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ValueListEditor1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ValueListEditor1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void SoundEnginePanel::FillGrid()
{
    const std::vector<SoundEngineRow> rows = ShippedSoundEngines();
    ValueListEditor1->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < ValueListEditor1->rowCount(); ++row) {
        const SoundEngineRow& entry = rows[static_cast<std::size_t>(row)];
        ValueListEditor1->setItem(row, 0, ReadOnlyCell(entry.game));
        ValueListEditor1->setItem(row, 1, ReadOnlyCell(entry.engine));
    }
}
