// SPDX-License-Identifier: MIT
// The boxes over the file list: About, the sound engine list and the
// standard error box, with the buttons they disable and give back.

#include "fix_panel_test.h"

#include "sound_engines.h"

#include <QScrollBar>
#include <QTableWidget>

#include <stdexcept>

namespace {

class About : public WindowTest {};

// Opening the box takes the list, SE list, FIX and Delete away; closing it
// gives back the list and what the entry selected then allows.
TEST_F(About, TakesTheListAndTheFileButtonsAndGivesBackWhatTheEntryAllows)
{
    struct Row {
        const char* entry;
        bool romSelected; // SelectedFile set while the box is open
        bool vanishes; // the file is removed while the box is open
        const char* deleteAndFix;
    };
    MakeFolder("sub");
    for (const char* name : {"a.bin", "b.smd", "gone.bin"})
        MakeFile(name);
    TForm1& form = Open();
    for (const Row& row :
         {Row{"a.bin", true, false, "11"}, Row{"b.smd", false, false, "10"}, Row{"..", true, false, "00"},
          Row{"sub", true, false, "00"}, Row{"gone.bin", true, true, "00"}}) {
        Click(row.entry);
        ASSERT_EQ(form.ListBox1->currentItem()->text(), row.entry);
        form.SelectedFile = row.romSelected ? Folder() + "/a.bin" : std::string();
        form.CheckSumButton->setEnabled(true);
        QTest::mouseClick(form.SpeedButton13, Qt::LeftButton);
        QTest::mouseClick(form.SpeedButton13, Qt::LeftButton); // opening again changes nothing
        EXPECT_TRUE(form.AboutBox->isVisible());
        EXPECT_EQ(Enabled({form.SEListButton, form.FixButton, form.DelButton, form.ListBox1, form.CheckSumButton,
                           form.SpeedButton4, form.SpeedButton8, form.SpeedButton13, form.CheckBox1, form.DiskBox}),
                  "0000111111")
            << row.entry;
        if (row.vanishes) {
            ASSERT_TRUE(QFile::remove(FilePath(row.entry)));
        }
        QTest::mouseClick(form.AboutBox->SpeedButton15, Qt::LeftButton);
        EXPECT_TRUE(form.AboutBox->isHidden() && form.focusWidget() == form.ListBox1) << row.entry;
        EXPECT_EQ(Enabled({form.ListBox1, form.SEListButton, form.DelButton, form.FixButton}),
                  std::string("11") + row.deleteAndFix)
            << row.entry;
    }
}

class SEList : public WindowTest {
protected:
    QString Cell(int row, int column) const { return form_->SEListBox->ValueListEditor1->item(row, column)->text(); }
    void ClickCell(int row, int column, bool twice = false) const
    {
        QTableWidget* grid = form_->SEListBox->ValueListEditor1;
        const QPoint at = grid->visualRect(grid->model()->index(row, column)).center();
        twice ? QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at)
              : QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
};

// The list holds every row of the data file in the list's order, read-only.
// While it is open only the file list stays usable; closing it lists the
// folder again, and the next opening keeps the scroll position and the row.
TEST_F(SEList, ShowsTheDataFileReadOnlyInPlaceOfTheCommands)
{
    MakeFolder("sub");
    MakeFile("a.bin");
    TForm1& form = Open();
    QTableWidget* grid = form.SEListBox->ValueListEditor1;
    const vtest::a_byte tsv = vtest::ReadFile(VARNOQUIL_SOUND_ENGINES_TSV);
    auto rows = varnoquil::ParseSoundEngines(std::string(tsv.begin(), tsv.end()));
    varnoquil::SortSoundEngines(rows);
    ASSERT_EQ(grid->rowCount(), int(rows.size()));
    for (std::size_t row = 0; row < rows.size(); ++row)
        ASSERT_EQ((Cell(int(row), 0) + '|' + Cell(int(row), 1)).toStdString(), rows[row].game + '|' + rows[row].engine);

    MakeFile("late.bin"); // appears only once the folder is listed again
    form.ListBox1->setCurrentRow(2);
    form.CheckSumButton->setEnabled(true);
    QTest::mouseClick(form.SEListButton, Qt::LeftButton);
    EXPECT_TRUE(form.SEListBox->isVisible() && grid->hasFocus());
    // About, "<-", "/", Delete, Checksum, SE list, FIX | list, filter, drives.
    const auto states = [&] {
        return Enabled({form.SpeedButton13, form.SpeedButton4, form.SpeedButton8, form.DelButton, form.CheckSumButton,
                        form.SEListButton, form.FixButton, form.ListBox1, form.CheckBox1, form.DiskBox});
    };
    EXPECT_EQ(states(), "0000000111");
    // Typing never changes a cell; a click selects the whole row.
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

    grid->verticalScrollBar()->setValue(40);
    ClickCell(43, 0);
    QTest::mouseClick(form.SEListBox->SpeedButton10, Qt::LeftButton);
    EXPECT_TRUE(form.SEListBox->isHidden() && form.ListBox1->hasFocus());
    EXPECT_EQ(form.ListBox1->currentItem()->text(), "..");
    EXPECT_EQ(form.ListBox1->findItems("late.bin", Qt::MatchExactly).size(), 1);
    EXPECT_EQ(states(), "1110010111");
    QTest::mouseClick(form.SEListButton, Qt::LeftButton);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 40);
    EXPECT_EQ(grid->currentRow(), 43);
}

class ErrorBox : public WindowTest {};

// An error in a handler ends that handler and shows its text with a full
// stop; what it had done stays and the program goes on. An error no handler
// catches is shown by the application at the last.
TEST_F(ErrorBox, ShowsTheTextOfAnErrorWithAFullStopAndTheProgramGoesOn)
{
    MakeFolder("sub");
    TForm1& form = Open();
    QTest::keyClick(form.ListBox1, Qt::Key_Down);
    ASSERT_EQ(form.ListBox1->currentItem()->text(), "sub");
    QTest::mouseClick(form.SpeedButton13, Qt::LeftButton);
    // The folder vanishes while the box is open: closing it tests the selected entry, and that fails.
    ASSERT_GT(std::filesystem::remove_all(Folder()), 0u);
    QTest::mouseClick(form.AboutBox->SpeedButton15, Qt::LeftButton);
    EXPECT_TRUE(form.AboutBox->isHidden() && form.ListBox1->isEnabled());
    QTest::mouseClick(form.SpeedButton13, Qt::LeftButton);
    EXPECT_TRUE(form.AboutBox->isVisible());

    QObject outsideTheWindow;
    QTimer::singleShot(0, &outsideTheWindow, [] { throw std::runtime_error("out of luck"); });
    QTimer::singleShot(0, &outsideTheWindow, [] { throw std::bad_alloc(); });
    QTest::qWait(50);
    QStringList texts;
    for (const ShownError& error : errors_)
        texts << error.title + ": " + error.text;
    EXPECT_EQ(texts,
              (QStringList{"varnoquil_window_tests: File not found.", "varnoquil_window_tests: out of luck.",
                           "varnoquil_window_tests: Not enough memory."}));
}

} // namespace
