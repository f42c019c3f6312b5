// SPDX-License-Identifier: MIT
// The window started with a folder or file: the file selected with its
// header shown, the filter turned off for a file it would hide, and an
// argument that cannot be opened reported once the window is up.

#include "window_test.h"

namespace {

class StartWith : public WindowTest {
protected:
    // Starts the window for the argument and lets its first events run.
    TForm1& Start(const std::string& argument)
    {
        form_ = TForm1::StartWith(argument);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        QTest::qWait(50);
        return *form_;
    }
};

TEST_F(StartWith, AFileIsSelectedWithItsHeaderShownWhateverBytesItsNameHolds)
{
    const std::string name = "g\xE9me.bin"; // Latin-1, not valid UTF-8
    MakeFolder("sub");
    MakeFile("a.bin");
    vtest::WriteFile(Folder() + "/" + name, vtest::RomBuilder(0x400).GameHeader().bytes);
    TForm1& form = Start(Folder() + "/" + name);
    EXPECT_EQ(QDir::currentPath().toStdString(), Folder());
    ASSERT_NE(form.ListBox1->currentItem(), nullptr);
    EXPECT_EQ(TForm1::EntryName(form.ListBox1->currentItem()), name);
    EXPECT_EQ(form.SelectedFile, Folder() + "/" + name);
    EXPECT_TRUE(form.Label3->text().contains("SEGA MEGA DRIVE")) << form.Label3->text().toStdString();
    EXPECT_TRUE(form.FixButton->isEnabled() && form.DelButton->isEnabled());
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_TRUE(errors_.empty());
}

TEST_F(StartWith, AFolderIsListedAndAFileTheFilterHidesTurnsTheFilterOff)
{
    MakeFolder("roms");
    MakeFile("roms/x.bin");
    MakeFile("notes.txt");
    TForm1& form = Start(Folder() + "/roms");
    EXPECT_EQ(QDir::currentPath().toStdString(), Folder() + "/roms");
    EXPECT_EQ(Entries(), (QStringList{"..", "x.bin"}));
    EXPECT_EQ(form.ListBox1->currentRow(), 0);

    Start(Folder() + "/notes.txt");
    EXPECT_FALSE(form_->CheckBox1->isChecked());
    ASSERT_NE(List()->currentItem(), nullptr);
    EXPECT_EQ(List()->currentItem()->text(), "notes.txt");
    EXPECT_EQ(form_->Label3->text(), "Select BIN file.");
    EXPECT_TRUE(form_->DelButton->isEnabled());
    EXPECT_TRUE(errors_.empty());
}

TEST_F(StartWith, AMissingArgumentFallsBackAndShowsTheErrorBox)
{
    TForm1& form = Start(Folder() + "/missing.bin");
    EXPECT_EQ(QDir::currentPath().toStdString(), TForm1::DefaultStartFolder());
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0].text, "File not found.");
    EXPECT_TRUE(form.isVisible());
}

} // namespace
