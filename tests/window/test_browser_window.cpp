// SPDX-License-Identifier: MIT
// The file browser in a real folder, driven with real keys and mouse presses:
// the states after every step, folders, Delete, "/", drives and Checksum.

#include "window_test.h"

#include "errors.h"
#include "platform.h"

#include <QKeyEvent>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

using varnoquil::platform::currentDir;

namespace {

class FileBrowser : public WindowTest {
protected:
    const QStringList kListed = {"..", "empty", "games", "x.bin", ".f.bin", "a.bin", "B.BIN", "c.Bin", "d.bin"};

    void SetUp() override
    {
        WindowTest::SetUp();
        for (const char* name : {"empty", "games/inner", ".hidden", "x.bin"})
            MakeFolder(name);
        MakeFile("e.txt");
        MakeFile("g.smd");
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
        return vtest::RomBuilder(0x202)
            .GameHeader()
            .Put(0x120, "\xD1\xCE\xCD\xC8\xCA")
            .BigEndian(0x200, computed, 2)
            .BigEndian(0x18E, stored, 2)
            .bytes;
    }
    QByteArray Content(const char* name) const
    {
        QFile file(QString::fromStdString(PathOf(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : "gone";
    }

    TForm1& OpenListed()
    {
        Open().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        form_->CheckBox1Click(); // the relisting's entries, not the start-up listing's
        return *form_;
    }
    void Key(Qt::Key key) const { QTest::keyClick(List(), key); }
    // Moves there with arrow keys; what the entries on the way report is not looked at.
    void KeyTo(const QString& entry)
    {
        if (!Entries().contains(entry)) {
            ADD_FAILURE() << "not listed: " << entry.toStdString();
            return;
        }
        while (List()->currentRow() != Entries().indexOf(entry))
            Key(List()->currentRow() < Entries().indexOf(entry) ? Qt::Key_Down : Qt::Key_Up);
        seen_ = errors_.size();
    }
    // The current entry; Delete, FIX and Checksum; the selected file's name;
    // the two checksums Label3 shows ("-" while it asks for a ROM image); and
    // the errors shown since the last look.
    std::string State()
    {
        const auto on = [](QToolButton* button, const char* letter) { return button->isEnabled() ? letter : "-"; };
        const QString label = form_->Label3->text(), selected = QString::fromStdString(form_->SelectedFile);
        QString state
            = QStringLiteral("%1 %2%3%4 %5 %6")
                  .arg(
                      List()->currentItem() ? List()->currentItem()->text() : "(none)", on(form_->DelButton, "D"),
                      on(form_->FixButton, "F"), on(form_->CheckSumButton, "C"),
                      selected.isEmpty() ? "-" : selected.section('/', -1),
                      label == "Select BIN file."
                          ? "-"
                          : label.section('\n', 8, 9).remove(QRegularExpression("(hdr|file) CRC=")).replace('\n', '/'));
        for (; seen_ < errors_.size(); ++seen_)
            state += " !" + errors_[seen_].text;
        return state.toStdString();
    }
    // The root of the mounted file system that holds the start folder, as
    // the drive box chose it at start-up.
    std::string StartRoot() const
    {
        const QComboBox* drives = form_->DiskBox;
        return drives->currentIndex() < 0 ? "/" : drives->currentData().toString().toStdString();
    }
    void Walk(const std::vector<std::pair<Qt::Key, std::string>>& steps)
    {
        for (const auto& [key, state] : steps) {
            Key(key);
            EXPECT_EQ(State(), state) << QKeySequence(key).toString().toStdString();
        }
    }

    std::size_t seen_ = 0;
};

TEST_F(FileBrowser, KeysWalkTheStatesEntryByEntry)
{
    TForm1& form = OpenListed();
    EXPECT_EQ(Entries(), kListed);
    EXPECT_EQ(State(), ".. --- - -");
    Walk({{Qt::Key_Down, "empty --- - -"},
          {Qt::Key_Down, "games --- - -"},
          {Qt::Key_Down, "x.bin --- - -"}, // a folder, whatever its name
          {Qt::Key_Down, ".f.bin DF- .f.bin 0000/0000"},
          {Qt::Key_Down, "a.bin DFC a.bin 0001/1234"},
          {Qt::Key_Home, ".. --- - -"}, // Checksum goes with the selected file
          {Qt::Key_End, "d.bin DFC d.bin 2222/1111"}, // read-only, and read all the same
          {Qt::Key_Up, "c.Bin DF- c.Bin 2222/1111 !Read beyond end of file."}, // a failed read turns Checksum off
          {Qt::Key_Up, "B.BIN DF- B.BIN 5678/5678"}});
    EXPECT_EQ(form.SelectedFile, PathOf("B.BIN"));
    EXPECT_TRUE(form.Label3->text().contains("D-name: СОНИК THE "));

    QTest::mouseClick(form.CheckBox1, Qt::LeftButton); // the filter off
    EXPECT_EQ(State(), ".. --- - 5678/5678");
    Walk({{Qt::Key_End, "g.smd D-- - -"}, {Qt::Key_E, "empty --- - -"}});

    // An unselected list starts from its first entry before a key moves it.
    List()->setCurrentRow(-1);
    Walk({{Qt::Key_Down, "empty --- - -"}});
    // A held key repeats its press; only the entry it stops at is shown.
    KeyTo("a.bin");
    for (const bool last : {false, false, true}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, {}, {}, true);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, {}, {}, !last);
        QApplication::sendEvent(List(), &press);
        QApplication::sendEvent(List(), &release);
    }
    EXPECT_EQ(State(), "d.bin DFC d.bin 2222/1111");
    // The release of an Enter pressed elsewhere (on the error box) opens nothing.
    QTest::keyRelease(List(), Qt::Key_Return);
    EXPECT_FALSE(form.FixBox->isVisible());
}

TEST_F(FileBrowser, FoldersAreEnteredAndLeftForTheFolderLeft)
{
    enum { EnterKey, DoubleClicks, Backspace, BackButton };
    for (const auto& [in, out] : std::vector<std::pair<int, int>>{
             {EnterKey, Backspace}, {DoubleClicks, BackButton}, {EnterKey, DoubleClicks}}) {
        TForm1& form = OpenListed();
        KeyTo("games");
        in == EnterKey ? Key(Qt::Key_Return) : DoubleClick("games");
        EXPECT_EQ(Entries(), (QStringList{"..", "inner"}));
        EXPECT_EQ(State(), ".. --- - -");
        EXPECT_EQ(form.Label4->text().toStdString(), PathOf("games"));
        out == Backspace        ? Key(Qt::Key_Backspace)
            : out == BackButton ? QTest::mouseClick(form.SpeedButton4, Qt::LeftButton)
                                : DoubleClick("..");
        EXPECT_EQ(State(), "games --- - -");
        EXPECT_EQ(form.Label4->text().toStdString(), Folder());
    }
    // A folder gone since the listing: only the error box.
    ASSERT_TRUE(QDir(QString::fromStdString(Folder())).rmdir("empty"));
    DoubleClick("empty");
    EXPECT_EQ(State(), "empty --- - - !File not found.");
    EXPECT_EQ(currentDir(), Folder());
    EXPECT_EQ(Entries(), kListed);
    // Leaving a folder the list does not show selects nothing.
    Open(PathOf(".hidden"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(State(), "(none) --- - -");
}

TEST_F(FileBrowser, MousePressesRefreshTheSelectedEntry)
{
    TForm1& form = OpenListed();
    Click("a.bin");
    EXPECT_EQ(State(), "a.bin DFC a.bin 0001/1234");
    // Repaired meanwhile: a right press elsewhere shows the selected file again.
    MakeFile("a.bin", Rom(0x1234, 0x1234));
    Click("B.BIN", Qt::RightButton);
    EXPECT_EQ(State(), "a.bin DF- a.bin 1234/1234");
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    DoubleClick("e.txt"); // does nothing
    EXPECT_EQ(State(), "e.txt D-- - -");
    EXPECT_EQ(currentDir(), Folder());
    // How Enter and a double click on a ROM image open the Fix panel is the Fix panel tests' part.
}

TEST_F(FileBrowser, AFifoNamedLikeAnImageIsRefusedNotWaitedOn)
{
    ASSERT_EQ(::mkfifo(PathOf("p.bin").c_str(), 0666), 0);
    OpenListed();
    KeyTo("d.bin");
    Key(Qt::Key_Down);
    EXPECT_EQ(State(), "p.bin DF- p.bin 2222/1111 !The input must be a regular file.");
}

TEST_F(FileBrowser, DeleteRootAndDrivesRelist)
{
    ASSERT_EQ(::symlink("nowhere", PathOf("link.bin").c_str()), 0); // a link that leads nowhere is a file
    TForm1& form = OpenListed();
    for (const char* name : {"a.bin", "d.bin", "link.bin"}) { // a read-only file stays, silently
        KeyTo(name);
        QTest::mouseClick(form.DelButton, Qt::LeftButton);
        EXPECT_EQ(Entries().contains(name), name[0] == 'd');
        EXPECT_EQ(Content(name) == "gone", name[0] != 'd');
    }
    EXPECT_EQ(State(), ".. --- - 2222/1111");

    QTest::mouseClick(form.SpeedButton8, Qt::LeftButton);
    EXPECT_EQ(currentDir(), StartRoot());
    EXPECT_EQ(form.Label4->text().toStdString(), currentDir());
    EXPECT_EQ(form.SpeedButton4->isEnabled(), currentDir() != "/");

    // A chosen drive's root is listed; one that cannot be entered leaves the folder.
    const QString here = QString::fromStdString(Folder());
    for (const auto& [text, root, folder] : std::vector<std::tuple<QString, QString, std::string>>{
             {here + "/games [Backup [1]]", here + "/games", PathOf("games")},
             {"/no/such/mount [Removable]", "/no/such/mount", Folder()},
             {"/ [Fixed]", "/", "/"}}) {
        TForm1& chosen = OpenListed();
        chosen.DiskBox->addItem(text, root);
        chosen.DiskBox->setCurrentIndex(chosen.DiskBox->count() - 2);
        QTest::keyClick(chosen.DiskBox, Qt::Key_Down);
        EXPECT_EQ(currentDir(), folder);
        EXPECT_EQ(chosen.Label4->text().toStdString(), folder);
        EXPECT_EQ(chosen.focusWidget(), List());
        EXPECT_EQ(Entries().first() == "..", folder != "/");
        EXPECT_EQ(chosen.SpeedButton8->isEnabled(), folder != "/");
        EXPECT_EQ(QString::fromStdString(State()).section(' ', 2).toStdString(), "- -");
    }
    Key(Qt::Key_Backspace); // at the root: stays, shows the entry
    EXPECT_EQ(currentDir(), "/");
    EXPECT_EQ(List()->currentRow(), 0);
}

TEST_F(FileBrowser, ChecksumWritesTheTwoHeaderBytesOnlyWhereTheSumIsKnown)
{
    MakeFile("r.bin", Rom(0x00FF, 0xFF00));
    TForm1& form = OpenListed();
    for (const auto& [name, state] :
         {std::pair{"a.bin", "a.bin DF- a.bin 1234/1234"}, {"r.bin", "r.bin DF- r.bin 00FF/00FF"}}) {
        KeyTo(name);
        QByteArray expected = Content(name);
        expected.replace(0x18E, 2, expected.mid(0x200, 2)); // the word after the header is the sum
        QTest::mouseClick(form.CheckSumButton, Qt::LeftButton);
        EXPECT_EQ(Content(name), expected);
        EXPECT_EQ(State(), state);
    }

    const std::vector<std::pair<std::function<void()>, QString>> failures = {
        {[this] { Key(Qt::Key_Home); }, "File not found."}, // nothing selected
        {[this] { ::chmod(PathOf("a.bin").c_str(), 0444); }, "File access denied."},
        {[this] { KeyTo("c.Bin"); }, // the read fails: the sum is unknown
         QString::fromStdString("The header of " + PathOf("c.Bin") + " could not be read.")},
        {[this] { // a disc image: its checksum word is not at 0x18E
             MakeFile("a.bin", vtest::RomBuilder(vtest::DiscImage(0x10)).BigEndian(0x18E, 0x1234, 2).bytes);
             Key(Qt::Key_Up);
             KeyTo("a.bin");
         },
         "Not a cartridge ROM image."},
    };
    for (const auto& [change, error] : failures) {
        ::chmod(PathOf("a.bin").c_str(), 0644);
        MakeFile("a.bin", Rom(0x1234, 0x0001));
        TForm1& failing = OpenListed();
        KeyTo("a.bin");
        change();
        const QByteArray a = Content("a.bin"), c = Content("c.Bin"), label = failing.Label3->text().toUtf8();
        if (failing.CheckSumButton->isEnabled()) {
            QTest::mouseClick(failing.CheckSumButton, Qt::LeftButton);
        } else {
            try { // Checksum is off after the failed read; a call all the same writes nothing
                failing.CheckSumButtonClick();
            } catch (const varnoquil::Error& e) {
                TApplication::ShowError(e.what());
            }
        }
        EXPECT_EQ(QString::fromStdString(State()).section(" !", 1), error);
        EXPECT_EQ(Content("a.bin"), a);
        EXPECT_EQ(Content("c.Bin"), c);
        EXPECT_EQ(failing.Label3->text().toUtf8(), label);
    }
}

TEST_F(FileBrowser, NamesThatAreNotUtf8WorkLikeAnyOther)
{
    // Latin-1 names: the bytes are not UTF-8 and show as replacement characters.
    const std::string rom = "\xe9t\xe9.bin", folder = "d\xe9j\xe0";
    const QString romShown = QString::fromUtf8(u8"\uFFFDt\uFFFD.bin"),
                  folderShown = QString::fromUtf8(u8"d\uFFFDj\uFFFD");
    MakeFile(rom.c_str(), Rom(0x1234, 0x0001));
    ASSERT_EQ(::mkdir(PathOf(folder.c_str()).c_str(), 0755), 0);
    MakeFile((folder + "/in.bin").c_str(), Rom(0x1234, 0x1234));
    TForm1& form = OpenListed();
    ASSERT_TRUE(Entries().contains(romShown) && Entries().contains(folderShown));

    KeyTo(romShown);
    EXPECT_EQ(State(), romShown.toStdString() + " DFC " + romShown.toStdString() + " 0001/1234");
    EXPECT_EQ(form.SelectedFile, PathOf(rom.c_str()));
    QTest::mouseClick(form.FixButton, Qt::LeftButton);
    EXPECT_EQ(form.InFile, PathOf(rom.c_str()));
    QTest::mouseClick(form.FixBox->SpeedButton2, Qt::LeftButton);

    KeyTo(folderShown);
    Key(Qt::Key_Return);
    EXPECT_EQ(currentDir(), PathOf(folder.c_str()));
    EXPECT_EQ(Entries(), (QStringList{"..", "in.bin"}));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(State(), folderShown.toStdString() + " --- - -");

    KeyTo(romShown);
    QTest::mouseClick(form.DelButton, Qt::LeftButton);
    EXPECT_NE(::access(PathOf(rom.c_str()).c_str(), F_OK), 0);
    EXPECT_FALSE(Entries().contains(romShown));
    EXPECT_EQ(State(), ".. --- - 0001/1234");
}

TEST_F(FileBrowser, AFolderRemovedFromOutsideIsLeftForTheNearestOneThatExists)
{
    enum Way { BackButton, Backspace, RootButton };
    for (const Way way : {BackButton, Backspace, RootButton}) {
        MakeFolder("gone/deeper");
        TForm1& form = Open(PathOf("gone/deeper"));
        ASSERT_TRUE(QDir(FilePath("gone")).removeRecursively());
        if (way == Backspace)
            Key(Qt::Key_Backspace);
        else
            QTest::mouseClick(way == BackButton ? form.SpeedButton4 : form.SpeedButton8, Qt::LeftButton);
        const std::string expected = way == RootButton ? StartRoot() : Folder();
        EXPECT_EQ(currentDir(), expected) << way;
        EXPECT_EQ(form.Label4->text().toStdString(), expected) << way;
        if (way != RootButton) {
            EXPECT_EQ(Entries(), kListed) << way;
        }
        EXPECT_EQ(State().substr(State().find(' ')), " --- - -") << way;
    }
}

TEST_F(FileBrowser, CommandsGoOffWithTheFileTheyWouldActOn)
{
    TForm1& form = OpenListed();
    // A folder named like a ROM image is entered, never taken for one.
    for (const bool byKey : {true, false}) {
        KeyTo("x.bin");
        byKey ? Key(Qt::Key_Return) : DoubleClick("x.bin");
        EXPECT_EQ(currentDir(), PathOf("x.bin"));
        EXPECT_FALSE(form.FixBox->isVisible());
        Key(Qt::Key_Backspace);
    }

    // "/" forgets the selected file: Enter on a folder there enters it.
    KeyTo("a.bin");
    QTest::mouseClick(form.SpeedButton8, Qt::LeftButton);
    EXPECT_EQ(form.SelectedFile, "");
    EXPECT_FALSE(form.FixButton->isEnabled() || form.CheckSumButton->isEnabled());
    const std::string root = StartRoot();
    const std::string below = Folder().substr(root.size() + (root == "/" ? 0 : 1));
    const QString next = QString::fromStdString(below.substr(0, below.find('/')));
    ASSERT_TRUE(Entries().contains(next));
    KeyTo(next);
    Key(Qt::Key_Return);
    EXPECT_EQ(currentDir(), (root == "/" ? "" : root) + "/" + next.toStdString());
    EXPECT_FALSE(form.FixBox->isVisible());
}

} // namespace
