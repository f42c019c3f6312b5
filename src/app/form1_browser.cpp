// SPDX-License-Identifier: MIT
// The file browser: listing, navigation, selection and deletion.

#include "form1.h"

#include "browser/browser.h"
#include "errors.h"
#include "file_list.h"
#include "gems_fix_panel.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

using namespace varnoquil;

namespace {

// Where an entry keeps its name as the folder gave it.
constexpr int kNameRole = Qt::UserRole;

// The root of the mounted file system that holds the folder; "/" when no
// browsable mount does.
std::string RootHolding(const std::string& folder)
{
    std::vector<std::string> roots;
    for (const platform::Drive& drive : platform::listDrives())
        roots.push_back(drive.root);
    const int index = ui::DriveHolding(roots, folder);
    return index < 0 ? std::string(1, platform::separator()) : roots[static_cast<std::size_t>(index)];
}

// The entry whose shown text is the name's but for case; -1 when there is none.
int RowShowingCaseless(const QListWidget* list, const std::string& name)
{
    const QString wanted = QString::fromStdString(name);
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->text().compare(wanted, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

} // namespace

void TForm1::ListFolder(bool startUp)
{
    using browser::Filter;
    const Filter filter = !CheckBox1->isChecked() ? Filter::AllFiles
        : startUp                                 ? Filter::StartupRomImages
                                                  : Filter::RomImages;
    // Names are bytes: undecodable ones show as replacement characters,
    // while every path is built from the bytes themselves.
    const std::vector<std::string> entries = browser::ListFolder(platform::currentDir(), filter);
    ListBox1->clear();
    for (const std::string& entry : entries) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry), ListBox1);
        item->setData(kNameRole, QByteArray::fromStdString(entry));
    }
}

std::string TForm1::EntryName(const QListWidgetItem* item)
{
    return item->data(kNameRole).toByteArray().toStdString();
}

std::string TForm1::SelectedEntryName() const
{
    const QListWidgetItem* item = ListBox1->currentItem();
    return item ? EntryName(item) : std::string();
}

// The entry whose raw name is the file's: names need not be valid text.
QListWidgetItem* TForm1::EntryItemNamed(const std::string& name) const
{
    for (int row = 0; row < ListBox1->count(); ++row)
        if (EntryName(ListBox1->item(row)) == name)
            return ListBox1->item(row);
    return nullptr;
}

void TForm1::EnterFolderIfPossible(const std::string& folder)
{
    try {
        platform::changeDir(folder);
    } catch (const IoError&) {
        // The current folder stays.
    }
}

void TForm1::ForgetSelectedFile()
{
    SelectedFile.clear();
    FixButton->setEnabled(false);
    CheckSumButton->setEnabled(false);
}

// An action on the entries of a folder removed from outside would act on
// nothing: the window moves to what is left and says why the action did not
// happen.
void TForm1::RequireShownFolder()
{
    if (!browser::LeaveRemovedFolder())
        return;
    Label3->setText(QStringLiteral("Select BIN file."));
    ForgetSelectedFile();
    UpdatePathLabel();
    CheckBox1Click();
    throw RequestError("The folder no longer exists");
}

// The relisting: the current folder listed again with its first entry
// selected, and the buttons that depend on it set from that entry.
void TForm1::CheckBox1Click()
{
    RequireShownFolder();
    ListFolder(false);
    ListBox1->setCurrentRow(0);
    // Inside a folder the selection is back on "..": nothing is selected to fix.
    if (SelectedEntryName() == browser::kParentEntry)
        ForgetSelectedFile();
    UpdateEntryButtons();
    // A disabled list (the About box is open) cannot take the focus.
    if (ListBox1->isEnabled() && !ListBox1->hasFocus())
        ListBox1->setFocus();
    const bool inFolder = ListBox1->count() > 0 && EntryName(ListBox1->item(0)) == browser::kParentEntry;
    SpeedButton4->setEnabled(inFolder);
    SpeedButton8->setEnabled(inFolder);
}

// Delete is enabled for an existing file and FIX comes back with it while a
// ROM image is selected, both unless a Fix GEMS run goes on.
void TForm1::UpdateEntryButtons()
{
    const std::string entry = SelectedEntryName();
    if (entry == browser::kParentEntry) {
        DelButton->setEnabled(false);
        return;
    }
    const bool file = browser::FileExists(browser::EntryPath(platform::currentDir(), entry));
    DelButton->setEnabled(file && !FixBox->Running());
    if (file && !SelectedFile.empty() && !FixBox->Running())
        FixButton->setEnabled(true);
}

// The start-up listing selects the first entry and trusts it to be a file
// unless it is "..".
void TForm1::StartupListing()
{
    ListFolder(true);
    ListBox1->setCurrentRow(0);
    const std::string entry = SelectedEntryName();
    DelButton->setEnabled(!entry.empty() && entry != browser::kParentEntry);
}

// Every key: an unselected list starts from its first entry, so the first
// arrow key moves from there.
void TForm1::ListBox1KeyDown(int, Qt::KeyboardModifiers)
{
    if (ListBox1->currentRow() < 0)
        ListBox1->setCurrentRow(0);
}

// The selection refresh, after a key release or with no key for the other
// callers: Backspace goes up a folder as "<-" does, Delete follows the entry,
// Enter opens the entry, and every other key shows the information of the
// entry the list moved to.
void TForm1::ListBox1KeyUp(int key, Qt::KeyboardModifiers)
{
    if (key == FileList::kBackspace) {
        SpeedButton4Click();
        RefreshInformation();
        return;
    }
    RequireShownFolder();
    if (ListBox1->currentRow() <= 0) {
        ListBox1->setCurrentRow(0);
        if (SelectedEntryName() == browser::kParentEntry)
            DelButton->setEnabled(false);
    } else {
        DelButton->setEnabled(!FixBox->Running()
                              && browser::FileExists(browser::EntryPath(platform::currentDir(), SelectedEntryName())));
    }
    if (key == FileList::kEnter) {
        ListBox1DblClick();
        return;
    }
    RefreshInformation();
}

// Any button; the left one has already moved the selection to the entry
// under the pointer.
void TForm1::ListBox1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers shift, int, int)
{
    if (ListBox1->currentRow() >= 0)
        ListBox1KeyUp(FileList::kNoKey, shift);
}

// Opens the selected ROM image in the fix panel; otherwise goes up with
// "..", enters a folder, or does nothing for any other file. Going up from a
// folder removed from outside lands in the nearest one that still exists.
void TForm1::ListBox1DblClick()
{
    if (!SelectedFile.empty()) {
        FixButtonClick();
        return;
    }
    if (ListBox1->currentRow() < 0)
        return;
    const std::string entry = SelectedEntryName();
    const bool up = entry == browser::kParentEntry;
    if (up && browser::LeaveRemovedFolder()) {
        UpdatePathLabel();
        CheckBox1Click();
        return;
    }
    RequireShownFolder();
    const std::string folder = platform::currentDir();
    if (up) {
        platform::changeDir(browser::EntryPath(folder, browser::kParentEntry));
    } else {
        const std::string path = browser::EntryPath(folder, entry);
        if (!browser::LooksLikeFolder(path))
            return;
        platform::changeDir(path);
    }
    UpdatePathLabel();
    CheckBox1Click();
    // Going up lands on the folder just left, when the listing shows it.
    if (up) {
        const std::string left = platform::lastComponent(folder);
        const QListWidgetItem* exact = EntryItemNamed(left);
        ListBox1->setCurrentRow(exact ? ListBox1->row(exact) : RowShowingCaseless(ListBox1, left));
    } else {
        ListBox1->setCurrentRow(0);
    }
    UpdateEntryButtons();
}

// "<-": up one folder, forgetting the selected ROM image.
void TForm1::SpeedButton4Click()
{
    if (ListBox1->count() == 0 || EntryName(ListBox1->item(0)) != browser::kParentEntry)
        return;
    ListBox1->setCurrentRow(0);
    Label3->setText(QStringLiteral("Select BIN file."));
    ForgetSelectedFile();
    ListBox1DblClick();
}

// "/": the root of the file system that holds the current folder, or held it
// before it was removed from outside. The selected file is forgotten with the
// folder. The path bar follows, so that it never names a folder the list does
// not show.
void TForm1::SpeedButton8Click()
{
    ForgetSelectedFile();
    browser::LeaveRemovedFolder();
    platform::changeDir(RootHolding(platform::currentDir()));
    UpdatePathLabel();
    CheckBox1Click();
}

// Deletes without asking; a file that stays (read-only, gone already) simply
// shows again in the new listing.
void TForm1::DelButtonClick()
{
    RequireShownFolder();
    platform::deleteFile(browser::EntryPath(platform::currentDir(), SelectedEntryName()));
    CheckBox1Click();
}

// Lists the root of the chosen drive. A drive that cannot be entered leaves
// the current folder as it was, silently; the list is rebuilt all the same.
void TForm1::DiskBoxChange()
{
    // Each item carries its root beside its text, root + " [" + label + "]",
    // since a label may hold " [" too.
    EnterFolderIfPossible(DiskBox->currentData().toString().toStdString());
    UpdatePathLabel();
    CheckBox1Click();
    ListBox1KeyUp(FileList::kNoKey, Qt::NoModifier);
}
