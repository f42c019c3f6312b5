// The About box: the buttons it disables and gives back.

#include "window_test.h"


#include <tuple>

namespace {

class About : public WindowTest {
protected:
    // Moves the list's selection with the arrow keys, as a user would.
    void SelectEntry(const QString& text)
    {
        QListWidget* list = form_->ListBox1;
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        while (list->currentItem()->text() != text && list->currentRow() < list->count() - 1)
            QTest::keyClick(list, Qt::Key_Down);
        ASSERT_EQ(list->currentItem()->text(), text);
    }
    void OpenBox() { QTest::mouseClick(form_->SpeedButton13, Qt::LeftButton); }
    void CloseBox() { QTest::mouseClick(form_->SpeedButton15, Qt::LeftButton); }
};

TEST_F(About, OpeningDisablesTheListAndTheFileButtonsAndClosingGivesThemBack)
{
    MakeFolder("sub");
    MakeFile("a.bin");
    MakeFile("b.smd");
    TForm1& form = Open();
    SelectEntry("a.bin");
    for (QToolButton* button : {form.DelButton, form.FixButton, form.CheckSumButton})
        button->setEnabled(true);
    OpenBox();
    OpenBox();  // opening again changes nothing
    EXPECT_TRUE(form.AboutBox->isVisible());
    for (QWidget* off : std::initializer_list<QWidget*>{form.SEListButton, form.FixButton, form.DelButton, form.ListBox1})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    for (QWidget* on : std::initializer_list<QWidget*>{form.CheckSumButton, form.SpeedButton4, form.SpeedButton8,
                                                       form.SpeedButton13, form.CheckBox1, form.DiskBox})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();

    // entry, SelectedFile set, Delete after closing, FIX after closing
    for (const auto& [entry, romSelected, deleteOn, fixOn] : std::vector<std::tuple<QString, bool, bool, bool>>{
             {"a.bin", true, true, true}, {"b.smd", false, true, false}, {"..", true, false, false},
             {"sub", true, false, false}}) {
        SelectEntry(entry);
        form.SelectedFile = romSelected ? Folder() + "/a.bin" : std::string();
        OpenBox();
        CloseBox();
        EXPECT_TRUE(form.AboutBox->isHidden());
        EXPECT_TRUE(form.ListBox1->isEnabled() && form.SEListButton->isEnabled());
        EXPECT_EQ(form.focusWidget(), form.ListBox1);
        EXPECT_EQ(form.DelButton->isEnabled(), deleteOn) << entry.toStdString();
        EXPECT_EQ(form.FixButton->isEnabled(), fixOn) << entry.toStdString();
    }

    // The selected file vanished while the box was open: Delete stays off.
    SelectEntry("a.bin");
    OpenBox();
    ASSERT_TRUE(QFile::remove(folder_.filePath("a.bin")));
    CloseBox();
    EXPECT_FALSE(form.DelButton->isEnabled());
}

} // namespace
