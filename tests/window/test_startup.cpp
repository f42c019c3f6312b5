// The window as it comes up: folder, listing, controls, colours, fonts,
// geometry, presets and drives.

#include "window_test.h"

#include "controls.h"
#include "look.h"
#include "platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QScreen>
#include <QToolButton>

namespace {

QStringList Entries(const QListWidget* list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    return entries;
}

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
    EXPECT_EQ(Entries(form.ListBox1), (QStringList{"..", "sub", ".e.bin", "a.bin", "b.smd", "D.BIN"}));
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    EXPECT_EQ(form.focusWidget(), form.ListBox1);
    EXPECT_EQ(form.Label4->text().toStdString(), Folder());
    EXPECT_EQ(form.Label3->text(), "Select BIN file.");
    EXPECT_TRUE(form.CheckBox1->isChecked());
    // Entry 0 is "..": nothing to delete.
    EXPECT_FALSE(form.DelButton->isEnabled());
    EXPECT_FALSE(form.FixButton->isEnabled());
    EXPECT_FALSE(form.CheckSumButton->isEnabled());
    for (QToolButton* button : {form.SpeedButton4, form.SpeedButton8, form.SEListButton, form.SpeedButton13})
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    for (QGroupBox* box : {form.AboutBox, form.FixBox, form.SEListBox})
        EXPECT_TRUE(box->isHidden()) << box->objectName().toStdString();
}

TEST_F(StartUp, AtTheRootTheFirstEntryIsAFolderThatDeleteTrusts)
{
    TForm1& form = Open("/");
    ASSERT_GT(form.ListBox1->count(), 0);
    EXPECT_NE(form.ListBox1->item(0)->text(), "..");
    // No file test is made at start-up, and "<-" and "/" keep their state.
    EXPECT_TRUE(form.DelButton->isEnabled());
    EXPECT_TRUE(form.SpeedButton4->isEnabled());
    EXPECT_TRUE(form.SpeedButton8->isEnabled());
    EXPECT_EQ(QString::fromStdString(TForm1::ProgramFolder()), QCoreApplication::applicationDirPath());
}

TEST_F(StartUp, ToolbarButtonsCarryTheirNamesCaptionsAndHints)
{
    TForm1& form = Open();
    const std::vector<std::tuple<QToolButton*, const char*, const char*, const char*>> buttons = {
        {form.SpeedButton4, "SpeedButton4", "<-", "Previous folder"},
        {form.SpeedButton8, "SpeedButton8", "/", "Root folder"},
        {form.FixButton, "FixButton", "FIX", "Change GEMS tables"},
        {form.CheckSumButton, "CheckSumButton", "Checksum", "Fix ROM checksum"},
        {form.DelButton, "DelButton", "Delete", "Delete selected file"},
        {form.SEListButton, "SEListButton", "SE List", "Sound engine list"},
        {form.SpeedButton13, "SpeedButton13", "?", "About program"},
        {form.SpeedButton3, "SpeedButton3", "_", "Minimize window"},
        {form.SpeedButton1, "SpeedButton1", "X", "Terminate program"},
    };
    for (const auto& [button, name, caption, hint] : buttons) {
        EXPECT_EQ(form.findChild<QToolButton*>(name), button) << name;
        EXPECT_EQ(button->text(), caption) << name;
        EXPECT_EQ(button->toolTip(), hint) << name;
        // Captions fit their buttons.
        EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width()) << name;
    }
    EXPECT_EQ(form.Label1->text(), ".::VARNOQUIL::. version 0x20130905");
    EXPECT_EQ(form.CheckBox1->text(), "show only *.bin ");
}

TEST_F(StartUp, TheWindowIsBorderlessTranslucentAndCentred)
{
    TForm1& form = Open();
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_NEAR(form.windowOpacity(), 235 / 255.0, 0.005);
    EXPECT_EQ(form.size(), QSize(570, 326));
    EXPECT_EQ(form.minimumSize(), QSize(550, 300));
    EXPECT_EQ(form.windowTitle(), "Varnoquil");
    EXPECT_FALSE(form.windowIcon().isNull());
    const QPoint centre = QGuiApplication::primaryScreen()->geometry().center();
    EXPECT_LE((form.frameGeometry().center() - centre).manhattanLength(), 2);
}

TEST_F(StartUp, ControlsArePaintedInTheirColours)
{
    MakeFolder("sub");  // an entry that is not selected
    TForm1& form = Open();
    const std::vector<std::tuple<QWidget*, QColor, QColor, QPoint>> painted = {
        {form.Label1, look::kAzure, look::kBlack, {2, 2}},
        {form.Label2, look::kRed, look::kDeepBlue, {90, 2}},
        {form.Label3, look::kAzure, look::kBlack, {100, 100}},
        {form.CheckBox1, look::kBlue, look::kSilver, {125, 8}},
        {form.Label4, look::kGray, look::kBlack, {300, 2}},
        {form.ListBox1, look::kOrange, look::kBlack, {300, 200}},  // folders are orange
        {form.SpeedButton4, look::kLime, look::kBlack, {1, 1}},
        {form.SpeedButton8, look::kAqua, look::kBlack, {1, 1}},
        {form.SEListButton, look::kYellow, look::kBlack, {1, 1}},
        {form.SpeedButton1, look::kMaroon, look::kBlack, {1, 1}},
    };
    for (const auto& [control, text, background, at] : painted) {
        EXPECT_TRUE(Shows(control, text)) << control->objectName().toStdString();
        EXPECT_EQ(PixelOf(control, at), background) << control->objectName().toStdString();
    }
    EXPECT_EQ(PixelOf(form.Panel1, {3, 30}), look::kDeepBlue);
    // Disabled buttons do not show their colour.
    EXPECT_FALSE(Shows(form.FixButton, look::kLime));
    EXPECT_FALSE(Shows(form.CheckSumButton, look::kOrange));
    EXPECT_EQ(form.CheckSumButton->palette().color(QPalette::Active, QPalette::ButtonText), look::kOrange);
    // The drop-down list is drawn by the platform's style in shades of gray.
    EXPECT_EQ(form.DiskBox->palette().color(QPalette::Button), look::kGray);
    EXPECT_EQ(form.DiskBox->palette().color(QPalette::Active, QPalette::Text), look::kBlack);
}

TEST_F(StartUp, TextsUseTheSmallBoldInterfaceFont)
{
    TForm1& form = Open();
    for (QWidget* control : std::initializer_list<QWidget*>{form.Label1, form.Label3, form.CheckBox1, form.Label4,
                                                            form.DiskBox, form.ListBox1, form.CheckSumButton,
                                                            form.AboutBox, form.FixBox, form.In_Edit}) {
        const QFont font = control->font();
        EXPECT_EQ(font.family(), "Small Fonts") << control->objectName().toStdString();
        EXPECT_EQ(font.pixelSize(), 9) << control->objectName().toStdString();
        EXPECT_TRUE(font.bold()) << control->objectName().toStdString();
    }
    EXPECT_EQ(form.SpeedButton4->font().pixelSize(), 16);
    EXPECT_EQ(form.SpeedButton8->font().pixelSize(), 16);
    EXPECT_EQ(form.Label24->font().pixelSize(), 18);
    // The face is drawn by an installed stand-in.
    EXPECT_EQ(QFontInfo(form.Label1->font()).family(), "DejaVu Sans");
    EXPECT_EQ(form.font().family(), "System");
}

TEST_F(StartUp, ControlsStandAtTheirPlaces)
{
    TForm1& form = Open();
    const int f = TForm1::kFrameThickness;
    // The client area inside the sizing frame is 564 x 320.
    EXPECT_EQ(InWindow(form.Label1), QRect(f, f, 564, 20));
    EXPECT_EQ(InWindow(form.Panel3), QRect(f, f + 20, 564, 25));
    EXPECT_EQ(InWindow(form.ListBox1), QRect(f, f + 45, 397, 252));
    EXPECT_EQ(InWindow(form.Panel1), QRect(f + 397, f + 45, 167, 252));
    EXPECT_EQ(InWindow(form.Panel2), QRect(f, f + 297, 564, 23));

    EXPECT_EQ(form.FixButton->geometry(), QRect(58, 2, 55, 22));
    EXPECT_EQ(form.SpeedButton13->geometry(), QRect(564 - 75, 2, 23, 22));
    EXPECT_EQ(form.SpeedButton3->geometry(), QRect(564 - 51, 2, 23, 22));
    EXPECT_EQ(form.SpeedButton1->geometry(), QRect(564 - 25, 2, 23, 22));
    EXPECT_EQ(form.Label2->geometry(), QRect(8, 8, 153, 11));
    EXPECT_EQ(form.Label3->geometry(), QRect(8, 24, 153, 252 - 54));
    EXPECT_EQ(form.CheckBox1->geometry(), QRect(8, 252 - 19, 129, 17));
    EXPECT_EQ(form.Label4->geometry(), QRect(1, 1, 562, 21));
    EXPECT_EQ(form.DiskBox->geometry().topLeft(), QPoint(570 - 156, 2));
    EXPECT_EQ(form.AboutBox->geometry(), QRect(18, 45 + 29, 361, 193));
    EXPECT_EQ(form.FixBox->geometry(), QRect(18, 45 + 45, 361, 161));
    EXPECT_EQ(form.SEListBox->geometry(), QRect(14, 45 + 29, 369, 193));
}

TEST_F(StartUp, GroupBoxCaptionsShowInTheirOwnColours)
{
    TForm1& form = Open();
    for (const auto& [box, colour] : {std::pair{form.AboutBox, look::kRed}, std::pair{form.FixBox, look::kLime},
                                      std::pair{form.SEListBox, look::kYellow}}) {
        auto* overlay = box->findChild<QLabel*>(box->objectName() + "Caption");
        ASSERT_NE(overlay, nullptr);
        EXPECT_EQ(overlay->text(), box->title());
        EXPECT_EQ(overlay->pos(), QPoint(8, 0));
        box->show();
        EXPECT_TRUE(Shows(overlay, colour));
        // Nothing of the box's own maroon caption shows beside the overlay.
        const QImage image = box->grab().toImage();
        for (int x = 0; x < box->width(); ++x)
            for (int y = 0; y < overlay->height(); ++y)
                ASSERT_NE(image.pixelColor(x, y), look::kMaroon) << x << "," << y;
        box->hide();
    }
}

TEST_F(StartUp, TheScaleBoxesHoldTheFirstPresetInTheUsersNotation)
{
    TForm1& form = Open();
    ASSERT_EQ(form.PresetBox->count(), 7);
    EXPECT_EQ(form.PresetBox->currentText(), "Sega Tavrik");
    EXPECT_EQ(form.FMBox->text(), "1.250");
    EXPECT_EQ(form.PSGBox->text(), "1.500");
    EXPECT_TRUE(form.FMBox->isReadOnly());
    EXPECT_FALSE(form.UpDown1->isEnabled());
    EXPECT_EQ(form.UpDown1->position(), 1250);
    EXPECT_EQ(form.UpDown2->position(), 1500);

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TForm1& german = Open();
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(german.FMBox->text(), "1,250");
}

TEST_F(StartUp, TheDriveBoxSelectsTheDriveHoldingTheStartFolder)
{
    TForm1& form = Open();
    const auto drives = varnoquil::platform::listDrives();
    ASSERT_EQ(form.DiskBox->count(), static_cast<int>(drives.size()));
    EXPECT_EQ(form.DiskBox->itemText(0).toStdString(), drives[0].root + " [" + drives[0].text + "]");
    const QString chosen = form.DiskBox->currentText();
    const std::string root = chosen.left(chosen.indexOf(" [")).toStdString();
    EXPECT_TRUE(root == "/" || Folder().rfind(root + "/", 0) == 0) << root;
}

} // namespace
