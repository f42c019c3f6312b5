// SPDX-License-Identifier: MIT
// The boxes over the file list: About, the sound engine list and the
// standard error box, with the buttons they disable and give back.

#include "window_test.h"

#include "errors.h"
#include "named_rows.h"
#include "sound_engines.h"

#include <QScrollBar>
#include <QTableWidget>

#include <stdexcept>
#include <tuple>

namespace {

class About : public WindowTest {
protected:
    void SelectEntry(const QString& text)
    {
        Click(text);
        ASSERT_EQ(List()->currentItem()->text(), text);
    }
    void OpenBox() { QTest::mouseClick(form_->SpeedButton13, Qt::LeftButton); }
    void CloseBox() { QTest::mouseClick(form_->AboutBox->SpeedButton15, Qt::LeftButton); }
};

TEST_F(About, OpeningDisablesTheListAndTheFileButtonsOnly)
{
    MakeFile("a.bin");
    TForm1& form = Open();
    SelectEntry("a.bin");
    for (QToolButton* button : {form.DelButton, form.FixButton, form.CheckSumButton})
        button->setEnabled(true);
    OpenBox();
    OpenBox(); // opening again changes nothing
    EXPECT_TRUE(form.AboutBox->isVisible());
    for (QWidget* off :
         std::initializer_list<QWidget*>{form.SEListButton, form.FixButton, form.DelButton, form.ListBox1})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    for (QWidget* on : std::initializer_list<QWidget*>{form.CheckSumButton, form.SpeedButton4, form.SpeedButton8,
                                                       form.SpeedButton13, form.CheckBox1, form.DiskBox})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();

    // The selected file vanished while the box was open: Delete stays off.
    ASSERT_TRUE(QFile::remove(FilePath("a.bin")));
    CloseBox();
    EXPECT_FALSE(form.DelButton->isEnabled());
}

struct Closing {
    const char* name;
    const char* entry;
    bool romSelected; // SelectedFile set while the box is open
    bool deleteOn;
    bool fixOn;
};

class AboutClosing : public About, public ::testing::WithParamInterface<Closing> {};

TEST_P(AboutClosing, GivesBackTheListAndTheButtonsTheSelectedEntryAllows)
{
    const Closing& row = GetParam();
    MakeFolder("sub");
    MakeFile("a.bin");
    MakeFile("b.smd");
    TForm1& form = Open();
    SelectEntry(row.entry);
    form.SelectedFile = row.romSelected ? Folder() + "/a.bin" : std::string();
    OpenBox();
    CloseBox();
    EXPECT_TRUE(form.AboutBox->isHidden());
    EXPECT_TRUE(form.ListBox1->isEnabled() && form.SEListButton->isEnabled());
    EXPECT_EQ(form.focusWidget(), form.ListBox1);
    EXPECT_EQ(form.DelButton->isEnabled(), row.deleteOn);
    EXPECT_EQ(form.FixButton->isEnabled(), row.fixOn);
}

INSTANTIATE_TEST_SUITE_P(Entries, AboutClosing,
                         ::testing::Values(Closing{"RomImage", "a.bin", true, true, true},
                                           Closing{"OtherFile", "b.smd", false, true, false},
                                           Closing{"ParentEntry", "..", true, false, false},
                                           Closing{"Folder", "sub", true, false, false}),
                         vtest::RowName());

class SEList : public WindowTest {
protected:
    void OpenList() { QTest::mouseClick(form_->SEListButton, Qt::LeftButton); }
    void CloseList() { QTest::mouseClick(form_->SEListBox->SpeedButton10, Qt::LeftButton); }
    QString Cell(int row, int column) const { return form_->SEListBox->ValueListEditor1->item(row, column)->text(); }
    void ClickCell(int row, int column, bool twice = false) const
    {
        QTableWidget* grid = form_->SEListBox->ValueListEditor1;
        const QPoint at = grid->visualRect(grid->model()->index(row, column)).center();
        twice ? QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at)
              : QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(SEList, HoldsEveryRowOfTheDataFileInTheListsOrderReadOnly)
{
    TForm1& form = Open();
    const vtest::a_byte tsv = vtest::ReadFile(VARNOQUIL_SOUND_ENGINES_TSV);
    auto rows = varnoquil::ParseSoundEngines(std::string(tsv.begin(), tsv.end()));
    varnoquil::SortSoundEngines(rows);
    ASSERT_EQ(form.SEListBox->ValueListEditor1->rowCount(), int(rows.size()));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        ASSERT_EQ(Cell(int(row), 0).toStdString(), rows[row].game) << row;
        ASSERT_EQ(Cell(int(row), 1).toStdString(), rows[row].engine) << row;
    }

    // Typing never changes a cell; a click selects the whole row.
    OpenList();
    QTableWidget* grid = form.SEListBox->ValueListEditor1;
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
    MakeFile("late.bin"); // appears only once the folder is listed again
    form.ListBox1->setCurrentRow(2);
    form.CheckSumButton->setEnabled(true);
    OpenList();
    EXPECT_TRUE(form.SEListBox->isVisible() && form.SEListBox->ValueListEditor1->hasFocus());
    for (QToolButton* off : {form.SpeedButton13, form.SpeedButton4, form.SpeedButton8, form.DelButton,
                             form.CheckSumButton, form.SEListButton, form.FixButton})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    // The file list stays usable.
    EXPECT_TRUE(form.ListBox1->isEnabled() && form.CheckBox1->isEnabled() && form.DiskBox->isEnabled());

    // The scroll position and the selected row are kept between openings.
    QTableWidget* grid = form.SEListBox->ValueListEditor1;
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

class ErrorBox : public WindowTest {};

TEST_F(ErrorBox, AnIoErrorInAHandlerShowsItsTextWithAFullStop)
{
    MakeFolder("sub");
    TForm1& form = Open();
    QTest::keyClick(form.ListBox1, Qt::Key_Down);
    ASSERT_EQ(form.ListBox1->currentItem()->text(), "sub");
    QTest::mouseClick(form.SpeedButton13, Qt::LeftButton);
    // The current folder disappears while the box is open: closing it tests
    // the selected entry, and that fails.
    ASSERT_GT(std::filesystem::remove_all(Folder()), 0u);
    QTest::mouseClick(form.AboutBox->SpeedButton15, Qt::LeftButton);
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0].text, "File not found.");
    EXPECT_EQ(errors_[0].title, "varnoquil_window_tests");
    // The handler ended at the failure; what it had done before stays, and the program goes on.
    EXPECT_FALSE(form.AboutBox->isVisible());
    EXPECT_TRUE(form.ListBox1->isEnabled());
    QTest::mouseClick(form.SpeedButton13, Qt::LeftButton);
    EXPECT_TRUE(form.AboutBox->isVisible());
    EXPECT_EQ(errors_.size(), 1u);
}

// An object of the test's own whose events fail with the given error, outside
// every handler of the window: only the application object is left to catch it.
class FailingObject : public QObject {
public:
    explicit FailingObject(std::function<void()> fail) : fail_(std::move(fail)) {}
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            fail_();
        return QObject::event(event);
    }

private:
    std::function<void()> fail_;
};

TEST_F(ErrorBox, AnErrorNoHandlerCatchesIsShownByTheApplicationAtTheLast)
{
    FailingObject object([] { throw std::runtime_error("out of luck"); });
    FailingObject outOfMemory([] { throw std::bad_alloc(); });
    QEvent event(QEvent::User);
    EXPECT_TRUE(QCoreApplication::sendEvent(&object, &event));
    EXPECT_TRUE(QCoreApplication::sendEvent(&outOfMemory, &event));
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_EQ(errors_[0].text, "out of luck.");
    EXPECT_EQ(errors_[1].text, "Not enough memory.");
}

} // namespace
