// The sound engine list: its content and order, its read-only grid, and the
// buttons it disables and gives back.

#include "window_test.h"

#include "sound_engines.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>

#include <fstream>
#include <sstream>

namespace {

class SEList : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        MakeFolder("sub");
        MakeFile("a.bin");
    }

    void OpenList() { QTest::mouseClick(form_->SEListButton, Qt::LeftButton); }
    void CloseList() { QTest::mouseClick(form_->SpeedButton10, Qt::LeftButton); }

    QString Cell(int row, int column) const { return form_->ValueListEditor1->item(row, column)->text(); }
};

std::vector<varnoquil::SoundEngineRow> DataFileRows()
{
    std::ifstream file(VARNOQUIL_SOUND_ENGINES_TSV);
    std::stringstream text;
    text << file.rdbuf();
    return varnoquil::ParseSoundEngines(text.str());
}

} // namespace

TEST_F(SEList, HoldsEveryRowOfTheDataFileInTheListsOrder)
{
    TForm1& form = Open();
    auto rows = DataFileRows();
    ASSERT_EQ(form.ValueListEditor1->rowCount(), static_cast<int>(rows.size()));
    varnoquil::SortSoundEngines(rows);
    for (int row = 0; row < form.ValueListEditor1->rowCount(); ++row) {
        ASSERT_EQ(Cell(row, 0).toStdString(), rows[static_cast<std::size_t>(row)].game) << row;
        ASSERT_EQ(Cell(row, 1).toStdString(), rows[static_cast<std::size_t>(row)].engine) << row;
    }
    EXPECT_TRUE(Cell(0, 1).startsWith('<'));
    EXPECT_EQ(form.ValueListEditor1->horizontalHeaderItem(0)->text(), "Game Name");
    EXPECT_EQ(form.ValueListEditor1->horizontalHeaderItem(1)->text(), "Sound Engine");
    EXPECT_EQ(form.ValueListEditor1->rowHeight(0), 18);
    EXPECT_EQ(form.ValueListEditor1->columnWidth(0), 170);
    EXPECT_TRUE(form.Label11->text().startsWith("Only for information (http://"));
}

TEST_F(SEList, TypingNeverChangesACell)
{
    TForm1& form = Open();
    OpenList();
    QTableWidget* grid = form.ValueListEditor1;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 1)).center());
    const QString before = Cell(2, 1);
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClicks(grid, "changed");
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 1)).center());
    QTest::keyClicks(grid, "x");
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(Cell(2, 1), before);
    EXPECT_EQ(grid->selectionModel()->selectedIndexes().size(), 2);  // the whole row
}

TEST_F(SEList, OpeningDisablesTheOtherCommandsButLeavesTheFileListUsable)
{
    TForm1& form = Open();
    form.CheckSumButton->setEnabled(true);
    OpenList();
    EXPECT_TRUE(form.SEListBox->isVisible());
    EXPECT_TRUE(form.ValueListEditor1->hasFocus());
    for (QToolButton* off : {form.SpeedButton13, form.SpeedButton4, form.SpeedButton8, form.DelButton,
                             form.CheckSumButton, form.SEListButton, form.FixButton})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    EXPECT_TRUE(form.ListBox1->isEnabled());
    EXPECT_TRUE(form.CheckBox1->isEnabled());
    EXPECT_TRUE(form.DiskBox->isEnabled());
}

TEST_F(SEList, ClosingRelistsSelectsTheFirstEntryAndLeavesChecksumOff)
{
    TForm1& form = Open();
    MakeFile("late.bin");  // appears only once the folder is listed again
    form.ListBox1->setCurrentRow(2);
    form.CheckSumButton->setEnabled(true);
    OpenList();
    CloseList();
    EXPECT_FALSE(form.SEListBox->isVisible());
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    EXPECT_EQ(form.ListBox1->currentItem()->text(), "..");
    EXPECT_EQ(form.ListBox1->findItems("late.bin", Qt::MatchExactly).size(), 1);
    EXPECT_TRUE(form.ListBox1->hasFocus());
    EXPECT_FALSE(form.CheckSumButton->isEnabled());
    EXPECT_FALSE(form.DelButton->isEnabled());
    EXPECT_FALSE(form.FixButton->isEnabled());
    for (QToolButton* on : {form.SEListButton, form.SpeedButton13, form.SpeedButton4, form.SpeedButton8})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
}

TEST_F(SEList, KeepsItsScrollPositionAndSelectedRowBetweenOpenings)
{
    TForm1& form = Open();
    OpenList();
    QTableWidget* grid = form.ValueListEditor1;
    grid->verticalScrollBar()->setValue(40);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(43, 0)).center());
    CloseList();
    OpenList();
    EXPECT_EQ(grid->verticalScrollBar()->value(), 40);
    EXPECT_EQ(grid->currentRow(), 43);
}
