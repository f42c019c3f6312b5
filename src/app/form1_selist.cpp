// The sound engine list: a read-only table of games and their sound engines,
// shown over the file list.

#include "form1.h"

#include "sound_engines.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QTableWidget>
#include <QToolButton>

using namespace varnoquil;

namespace {

QTableWidgetItem* ReadOnlyCell(const std::string& text)
{
    auto* cell = new QTableWidgetItem(QString::fromStdString(text));
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

} // namespace

void TForm1::FillSoundEngineList()
{
    const std::vector<SoundEngineRow> rows = ShippedSoundEngines();
    ValueListEditor1->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < ValueListEditor1->rowCount(); ++row) {
        const SoundEngineRow& entry = rows[static_cast<std::size_t>(row)];
        ValueListEditor1->setItem(row, 0, ReadOnlyCell(entry.game));
        ValueListEditor1->setItem(row, 1, ReadOnlyCell(entry.engine));
    }
}

void TForm1::SEListButtonClick()
{
    for (QToolButton* button : {SpeedButton13, SpeedButton4, SpeedButton8, DelButton, CheckSumButton, SEListButton,
                                FixButton})
        button->setEnabled(false);
    SEListBox->show();
    ValueListEditor1->setFocus();
}

void TForm1::SpeedButton10Click()
{
    SEListBox->hide();
    ListBox1->setEnabled(true);
    ListBox1->setFocus();
    // The relisting sets Delete, FIX, "<-" and "/" again from the first entry.
    CheckBox1Click();
    SEListButton->setEnabled(true);
    SpeedButton13->setEnabled(true);
}
