// SPDX-License-Identifier: MIT
// The boxes over the file list: About and the sound engine list, with the
// buttons they disable and give back, and the standard error box.

#include "window_test.h"

#include "controls.h"
#include "ui/sound_engines.h"

#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolTip>

#include <stdexcept>

class About : public WindowTest {};

// Opening the box takes the list, SE list, FIX and Delete away; closing it
// gives back the list and what the entry selected then allows: gone.bin is
// removed while the box is open.
TEST_F(About, TakesTheListAndTheFileButtonsAndGivesBackWhatTheEntryAllows)
{
    for (const char* name : {"a.bin", "b.smd", "gone.bin"})
        MakeFile(name);
    TForm1& form = Open();
    // Each row: the entry, whether a ROM image is selected, and Delete and FIX after the closing.
    for (const auto& [entry, romSelected, deleteAndFix] :
         {std::tuple{"a.bin", true, "11"}, {"b.smd", false, "10"}, {"..", true, "00"}, {"gone.bin", true, "00"}}) {
        Click(entry);
        form.SelectedFile = romSelected ? Folder() + "/a.bin" : std::string();
        form.CheckSumButton->setEnabled(true);
        QTest::mouseClick(form.SpeedButton13, Qt::LeftButton);
        QTest::mouseClick(form.SpeedButton13, Qt::LeftButton); // opening again changes nothing
        EXPECT_EQ(Commands(), "0000111111 A SpeedButton15") << entry;
        if (entry == std::string("gone.bin"))
            QFile::remove(FilePath(entry));
        QTest::mouseClick(form.AboutBox->SpeedButton15, Qt::LeftButton);
        EXPECT_EQ(Commands(), "11" + std::string(deleteAndFix) + "111111 - ListBox1") << entry;
    }
}

class SEList : public WindowTest {};

// The list holds the program's rows in order. While it is open
// only the file list stays usable; closing it lists the folder again, and
// the next opening keeps the scroll position and the row.
TEST_F(SEList, ShowsTheEngineListReadOnlyInPlaceOfTheCommands)
{
    MakeFile("a.bin");
    TForm1& form = Open();
    QTableWidget* grid = form.SEListBox->ValueListEditor1;
    const auto cell = [&](int row, int column) { return grid->item(row, column)->text().toStdString(); };
    const auto rows = varnoquil::ShippedSoundEngines();
    ASSERT_EQ(grid->rowCount(), int(rows.size()));
    for (int row = 0; row < grid->rowCount(); ++row)
        ASSERT_EQ(cell(row, 0) + "|" + cell(row, 1), rows[std::size_t(row)].game + "|" + rows[std::size_t(row)].engine);

    MakeFile("late.bin"); // appears only once the folder is listed again
    form.ListBox1->setCurrentRow(1);
    form.CheckSumButton->setEnabled(true);
    QTest::mouseClick(form.SEListButton, Qt::LeftButton);
    EXPECT_EQ(Commands(), "0100000011 S ValueListEditor1");
    // The source line ends before "X", and the pointer resting on it shows the whole address.
    EXPECT_LT(form.SEListBox->Label11->geometry().right(), form.SEListBox->SpeedButton10->x());
    QTest::mouseMove(form.SEListBox->Label11);
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), "http://gdri.smspower.org/wiki/index.php/Mega_Drive/Genesis_Sound_Engine_List");
    grid->verticalScrollBar()->setValue(40);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(43, 0)).center());
    EXPECT_EQ(grid->selectionModel()->selectedIndexes().size(), 2); // the whole row
    QTest::mouseClick(form.SEListBox->SpeedButton10, Qt::LeftButton);
    EXPECT_EQ(Commands(), "1100011111 - ListBox1");
    EXPECT_EQ(std::pair(Entries(), form.ListBox1->currentRow()), std::pair(QStringList{"..", "a.bin", "late.bin"}, 0));
    QTest::mouseClick(form.SEListButton, Qt::LeftButton);
    EXPECT_EQ(std::pair(grid->verticalScrollBar()->value(), grid->currentRow()), std::pair(40, 43));
    QTest::keyClick(grid, Qt::Key_F2); // the key that opens an editable cell
    EXPECT_EQ(QApplication::focusWidget(), grid) << "the cells are read-only";
}

class ErrorBox : public WindowTest {};

// The handlers guard themselves (the Fix panel's tests show it); an error
// that slips past them is shown by the application, which goes on. The
// standard box itself: a stop icon, the title and the message, shown until
// OK is pressed. An event whose handler failed counts as handled, as one
// that succeeded does.
TEST_F(ErrorBox, WhatNoHandlerCatchesIsShownWithAFullStopInABoxThatWaitsForOk)
{
    QTimer::singleShot(0, [] { throw std::runtime_error("out of luck"); });
    QTimer::singleShot(0, [] { throw std::bad_alloc(); });
    QTest::qWait(20);
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_EQ(errors_[0].title + ": " + errors_[0].text + " " + errors_[1].text,
              "varnoquil_window_tests: out of luck. Not enough memory.");

    TApplication::ErrorBox = platformErrorBox_;
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->windowTitle() + ": " + box->text() + (box->icon() == QMessageBox::Critical ? " (stop)" : "");
        box->button(QMessageBox::Ok)->click();
    });
    TApplication::ShowError("out of luck");
    EXPECT_EQ(shown.toStdString(), "varnoquil_window_tests: out of luck. (stop)");

    RecordErrors();
    struct Failing : QObject {
        bool event(QEvent*) override { throw std::runtime_error("no luck"); }
    } failing;
    QEvent ping(QEvent::User);
    QLineEdit edit;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_TRUE(QCoreApplication::sendEvent(&failing, &ping) && QCoreApplication::sendEvent(&edit, &key));
    EXPECT_EQ(edit.text().toStdString() + ' ' + std::to_string(errors_.size()), "a 3"); // 2 before, 1 new
}

class Keyboard : public WindowTest {};

// A focused flat button is drawn as the pointer draws it, raised, and an
// unfocused one flat; Return and Enter click it, other keys do not. The keys
// reach every command: the toolbar's by the keys its tooltips name (the look
// test holds every tooltip), each box's controls by Tab (Space or Enter
// clicks a button), and Escape closes the open box and otherwise does nothing.
TEST_F(Keyboard, AFocusedFlatButtonTakesReturnAndKeysReachEveryCommandAndEscapeClosesTheOpenBox)
{
    MakeFile("a.bin", vtest::RomBuilder(0x202).GameHeader().Put(0x200, "\x12\x34").bytes); // checksum wrong
    MakeFile("b.bin");
    TForm1& form = Open();
    FlatToolButton& about = *static_cast<FlatToolButton*>(form.SpeedButton13);
    const QImage flat = about.grab().toImage();
    about.setAttribute(Qt::WA_UnderMouse, true);
    const QImage hovered = about.grab().toImage();
    about.setAttribute(Qt::WA_UnderMouse, false);
    about.setFocus();
    ASSERT_TRUE(about.hasFocus());
    EXPECT_TRUE(flat != hovered && about.grab().toImage() == hovered);

    FlatToolButton alone;
    int clicks = 0;
    QObject::connect(&alone, &QToolButton::clicked, [&] { ++clicks; });
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_A, Qt::Key_Down})
        QTest::keyClick(&alone, key);
    EXPECT_EQ(clicks, 2);
    form.ListBox1->setFocus();

    dialogs::RunFileDialog = [this](QWidget*, const dialogs::FileDialogSetup&) { return FilePath("out.bin"); };
    // The open box, the focused control, Checksum, and how many files the folder holds.
    const auto state = [&] {
        return Shown() + ' ' + Enabled({form.CheckSumButton})
            + std::to_string(QDir(FilePath("")).entryList(QDir::Files).size());
    };
    // clang-format off
    const std::pair<const char*, std::string> steps[] = {
        {"Down", "- ListBox1 12"}, {"Ctrl+K", "- ListBox1 02"}, {"F1", "A SpeedButton15 02"}, {"Esc", "- ListBox1 02"},
        {"Esc", "- ListBox1 02"}, {"Ctrl+L", "S ValueListEditor1 02"}, {"Esc", "- ListBox1 02"},
        {"Down", "- ListBox1 02"}, {"Return", "F ListBox1 02"}, {"Tab", "F In_Edit 02"}, {"Tab", "F SpeedButton5 02"},
        {"Tab", "F Out_Edit 02"}, {"Tab", "F SpeedButton6 02"}, {"Return", "F SpeedButton6 02"},
        {"Tab", "F PresetBox 02"}, {"End", "F PresetBox 02"}, {"Tab", "F FMBox 02"}, {"Up", "F FMBox 02"},
        {"Tab", "F PSGBox 02"}, {"Tab", "F CheckBox2 02"}, {"Tab", "F SpeedButton7 02"}, {"Tab", "F SpeedButton2 02"},
        {"Tab", "F CheckBox1 02"}, {"Tab", "F DiskBox 02"}, {"Ctrl+Enter", "F DiskBox 03"}, {"Esc", "- ListBox1 03"},
        {"F5", "- ListBox1 03"}, {"End", "- ListBox1 03"}, {"Shift+Del", "- ListBox1 02"}};
    // clang-format on
    for (const auto& [keys, want] : steps) {
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(keys));
        static_cast<void>(QTest::qWaitFor([&] { return state() == want && !form.FixBox->Running(); }, 1000));
        EXPECT_EQ(state(), want) << keys;
    }
    EXPECT_EQ(form.FixBox->FMBox->text() + ' ' + Entries().join(','), "0.002 ..,a.bin,b.bin"); // out.bin deleted
    QTest::keySequence(form.ListBox1, QKeySequence("Ctrl+M"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.isMinimized(); }, 1000));
    form.showNormal();
    QTest::keySequence(form.ListBox1, QKeySequence("Ctrl+Q"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 1000));
}
