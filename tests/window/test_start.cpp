// SPDX-License-Identifier: MIT
// The window started with a folder or file: the file selected with its
// header shown, the filter turned off for a file it would hide, and an
// argument that cannot be opened reported once the window is up; and the
// icon the window comes up with.

#include "window_test.h"

#include <QListWidget>

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

TEST_F(StartWith, AFileTheFilterHidesTurnsTheFilterOff)
{
    MakeFile("a.bin");
    MakeFile("notes.txt");
    TForm1& form = Start(Folder() + "/notes.txt");

    EXPECT_FALSE(form.CheckBox1->isChecked());
    ASSERT_NE(form.ListBox1->currentItem(), nullptr);
    EXPECT_EQ(form.ListBox1->currentItem()->text(), "notes.txt");
    EXPECT_EQ(form.Label3->text(), "Select BIN file.");
    EXPECT_TRUE(form.DelButton->isEnabled());
}

TEST_F(StartWith, AFolderIsListed)
{
    MakeFolder("roms");
    MakeFile("roms/x.bin");
    TForm1& form = Start(Folder() + "/roms");

    EXPECT_EQ(QDir::currentPath().toStdString(), Folder() + "/roms");
    ASSERT_EQ(form.ListBox1->count(), 2);
    EXPECT_EQ(form.ListBox1->item(1)->text(), "x.bin");
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
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

TEST_F(StartWith, TheWindowCarriesTheRenderingsOfTheProgramsIcon)
{
    TForm1& form = Start(Folder());
    const QList<QSize> sizes = form.windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(48, 48)) && sizes.contains(QSize(128, 128)));
    // The cartridge's azure outline is there at the small size.
    const QImage small = form.windowIcon().pixmap(48, 48).toImage();
    EXPECT_EQ(small.pixelColor(24, 2).rgb(), QColor(0, 128, 255).rgb());
}

} // namespace
