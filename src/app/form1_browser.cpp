// The file browser: listing, navigation, selection and deletion.

#include "form1.h"

#include "browser.h"
#include "platform.h"

#include <QCheckBox>
#include <QListWidget>
#include <QToolButton>

using namespace varnoquil;

void TForm1::ListFolder(bool startUp)
{
    using browser::Filter;
    const Filter filter = !CheckBox1->isChecked() ? Filter::AllFiles
                          : startUp               ? Filter::StartupRomImages
                                                  : Filter::RomImages;
    ListBox1->clear();
    for (const std::string& entry : browser::ListFolder(platform::currentDir(), filter))
        ListBox1->addItem(QString::fromStdString(entry));
}

// The relisting: the current folder listed again with its first entry
// selected, and the buttons that depend on it set from that entry.
void TForm1::CheckBox1Click()
{
    ListFolder(false);
    ListBox1->setCurrentRow(0);
    const std::string entry = SelectedEntryText();
    if (entry == browser::kParentEntry) {
        DelButton->setEnabled(false);
        FixButton->setEnabled(false);
        SelectedFile.clear();
    } else if (browser::FileExists(browser::EntryPath(platform::currentDir(), entry))) {
        DelButton->setEnabled(true);
        if (!SelectedFile.empty())
            FixButton->setEnabled(true);
    } else {
        DelButton->setEnabled(false);
    }
    // A disabled list (the About box is open) cannot take the focus.
    if (ListBox1->isEnabled() && !ListBox1->hasFocus())
        ListBox1->setFocus();
    const bool inFolder = ListBox1->count() > 0 && ListBox1->item(0)->text().toStdString() == browser::kParentEntry;
    SpeedButton4->setEnabled(inFolder);
    SpeedButton8->setEnabled(inFolder);
}

// Delete is enabled for an existing file; FIX comes back with it while a ROM
// image is selected.
void TForm1::UpdateEntryButtons()
{
    const std::string entry = SelectedEntryText();
    if (entry == browser::kParentEntry) {
        DelButton->setEnabled(false);
        return;
    }
    const bool file = browser::FileExists(browser::EntryPath(platform::currentDir(), entry));
    DelButton->setEnabled(file);
    if (file && !SelectedFile.empty())
        FixButton->setEnabled(true);
}

// The start-up listing selects the first entry and trusts it to be a file
// unless it is "..".
void TForm1::StartupListing()
{
    ListFolder(true);
    ListBox1->setCurrentRow(0);
    const std::string entry = SelectedEntryText();
    DelButton->setEnabled(!entry.empty() && entry != browser::kParentEntry);
}

