// The About box: its text and shadow, and the buttons it disables and gives
// back.

#include "window_test.h"

#include "look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

#include <tuple>

namespace {

class About : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        MakeFolder("sub");
        MakeFile("a.bin");
        MakeFile("b.smd");
    }

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

TEST_F(About, ShowsSixCentredLinesOverAGrayShadow)
{
    TForm1& form = Open();
    const QStringList lines = form.Label25->text().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines.mid(0, 4), (QStringList{"VARNOQUIL v.0x20130905", "", "NOT FOR SALE", ""}));
    EXPECT_TRUE(lines[4].startsWith("main code: "));
    EXPECT_TRUE(lines[5].startsWith("gui: "));
    EXPECT_EQ(form.Label24->text(), form.Label25->text());
    EXPECT_EQ(form.Label24->alignment(), Qt::AlignHCenter | Qt::AlignTop);
    for (const QString& line : lines)
        EXPECT_LE(form.Label25->fontMetrics().horizontalAdvance(line), form.Label25->width()) << line.toStdString();

    // The gray shadow shows 2 pixels right of and 1 below the azure text.
    OpenBox();
    const QImage box = form.AboutBox->grab().toImage();
    bool shadowSeen = false;
    for (int y = 33; y < 32 + 145 && !shadowSeen; ++y)
        for (int x = 10; x < 8 + 345 && !shadowSeen; ++x)
            shadowSeen = box.pixelColor(x, y) == look::kGray && box.pixelColor(x - 2, y - 1) == look::kAzure;
    EXPECT_TRUE(shadowSeen);
    EXPECT_FALSE(Shows(form.Label24, look::kAzure));
}

TEST_F(About, OpeningDisablesTheListAndTheButtonsForTheSelectedFile)
{
    TForm1& form = Open();
    SelectEntry("a.bin");
    form.DelButton->setEnabled(true);
    form.FixButton->setEnabled(true);
    form.CheckSumButton->setEnabled(true);
    OpenBox();
    EXPECT_TRUE(form.AboutBox->isVisible());
    EXPECT_FALSE(form.SEListButton->isEnabled());
    EXPECT_FALSE(form.FixButton->isEnabled());
    EXPECT_FALSE(form.DelButton->isEnabled());
    EXPECT_FALSE(form.ListBox1->isEnabled());
    // The rest keeps its state.
    EXPECT_TRUE(form.CheckSumButton->isEnabled());
    EXPECT_TRUE(form.SpeedButton4->isEnabled());
    EXPECT_TRUE(form.SpeedButton8->isEnabled());
    EXPECT_TRUE(form.SpeedButton13->isEnabled());
    EXPECT_TRUE(form.CheckBox1->isEnabled());
    EXPECT_TRUE(form.DiskBox->isEnabled());

    // Opening again changes nothing more.
    OpenBox();
    EXPECT_TRUE(form.AboutBox->isVisible());
    EXPECT_FALSE(form.ListBox1->isEnabled());
}

TEST_F(About, ClosingGivesBackDeleteForAFileAndFixForASelectedRomImage)
{
    TForm1& form = Open();
    const std::vector<std::tuple<QString, bool, bool, bool>> cases = {
        // entry, SelectedFile set, Delete after closing, FIX after closing
        {"a.bin", true, true, true},
        {"b.smd", false, true, false},
        {"..", true, false, false},
        {"sub", true, false, false},
    };
    for (const auto& [entry, romSelected, deleteOn, fixOn] : cases) {
        SelectEntry(entry);
        form.SelectedFile = romSelected ? Folder() + "/a.bin" : std::string();
        OpenBox();
        CloseBox();
        EXPECT_TRUE(form.AboutBox->isHidden());
        EXPECT_TRUE(form.ListBox1->isEnabled());
        EXPECT_TRUE(form.SEListButton->isEnabled());
        EXPECT_EQ(form.focusWidget(), form.ListBox1);
        EXPECT_EQ(form.DelButton->isEnabled(), deleteOn) << entry.toStdString();
        EXPECT_EQ(form.FixButton->isEnabled(), fixOn) << entry.toStdString();
    }
}

TEST_F(About, ClosingAfterTheSelectedFileVanishedLeavesDeleteOff)
{
    TForm1& form = Open();
    SelectEntry("a.bin");
    OpenBox();
    ASSERT_TRUE(QFile::remove(folder_.filePath("a.bin")));
    CloseBox();
    EXPECT_FALSE(form.DelButton->isEnabled());
}

} // namespace
