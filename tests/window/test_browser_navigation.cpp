// Walking through folders with real keys and mouse presses: what is listed
// and selected, the buttons after every step, going in and out of folders,
// deleting, "/" and the drive box.

#include "browser_fixture.h"

#include "platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>

#include <functional>

using varnoquil::platform::currentDir;

namespace {

class FileBrowser : public BrowserTest {
protected:
    struct Step {
        const char* action;
        std::function<void()> act;
        QString current;
        QString buttons;         // Delete, FIX, Checksum
        const char* selected;    // SelectedFile's name, "" for none
        const char* label;       // what Label3 contains
        QStringList newErrors;
    };

    void Walk(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            const auto before = errors_.size();
            step.act();
            SCOPED_TRACE(step.action);
            EXPECT_EQ(Current(), step.current);
            EXPECT_EQ(Buttons(), step.buttons);
            EXPECT_EQ(form_->SelectedFile, *step.selected ? PathOf(step.selected) : "");
            EXPECT_TRUE(form_->Label3->text().contains(step.label)) << form_->Label3->text().toStdString();
            EXPECT_EQ(ErrorTexts().mid(static_cast<int>(before)), step.newErrors);
        }
    }
    std::function<void()> Keys(Qt::Key key) const { return [this, key] { Key(key); }; }
};

TEST_F(FileBrowser, KeysWalkTheStateTableEntryByEntry)
{
    TForm1& form = OpenListed();
    EXPECT_EQ(Entries(), kListed);
    const char* bin = "Select BIN file.";
    const QString denied = "File access denied.";
    Walk({
        {"start", [] {}, "..", "---", "", bin, {}},
        {"to a folder", Keys(Qt::Key_Down), "empty", "---", "", bin, {}},
        {"to the next folder", Keys(Qt::Key_Down), "games", "---", "", bin, {}},
        // A folder named like a ROM image is read as one, and cannot be.
        {"to x.bin", Keys(Qt::Key_Down), "x.bin", "---", "x.bin", bin, {denied}},
        {"to a header-only image", Keys(Qt::Key_Down), ".f.bin", "DF-", ".f.bin", "file CRC=0000", {}},
        {"to a wrong checksum", Keys(Qt::Key_Down), "a.bin", "DFC", "a.bin", "hdr CRC=0001\nfile CRC=1234", {}},
        // Checksum keeps its state for entries that are not ROM images.
        {"home", Keys(Qt::Key_Home), "..", "--C", "", bin, {}},
        // A failed read keeps the panel but never leaves Checksum on.
        {"to the read-only image", Keys(Qt::Key_End), "d.bin", "D--", "d.bin", bin, {denied}},
        {"to the short file", Keys(Qt::Key_Up), "c.Bin", "D--", "c.Bin", bin, {"Read beyond end of file."}},
        {"to a right checksum", Keys(Qt::Key_Up), "B.BIN", "DF-", "B.BIN", "hdr CRC=5678\nfile CRC=5678", {}},
        {"the filter off", [&] { QTest::mouseClick(form.CheckBox1, Qt::LeftButton); }, "..", "---", "",
         "file CRC=5678", {}},
        {"to another file", Keys(Qt::Key_End), "g.smd", "D--", "", bin, {}},
        {"a letter: the next entry that begins with it", Keys(Qt::Key_E), "empty", "---", "", bin, {}},
    });
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_TRUE(form.SpeedButton4->isEnabled());
    EXPECT_TRUE(form.SpeedButton8->isEnabled());
}

TEST_F(FileBrowser, KeysActOnPressAndReleaseAtTheRightMoments)
{
    TForm1& form = OpenListed();
    // An unselected list starts from its first entry before the key moves it.
    List()->setCurrentRow(-1);
    Key(Qt::Key_Down);
    EXPECT_EQ(Current(), "empty");

    // A held key shows only the entry it stops at, when it is let go.
    KeyTo("a.bin");
    errors_.clear();
    const auto key = [this](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, Qt::Key_Down, Qt::NoModifier, QString(), repeat);
        QApplication::sendEvent(List(), &event);
    };
    key(QEvent::KeyPress, false);  // to B.BIN
    key(QEvent::KeyRelease, true);
    key(QEvent::KeyPress, true);   // past the unreadable c.Bin
    key(QEvent::KeyRelease, true);
    key(QEvent::KeyPress, true);   // to d.bin
    EXPECT_EQ(form.SelectedFile, PathOf("a.bin"));
    key(QEvent::KeyRelease, false);
    EXPECT_EQ(Current(), "d.bin");
    EXPECT_EQ(ErrorTexts(), QStringList{"File access denied."});
}

TEST_F(FileBrowser, GoesIntoFoldersAndBackOutToTheFolderLeft)
{
    struct Way {
        const char* in;
        const char* out;
    };
    for (const Way way : {Way{"Enter", "Backspace"}, Way{"double click", "<-"}, Way{"Enter", "double click"}}) {
        SCOPED_TRACE(std::string(way.in) + " then " + way.out);
        TForm1& form = OpenListed();
        KeyTo("games");
        way.in == std::string("Enter") ? Key(Qt::Key_Return) : DoubleClick("games");
        EXPECT_EQ(currentDir(), PathOf("games"));
        EXPECT_EQ(Entries(), (QStringList{"..", "inner"}));
        EXPECT_EQ(Current(), "..");
        EXPECT_TRUE(form.Label4->text().endsWith("/games"));
        EXPECT_EQ(form.Label3->text(), "Select BIN file.");
        EXPECT_EQ(Buttons(), "---");

        const std::string out = way.out;
        out == "Backspace" ? Key(Qt::Key_Backspace) : out == "<-" ? Press(form.SpeedButton4) : DoubleClick("..");
        EXPECT_EQ(currentDir(), Folder());
        EXPECT_EQ(Entries(), kListed);
        EXPECT_EQ(Current(), "games");
        EXPECT_EQ(form.Label4->text().toStdString(), Folder());
        EXPECT_EQ(Buttons(), "---");
        EXPECT_TRUE(errors_.empty());
    }
}

TEST_F(FileBrowser, GoingUpPrefersTheFolderOfTheSameCase)
{
    MakeFolder("ROMS");
    MakeFolder("roms");
    OpenListed();
    KeyTo("roms");
    Key(Qt::Key_Return);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(List()->currentRow(), Entries().indexOf("roms"));
}

TEST_F(FileBrowser, GoingUpOutOfAFolderTheListDoesNotShowSelectsNothing)
{
    TForm1& form = Open(PathOf(".hidden"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(currentDir(), Folder());
    EXPECT_EQ(List()->currentRow(), -1);
    EXPECT_FALSE(form.DelButton->isEnabled());
    EXPECT_EQ(form.Label3->text(), "Select BIN file.");
    // The next key starts from the first entry.
    Key(Qt::Key_Down);
    EXPECT_EQ(Current(), "empty");
}

TEST_F(FileBrowser, OpeningARomImageOpensTheFixPanel)
{
    // Enter opens it and stops; the panel's opening switches Delete off.
    TForm1& form = OpenListed();
    KeyTo("a.bin");
    Key(Qt::Key_Return);
    EXPECT_TRUE(form.FixBox->isVisible());
    EXPECT_EQ(Buttons(), "-F-");

    // A double click's second press refreshes the entry once more.
    TForm1& again = OpenListed();
    DoubleClick("a.bin");
    EXPECT_TRUE(again.FixBox->isVisible());
    EXPECT_EQ(again.SelectedFile, PathOf("a.bin"));
    EXPECT_EQ(Buttons(), "DFC");
    EXPECT_EQ(currentDir(), Folder());
}

TEST_F(FileBrowser, MousePressesRefreshTheSelectedEntry)
{
    TForm1& form = OpenListed();
    Click("a.bin");
    EXPECT_EQ(Current(), "a.bin");
    EXPECT_EQ(Buttons(), "DFC");
    // Another program repairs the file; a right press elsewhere does not move
    // the selection but shows the file again.
    auto bytes = Bytes("a.bin");
    bytes[0x18E] = 0x12, bytes[0x18F] = 0x34;
    WriteRom("a.bin", bytes);
    Click("B.BIN", Qt::RightButton);
    EXPECT_EQ(Current(), "a.bin");
    EXPECT_TRUE(form.Label3->text().contains("hdr CRC=1234"));
    EXPECT_EQ(Buttons(), "DF-");

    // Double-clicking a file that is not a ROM image does nothing at all.
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    DoubleClick("e.txt");
    EXPECT_EQ(currentDir(), Folder());
    EXPECT_EQ(Current(), "e.txt");
    EXPECT_FALSE(form.FixBox->isVisible());
    EXPECT_TRUE(errors_.empty());
}

TEST_F(FileBrowser, AFolderThatCannotBeEnteredChangesNothing)
{
    TForm1& form = OpenListed();
    const QString label = form.Label4->text();
    ASSERT_TRUE(QDir(folder_.path()).rmdir("empty"));
    DoubleClick("empty");
    EXPECT_EQ(ErrorTexts(), QStringList{"File not found."});
    EXPECT_EQ(currentDir(), Folder());
    EXPECT_EQ(Entries(), kListed);
    EXPECT_EQ(Current(), "empty");
    EXPECT_EQ(form.Label4->text(), label);
}

TEST_F(FileBrowser, DeleteRemovesTheFileAndRelists)
{
    TForm1& form = OpenListed();
    KeyTo("a.bin");
    const QString shown = form.Label3->text();
    Press(form.DelButton);
    EXPECT_FALSE(QFile::exists(folder_.filePath("a.bin")));
    EXPECT_FALSE(Entries().contains("a.bin"));
    EXPECT_EQ(Current(), "..");
    EXPECT_EQ(form.SelectedFile, "");
    EXPECT_EQ(Buttons(), "--C");  // Checksum is left to the next ROM image
    EXPECT_EQ(form.Label3->text(), shown);

    // A read-only file stays, without a word.
    KeyTo("d.bin");
    errors_.clear();
    Press(form.DelButton);
    EXPECT_TRUE(QFile::exists(folder_.filePath("d.bin")));
    EXPECT_TRUE(Entries().contains("d.bin"));
    EXPECT_TRUE(errors_.empty());
}

TEST_F(FileBrowser, RootButtonListsTheRootOfTheFileSystemHoldingTheFolder)
{
    TForm1& form = OpenListed();
    std::vector<std::string> roots;
    for (const auto& drive : varnoquil::platform::listDrives())
        roots.push_back(drive.root);
    const int holding = varnoquil::ui::DriveHolding(roots, Folder());
    const std::string root = holding < 0 ? "/" : roots[static_cast<std::size_t>(holding)];

    Press(form.SpeedButton8);
    EXPECT_EQ(currentDir(), root);
    EXPECT_EQ(form.Label4->text().toStdString(), root);
    EXPECT_EQ(Current(), List()->item(0)->text());
    EXPECT_EQ(Entries().first() == "..", root != "/");
    EXPECT_EQ(form.SpeedButton4->isEnabled(), root != "/");
    EXPECT_EQ(form.SpeedButton8->isEnabled(), root != "/");
}

TEST_F(FileBrowser, TheDriveBoxListsTheChosenRootOrStaysWhereItIs)
{
    struct Choice {
        QString text;
        QString root;  // the item's data; empty for none
        std::string folder;
    };
    const QString here = folder_.path();
    for (const Choice& choice : {
             Choice{"/ [Fixed]", "/", "/"},
             Choice{here + "/games [Backup [1]]", here + "/games", PathOf("games")},
             Choice{here + "/empty [RAM]", "", PathOf("empty")},           // the root taken from the text
             Choice{"/no/such/mount [Removable]", "", Folder()},           // cannot be entered
         }) {
        SCOPED_TRACE(choice.text.toStdString());
        TForm1& form = OpenListed();
        form.DiskBox->addItem(choice.text, choice.root.isEmpty() ? QVariant() : QVariant(choice.root));
        form.DiskBox->setCurrentIndex(form.DiskBox->count() - 2);
        form.DiskBox->setFocus();
        QTest::keyClick(form.DiskBox, Qt::Key_Down);  // the user's choice

        EXPECT_EQ(form.DiskBox->currentText(), choice.text);
        EXPECT_EQ(currentDir(), choice.folder);
        EXPECT_EQ(form.Label4->text().toStdString(), choice.folder);
        EXPECT_EQ(List()->currentRow(), 0);
        EXPECT_EQ(form.focusWidget(), List());
        EXPECT_EQ(form.Label3->text(), "Select BIN file.");
        const bool atRoot = choice.folder == "/";
        EXPECT_EQ(Entries().first() == "..", !atRoot);
        EXPECT_EQ(form.SpeedButton4->isEnabled(), !atRoot);
        EXPECT_EQ(form.SpeedButton8->isEnabled(), !atRoot);
        EXPECT_TRUE(errors_.empty());
        if (atRoot) {
            // Backspace at the root stays and shows the selected entry.
            Key(Qt::Key_Backspace);
            EXPECT_EQ(currentDir(), "/");
            EXPECT_EQ(List()->currentRow(), 0);
        }
    }
}

} // namespace
