// The window as it comes up: folder, listing, states, focus, one colour per
// kind of control, and the drive box.

#include "window_test.h"

#include "controls.h"
#include "look.h"
#include "platform.h"


namespace {

class StartUp : public WindowTest {};

TEST_F(StartUp, ListsTheStartFolderWithItsSmdFilesAndSetsTheStartStates)
{
    MakeFolder("sub");
    MakeFolder(".hidden");
    for (const char* name : {"a.bin", "b.smd", "c.txt", "D.BIN", ".e.bin"})
        MakeFile(name);
    QDir::setCurrent(QDir::rootPath());  // started from elsewhere
    TForm1& form = Open();

    EXPECT_EQ(QDir::currentPath().toStdString(), Folder());
    QStringList entries;
    for (int i = 0; i < form.ListBox1->count(); ++i)
        entries << form.ListBox1->item(i)->text();
    EXPECT_EQ(entries, (QStringList{"..", "sub", ".e.bin", "a.bin", "b.smd", "D.BIN"}));
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    EXPECT_EQ(form.focusWidget(), form.ListBox1);
    EXPECT_EQ(form.Label4->text().toStdString(), Folder());
    EXPECT_TRUE(form.CheckBox1->isChecked());
    // Entry 0 is "..": nothing to delete, fix or repair.
    EXPECT_FALSE(form.DelButton->isEnabled() || form.FixButton->isEnabled() || form.CheckSumButton->isEnabled());
    for (QToolButton* button : {form.SpeedButton4, form.SpeedButton8, form.SEListButton, form.SpeedButton13})
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    for (QGroupBox* box : {form.AboutBox, form.FixBox, form.SEListBox})
        EXPECT_TRUE(box->isHidden()) << box->objectName().toStdString();

    // The drive box selects the drive holding the start folder.
    const QString chosen = form.DiskBox->currentText();
    const std::string root = chosen.left(chosen.indexOf(" [")).toStdString();
    EXPECT_TRUE(root == "/" || Folder().rfind(root + "/", 0) == 0) << root;
    EXPECT_EQ(form.DiskBox->count(), int(varnoquil::platform::listDrives().size()));

    // At the root the first entry is a folder that Delete trusts untested.
    TForm1& atRoot = Open("/");
    ASSERT_GT(atRoot.ListBox1->count(), 0);
    EXPECT_NE(atRoot.ListBox1->item(0)->text(), "..");
    EXPECT_TRUE(atRoot.DelButton->isEnabled());
}

TEST_F(StartUp, ControlsArePaintedInTheirColours)
{
    MakeFolder("sub");  // an entry that is not selected
    TForm1& form = Open();
    const std::vector<std::tuple<QWidget*, QColor, QColor, QPoint>> painted = {
        {form.Label2, look::kRed, look::kDeepBlue, {90, 2}},
        {form.CheckBox1, look::kBlue, look::kSilver, {125, 8}},
        {form.ListBox1, look::kOrange, look::kBlack, {300, 200}},  // folders are orange
        {form.SpeedButton4, look::kLime, look::kBlack, {1, 1}}};
    for (const auto& [control, text, background, at] : painted) {
        EXPECT_TRUE(Shows(control, text)) << control->objectName().toStdString();
        EXPECT_EQ(PixelOf(control, at), background) << control->objectName().toStdString();
    }
    // A disabled button does not show its colour.
    EXPECT_FALSE(Shows(form.FixButton, look::kLime));
    // A group box caption shows in the box's own colour, not the default maroon.
    auto* caption = form.FixBox->findChild<QLabel*>("FixBoxCaption");
    ASSERT_NE(caption, nullptr);
    form.FixBox->show();
    EXPECT_TRUE(Shows(caption, look::kLime));
    EXPECT_FALSE(Shows(form.FixBox, look::kMaroon));
}

} // namespace
