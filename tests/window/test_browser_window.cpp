// SPDX-License-Identifier: MIT
// The file browser in a real folder, driven with real keys and mouse presses:
// the states after every step, start-up, folders, Delete, "/", drives and
// Checksum.

#include "file_list.h"
#include "look.h"
#include "window_test.h"

#include "platform/platform.h"

#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QUrl>
#include <QtTest/qtestspontaneevent.h>

#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

using varnoquil::platform::currentDir;

class FileBrowser : public WindowTest {
protected:
    const QStringList kListed = {"..", "empty", "games", "x.bin", ".f.bin", "a.bin", "B.BIN", "c.Bin", "d.bin"};

    void SetUp() override
    {
        WindowTest::SetUp();
        for (const char* name : {"empty", "games/inner", ".hidden", "x.bin"})
            MakeFolder(name);
        MakeFile("e.txt");
        MakeFile("a.bin", Rom(0x1234, 0x0001));
        MakeFile("B.BIN", Rom(0x5678, 0x5678));
        MakeFile(".f.bin", vtest::RomBuilder(512).GameHeader().bytes); // a header alone: checksum 0000
        MakeFile("c.Bin", vtest::a_byte(100)); // shorter than a header
        MakeFile("d.bin", Rom(0x1111, 0x2222));
        ::chmod(PathOf("d.bin").c_str(), 0444);
    }

    // A game header storing one checksum, then one word: the computed checksum.
    static vtest::a_byte Rom(std::uint16_t computed, std::uint16_t stored)
    {
        auto rom = vtest::RomBuilder(0x202).GameHeader().Put(0x120, "\xD1\xCE\xCD\xC8\xCA"); // a cp1251 name
        return rom.BigEndian(0x200, computed, 2).BigEndian(0x18E, stored, 2).bytes;
    }
    vtest::a_byte Read(const std::string& name) const { return vtest::ReadFile(PathOf(name)); }

    // The window in the test's folder, relisted: the relisting's entries, not the start-up listing's.
    void OpenListed() { Open(), form_->CheckBox1Click(); }
    // "folder: entry DFC selected sums": the folder and the selected file
    // below the test's folder ("." for itself); the current entry; Delete,
    // FIX and Checksum; the two checksums Label3 shows ("-" while it asks for
    // a ROM image). Then a Label4 that is not the folder and the errors shown
    // since the last look.
    std::string State()
    {
        const QDir top(QString::fromStdString(Folder()));
        const auto below = [&top](const auto& path) { return top.relativeFilePath(QString::fromStdString(path)); };
        const QString label = form_->Label3->text(), folder = QString::fromStdString(currentDir());
        QString state
            = below(currentDir()) + ": " + (List()->currentItem() ? List()->currentItem()->text() : "(none)") + ' ';
        for (const auto& [button, letter] :
             {std::pair{form_->DelButton, 'D'}, {form_->FixButton, 'F'}, {form_->CheckSumButton, 'C'}})
            state += button->isEnabled() ? letter : '-';
        state += ' ' + (form_->SelectedFile.empty() ? "-" : below(form_->SelectedFile)) + ' ';
        state += label == "Select BIN file." ? "-"
                                             : label.section('\n', 8, 9).remove(QRegularExpression("(hdr|file) CRC="));
        if (form_->Label4->text() != folder)
            state += " !Label4 " + form_->Label4->text();
        for (; seen_ < errors_.size(); ++seen_)
            state += " !" + errors_[seen_].text;
        return state.replace('\n', '/').toStdString();
    }
    // Plays the steps, looking at the state after each. A step: "click",
    // "right" or "double" and an entry press the mouse on it; a button's
    // object name presses it; "call Checksum" calls that command although
    // its button is off; anything else is a key ("Down", "Return").
    void Play(const std::vector<std::pair<QString, std::string>>& steps)
    {
        for (const auto& [step, want] : steps) {
            const QString verb = step.section(' ', 0, 0), name = step.section(' ', 1);
            if (auto* button = form_->findChild<QWidget*>(verb))
                QTest::mouseClick(button, Qt::LeftButton);
            else if (verb == "click" || verb == "right")
                Click(name, verb == "click" ? Qt::LeftButton : Qt::RightButton);
            else if (verb == "double")
                DoubleClick(name);
            else if (verb != "call")
                QTest::keyClick(List(), QKeySequence(verb)[0].key());
            else
                TApplication::Guard([this] { form_->CheckSumButtonClick(); });
            EXPECT_EQ(State(), want) << step.toStdString();
        }
    }

    // The window in gone/deeper with z.bin (beside y.bin) selected, then the
    // folder removed from outside.
    void OpenInFolderRemovedFromOutside()
    {
        MakeFolder("gone/deeper");
        for (const char* name : {"gone/deeper/y.bin", "gone/deeper/z.bin"})
            MakeFile(name, Rom(0x1234, 0x0001));
        Open(PathOf("gone/deeper"));
        Play({{"click z.bin", "gone/deeper: z.bin DFC gone/deeper/z.bin 0001/1234"}});
        ASSERT_TRUE(QDir(FilePath("gone")).removeRecursively());
    }

    std::size_t seen_ = 0;
};

TEST_F(FileBrowser, KeysAndMouseWalkTheStatesEntryByEntry)
{
    OpenListed();
    // clang-format off
    Play({{"Down", ".: empty --- - -"}, {"Down", ".: games --- - -"},
          {"Down", ".: x.bin --- - -"}, // a folder, whatever its name
          {"Down", ".: .f.bin DF- .f.bin 0000/0000"}, {"Down", ".: a.bin DFC a.bin 0001/1234"},
          {"Home", ".: .. --- - -"}, // Checksum goes with the selected file
          {"End", ".: d.bin DFC d.bin 2222/1111"}, // read-only, and read all the same
          {"Up", ".: c.Bin D-- - 2222/1111 !Read beyond end of file."}, // a failed read selects nothing
          {"Up", ".: B.BIN DF- B.BIN 5678/5678"}, {"Down", ".: c.Bin D-- - 5678/5678 !Read beyond end of file."},
          {"Return", ".: c.Bin D-- - 5678/5678"}, {"Up", ".: B.BIN DF- B.BIN 5678/5678"}, {"CheckBox1", ".: .. --- - 5678/5678"}, // the filter off
          {"End", ".: e.txt D-- - -"}, {"E", ".: empty --- - -"}, {"click a.bin", ".: a.bin DFC a.bin 0001/1234"}});
    // clang-format on
    EXPECT_TRUE(form_->Label3->text().contains("D-name: СОНИК THE "));
    // Repaired meanwhile: a right press elsewhere shows the selected file again.
    MakeFile("a.bin", Rom(0x1234, 0x1234));
    Play({{"right B.BIN", ".: a.bin DF- a.bin 1234/1234"}, {"double e.txt", ".: e.txt D-- - -"}});

    // An unselected list starts from its first entry before a key moves it.
    List()->setCurrentRow(-1);
    Play({{"Down", ".: empty --- - -"}, {"click a.bin", ".: a.bin DF- a.bin 1234/1234"}});
    // A held key repeats its press; only the entry it stops at is shown.
    for (const bool last : {false, false, true}) {
        QTest::simulateEvent(List(), true, Qt::Key_Down, {}, {}, true);
        QTest::simulateEvent(List(), false, Qt::Key_Down, {}, {}, !last);
    }
    EXPECT_EQ(State(), ".: d.bin DFC d.bin 2222/1111");
    // The release of an Enter pressed elsewhere (on the error box) opens nothing.
    QTest::keyRelease(List(), Qt::Key_Return);
    EXPECT_FALSE(form_->FixBox->isVisible());
}

TEST_F(FileBrowser, FoldersAreEnteredAndLeftForTheFolderLeftAndRootAndDrivesListARoot)
{
    // Rows "folder|in|out". A folder named like a ROM image is entered, never taken for one.
    for (const QString row : {"games|Return|Backspace", "games|double games|SpeedButton4", "games|Return|double ..",
                              "x.bin|Return|Backspace", "x.bin|double x.bin|SpeedButton4"}) {
        const std::string folder = row.section('|', 0, 0).toStdString();
        OpenListed();
        Play({{"click " + row.section('|', 0, 0), ".: " + folder + " --- - -"},
              {row.section('|', 1, 1), folder + ": .. --- - -"}});
        EXPECT_EQ(Entries().size(), folder == "games" ? 2 : 1) << folder; // "..", "inner"
        Play({{row.section('|', 2), ".: " + folder + " --- - -"}}); // SpeedButton4 is "<-"
    }
    // Leaving a folder the list does not show selects nothing.
    Open(PathOf(".hidden"));
    Play({{"Backspace", ".: (none) --- - -"}});
    // A folder removed from outside is left for the nearest one that exists:
    // "<-" and Backspace, also on a file, leave it so; any other action first
    // lands there, and says why it did nothing else.
    for (const QString way : {"SpeedButton4", "Backspace", "Down", "Home", "End", "Delete", "click y.bin", "CheckBox1",
                              "DelButton", "CheckSumButton", "FixButton"}) {
        ASSERT_NO_FATAL_FAILURE(OpenInFolderRemovedFromOutside());
        const bool leaves = way == "SpeedButton4" || way == "Backspace";
        Play({{way, leaves ? ".: .. --- - -" : ".: .. --- - - !The folder no longer exists."}});
        EXPECT_EQ(Entries(), way == "CheckBox1" ? kListed + QStringList{"e.txt"} : kListed); // the filter off
    }
    // A folder gone since the listing: only the error box.
    ASSERT_TRUE(QDir(QString::fromStdString(Folder())).rmdir("empty"));
    Play({{"double empty", ".: empty --- - - !File not found."}});
    EXPECT_EQ(Entries(), kListed);

    // "/" (SpeedButton8) from a folder removed from outside forgets the selected file.
    ASSERT_NO_FATAL_FAILURE(OpenInFolderRemovedFromOutside());
    QTest::mouseClick(form_->SpeedButton8, Qt::LeftButton);
    EXPECT_EQ(currentDir(), form_->DiskBox->currentData().toString().toStdString()); // the start folder's root
    EXPECT_TRUE(QString::fromStdString(State()).endsWith(" --- - 0001/1234"));

    // A chosen drive's root is listed, with the list to take the keys; one
    // that cannot be entered leaves the folder as it was.
    OpenListed();
    for (const auto& [drive, want] : std::vector<std::pair<QString, std::string>>{
             {FilePath("games"), "games: .. --- - -"}, {"/no/such/mount", "games: .. --- - -"}, {"/", ""}}) {
        form_->DiskBox->addItem(drive + " [Fixed]", drive);
        form_->DiskBox->setCurrentIndex(form_->DiskBox->count() - 2);
        QTest::keyClick(form_->DiskBox, Qt::Key_Down);
        EXPECT_TRUE(form_->focusWidget() == List() && (want.empty() || State() == want)) << State();
    }
    // At the root: neither ".." nor "/", and Backspace stays there.
    EXPECT_FALSE(Entries().contains("..") || form_->SpeedButton8->isEnabled());
    QTest::keyClick(List(), Qt::Key_Backspace);
    EXPECT_EQ(std::pair(currentDir(), List()->currentRow()), std::pair(std::string("/"), 0));
}

TEST_F(FileBrowser, ChecksumAndDeleteActOnTheSelectedFileOnly)
{
    // A link that leads nowhere is a file; a fifo named like an image is refused, not waited on.
    ASSERT_EQ(::symlink("nowhere", PathOf("link.bin").c_str()) + ::mkfifo(PathOf("p.bin").c_str(), 0666), 0);
    OpenListed();
    // Checksum writes the two header bytes only where the sum is known.
    Play({{"click a.bin", ".: a.bin DFC a.bin 0001/1234"}});
    ::chmod(PathOf("a.bin").c_str(), 0444);
    Play({{"CheckSumButton", ".: a.bin DFC a.bin 0001/1234 !File access denied."}});
    EXPECT_EQ(Read("a.bin"), Rom(0x1234, 0x0001));
    ::chmod(PathOf("a.bin").c_str(), 0644);
    // clang-format off
    Play({{"CheckSumButton", ".: a.bin DF- a.bin 1234/1234"}, {"Home", ".: .. --- - -"},
          {"call Checksum", ".: .. --- - - !File not found."},
          {"click c.Bin", ".: c.Bin D-- - - !Read beyond end of file."}, // the sum is unknown
          {"call Checksum", ".: c.Bin D-- - - !File not found."}});
    // clang-format on
    EXPECT_EQ(Read("a.bin"), Rom(0x1234, 0x1234));
    // A disc image: its checksum word is not at 0x18E.
    const vtest::a_byte disc = vtest::RomBuilder(vtest::DiscImage(0x10)).BigEndian(0x18E, 0x1234, 2).bytes;
    MakeFile("a.bin", disc);
    Play({{"click a.bin", ".: a.bin DFC a.bin 1234/0000"},
          {"CheckSumButton", ".: a.bin DFC a.bin 1234/0000 !Not a cartridge ROM image."}});
    EXPECT_EQ(std::pair(Read("a.bin"), Read("c.Bin")), std::pair(disc, vtest::a_byte(100)));

    // clang-format off
    Play({{"DelButton", ".: .. --- - 1234/0000"}, {"click d.bin", ".: d.bin DFC d.bin 2222/1111"},
          {"DelButton", ".: .. --- - 2222/1111"}, // read-only: stays, silently
          {"End", ".: p.bin D-- - 2222/1111 !The input must be a regular file."},
          {"Up", ".: link.bin D-- - 2222/1111 !File not found."}, {"DelButton", ".: .. --- - 2222/1111"}});
    // clang-format on
    // Gone from the folder, since the list is read from it again; the read-only file stays.
    EXPECT_EQ(Entries().join(' '), ".. empty games x.bin .f.bin B.BIN c.Bin d.bin p.bin");
}

// The window starts in the folder or on the file given, and a file or folder
// dropped as a file manager drops them opens the same way: the first local
// one counts, and anything else is not taken.
TEST_F(FileBrowser, StartsInOrOpensADroppedFolderOrFileWhateverBytesItsNameHolds)
{
    const auto drop = [this](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent dropped(QPointF(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (QApplication::sendEvent(form_.get(), &enter); enter.isAccepted())
            QApplication::sendEvent(form_.get(), &dropped);
        return enter.isAccepted();
    };
    const QUrl web("https://example.org/x.bin");
    MakeFile("games/g.bin", Rom(0x1234, 0x0001));
    ASSERT_EQ(::mkfifo(PathOf("p.bin").c_str(), 0666) + ::symlink("loop.bin", PathOf("loop.bin").c_str()), 0);
    // Entries that cannot be read open in their folder, with the list's own
    // words; a file the filter hides turns the filter off.
    // clang-format off
    const std::pair<std::string, std::string> places[] = {
        {"", ".: .. --- - -"}, {"games", "games: .. --- - -"}, {"games/g.bin", "games: g.bin DFC games/g.bin 0001/1234"},
        {"e.txt", ".: e.txt D-- - -"}, {"p.bin", ".: p.bin D-- - - !The input must be a regular file."},
        {"loop.bin", ".: loop.bin D-- - - !The input must be a regular file."}};
    // clang-format on
    for (const auto& [name, want] : places) {
        Open(PathOf(name));
        EXPECT_EQ(State(), want) << name;
        Open(PathOf("games/inner"));
        EXPECT_TRUE(drop({web, QUrl::fromLocalFile(FilePath(QString::fromStdString(name))),
                          QUrl::fromLocalFile(FilePath("a.bin"))}));
        EXPECT_EQ(State(), want) << name << " dropped";
    }
    // A missing file is reported once the window is up: at start, in the
    // default folder; dropped, where the window is.
    Open(PathOf("missing.bin"));
    EXPECT_EQ(currentDir(), TForm1::DefaultStartFolder());
    EXPECT_EQ(QString::fromStdString(State()).section(" !", 1), "File not found.");
    Open(PathOf("games"));
    EXPECT_TRUE(drop({QUrl::fromLocalFile(FilePath("missing.bin"))}));
    EXPECT_EQ(State(), "games: .. --- - - !File not found.");
    EXPECT_FALSE(drop({web}));

    // Latin-1 names: the bytes are not UTF-8 and show as replacement characters.
    const std::string rom = "\xe9t\xe9.bin", folder = "d\xe9j\xe0";
    const std::string romShown = u8"\uFFFDt\uFFFD.bin", folderShown = u8"d\uFFFDj\uFFFD";
    MakeFile(rom, Rom(0x1234, 0x0001));
    ASSERT_EQ(::mkdir(PathOf(folder).c_str(), 0755), 0);
    MakeFile(folder + "/in.bin", Rom(0x1234, 0x1234));
    Open(PathOf(rom));
    EXPECT_EQ(State(), ".: " + romShown + " DFC " + romShown + " 0001/1234");
    Play({{"FixButton", ".: " + romShown + " -F- " + romShown + " 0001/1234"}});
    EXPECT_EQ(std::tuple(form_->SelectedFile, form_->CheckBox1->isChecked(), form_->FixBox->InFile),
              std::tuple(PathOf(rom), true, PathOf(rom)));
    QTest::mouseClick(form_->FixBox->SpeedButton2, Qt::LeftButton);

    Play({{QString::fromStdString("click " + folderShown), ".: " + folderShown + " --- - -"},
          {"Return", folderShown + ": .. --- - -"}});
    EXPECT_EQ(std::pair(currentDir(), Entries()), std::pair(PathOf(folder), QStringList{"..", "in.bin"}));
    Play({{"Backspace", ".: " + folderShown + " --- - -"},
          {QString::fromStdString("click " + romShown), ".: " + romShown + " DFC " + romShown + " 0001/1234"},
          {"DelButton", ".: .. --- - 0001/1234"}});
    EXPECT_FALSE(Entries().contains(QString::fromStdString(romShown)));
}

class InformationPanel : public WindowTest {};

// A header that fits the panel is shown in the panel's place as it always
// was; one taller than the panel (every device, a modem field and a memo)
// starts at its top, also after another one was scrolled, and scrolls with
// the wheel down to its last line.
TEST_F(InformationPanel, ATextTallerThanThePanelScrollsWithTheWheel)
{
    auto rom = vtest::RomBuilder(0x200).GameHeader();
    MakeFile("b.bin", rom.bytes);
    MakeFile("a.bin", rom.Put(0x190, "J6KPBFL40RTVCM").Put(0x1BC, "MOSEGA05.1").Put(0x1C8, "M").bytes);
    QLabel* label = Open().Label3;
    const int room = form_->Panel1->height() - 54; // the height the panel gives the text
    Click("b.bin");
    EXPECT_EQ(QRect(label->mapTo(form_->Panel1, QPoint()), label->size()), QRect(8, 24, 153, room));
    for (const int turns : {20, 0}) {
        Click("a.bin");
        QTest::qWait(20); // the panel takes the new text's size
        for (int turn = 0; turn < turns; ++turn) { // as from the display, so that the label's parents take it
            QWheelEvent wheel({20, 20}, label->mapToGlobal(QPointF(20, 20)), {}, {0, -120}, {}, {}, Qt::NoScrollPhase,
                              false);
            QSpontaneKeyEvent::setSpontaneous(&wheel);
            QApplication::instance()->notify(label, &wheel);
        }
        // The rows of the text that the panel shows: the last ones after the
        // wheel, else the first; the thin bar takes 4 pixels of its width.
        const int top = turns ? label->heightForWidth(label->width()) - room : 0;
        EXPECT_EQ(label->visibleRegion().boundingRect(), QRect(0, top, 153 - 4, room)) << turns;
        Click("b.bin");
    }
}

class FileListDrawing : public WindowTest {};

// The focus mark leaves nothing behind: a row the focus passed through looks
// as it did before, and the mark lies whole in its own row, at every scale
// (CTest runs this at QT_SCALE_FACTOR=2 too).
TEST_F(FileListDrawing, TheFocusMarkLeavesNothingBehindInTheRowsItLeft)
{
    for (const char* name : {"a.bin", "b.bin", "c.bin", "d.bin", "notes.smd"})
        MakeFile(name);
    TForm1& form = Open();
    // A row's pixels as they were last put on the screen.
    const auto row = [&form, this](const QString& entry) {
        const QImage window = form.screen()->grabWindow(form.winId()).toImage();
        const QTransform scale = QTransform::fromScale(window.devicePixelRatio(), window.devicePixelRatio());
        return window.copy(scale.mapRect(RowOf(entry).translated(List()->viewport()->mapTo(&form, QPoint()))));
    };
    const auto rows = [&row] {
        QTest::qWait(50);
        return std::vector<QImage>{row("a.bin"), row("b.bin"), row("c.bin"), row("d.bin")};
    };
    const std::vector<QImage> before = rows();
    QImage background = before.front();
    background.fill(before.front().pixelColor(0, 0));
    EXPECT_NE(before.front(), background);
    // A row shows its entry's name in its kind's colour: azure for a ROM
    // image, orange for a folder, light grey for any other file (here an
    // image the start-up listing admits).
    const auto colours = [&row](const QString& entry) {
        const QImage shown = row(entry);
        QSet<QRgb> drawn;
        for (int at = 0; at < shown.width() * shown.height(); ++at)
            drawn << shown.pixelColor(at % shown.width(), at / shown.width()).rgba();
        std::string found;
        for (const QColor& colour : {look::kAzure, look::kOrange, look::kLightGrey})
            found += drawn.contains(colour.rgba()) ? colour.name().toStdString() : "";
        return found;
    };
    for (const auto& [entry, colour] :
         {std::pair{"a.bin", look::kAzure}, std::pair{"..", look::kOrange}, std::pair{"notes.smd", look::kLightGrey}})
        EXPECT_EQ(colours(entry), colour.name().toStdString()) << entry;
    for (int down = 0; down < 4; ++down)
        QTest::keyClick(List(), Qt::Key_Down);
    const std::vector<QImage> after = rows();
    EXPECT_TRUE(std::equal(before.begin(), before.end() - 1, after.begin()));
    // The mark around the row it stopped at is whole: its top line shows.
    EXPECT_NE(after.back().copy(0, 0, after.back().width(), 1), before.back().copy(0, 0, before.back().width(), 1));
}

// The mark is every other pixel of the row's edge, walked once clockwise
// from the top left corner, each inverting the one pixel below it.
TEST(FocusMark, DotsEveryOtherPixelOfTheEdgeOnce)
{
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    DrawFocusRect(painter, image.rect());
    painter.end();
    QString dots;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x <= image.width(); ++x)
            dots += x == image.width() ? '|' : image.pixelColor(x, y) == Qt::white ? 'X' : '.';
    EXPECT_EQ(dots.toStdString(), "X.X.X.|.....X|X.....|.X.X.X|");
}
