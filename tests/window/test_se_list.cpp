// The sound engine list: its content and order, its read-only grid, and the
// buttons it disables and gives back.

#include "window_test.h"

#include "sound_engines.h"

#include <QScrollBar>
#include <QTableWidget>

#include <fstream>
#include <sstream>

namespace {

class SEList : public WindowTest {
protected:
    void OpenList() { QTest::mouseClick(form_->SEListButton, Qt::LeftButton); }
    void CloseList() { QTest::mouseClick(form_->SpeedButton10, Qt::LeftButton); }
    QString Cell(int row, int column) const { return form_->ValueListEditor1->item(row, column)->text(); }
    void ClickCell(int row, int column, bool twice = false) const
    {
        QTableWidget* grid = form_->ValueListEditor1;
        const QPoint at = grid->visualRect(grid->model()->index(row, column)).center();
        twice ? QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at)
              : QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(SEList, HoldsEveryRowOfTheDataFileInTheListsOrderReadOnly)
{
    TForm1& form = Open();
    std::ifstream file(VARNOQUIL_SOUND_ENGINES_TSV);
    std::stringstream text;
    text << file.rdbuf();
    auto rows = varnoquil::ParseSoundEngines(text.str());
    varnoquil::SortSoundEngines(rows);
    ASSERT_EQ(form.ValueListEditor1->rowCount(), int(rows.size()));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        ASSERT_EQ(Cell(int(row), 0).toStdString(), rows[row].game) << row;
        ASSERT_EQ(Cell(int(row), 1).toStdString(), rows[row].engine) << row;
    }

    // Typing never changes a cell; a click selects the whole row.
    OpenList();
    QTableWidget* grid = form.ValueListEditor1;
    ClickCell(2, 1);
    const QString before = Cell(2, 1);
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClicks(grid, "changed");
    QTest::keyClick(grid, Qt::Key_Return);
    ClickCell(2, 1, true);
    QTest::keyClicks(grid, "x");
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(Cell(2, 1), before);
    EXPECT_EQ(grid->selectionModel()->selectedIndexes().size(), 2);
}

TEST_F(SEList, OpeningDisablesTheCommandsAndClosingRelistsTheFolder)
{
    MakeFolder("sub");
    MakeFile("a.bin");
    TForm1& form = Open();
    MakeFile("late.bin");  // appears only once the folder is listed again
    form.ListBox1->setCurrentRow(2);
    form.CheckSumButton->setEnabled(true);
    OpenList();
    EXPECT_TRUE(form.SEListBox->isVisible() && form.ValueListEditor1->hasFocus());
    for (QToolButton* off : {form.SpeedButton13, form.SpeedButton4, form.SpeedButton8, form.DelButton,
                             form.CheckSumButton, form.SEListButton, form.FixButton})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    // The file list stays usable.
    EXPECT_TRUE(form.ListBox1->isEnabled() && form.CheckBox1->isEnabled() && form.DiskBox->isEnabled());

    // The scroll position and the selected row are kept between openings.
    QTableWidget* grid = form.ValueListEditor1;
    grid->verticalScrollBar()->setValue(40);
    ClickCell(43, 0);
    CloseList();
    EXPECT_FALSE(form.SEListBox->isVisible());
    EXPECT_EQ(form.ListBox1->currentItem()->text(), "..");
    EXPECT_EQ(form.ListBox1->findItems("late.bin", Qt::MatchExactly).size(), 1);
    EXPECT_TRUE(form.ListBox1->hasFocus());
    EXPECT_FALSE(form.CheckSumButton->isEnabled() || form.DelButton->isEnabled() || form.FixButton->isEnabled());
    for (QToolButton* on : {form.SEListButton, form.SpeedButton13, form.SpeedButton4, form.SpeedButton8})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    OpenList();
    EXPECT_EQ(grid->verticalScrollBar()->value(), 40);
    EXPECT_EQ(grid->currentRow(), 43);
}

} // namespace
