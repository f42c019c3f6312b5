// SPDX-License-Identifier: MIT
// The information panel, the Checksum command and the drawing of the file
// list's entries.

#include "form1.h"

#include "browser/browser.h"
#include "errors.h"
#include "file_list.h"
#include "gems_fix_panel.h"
#include "look.h"
#include "platform/platform.h"
#include "rom/checksum_repair.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

using namespace varnoquil;

// Shows the header of the selected ROM image, or asks for one; a folder is
// never taken for an image, whatever its name. After a failed read the error
// reaches the error box and the panel keeps what it showed, while the file is
// no longer selected: FIX and Checksum go off, as neither could work on it.
void TForm1::RefreshInformation()
{
    const std::string path = browser::EntryPath(platform::currentDir(), SelectedEntryName());
    if (!browser::IsRomImage(path) || browser::LooksLikeFolder(path)) {
        Label3->setText(QStringLiteral("Select BIN file."));
        ForgetSelectedFile();
        return;
    }
    try {
        ReadHeader(path, HeaderInfo);
    } catch (const Error&) {
        ForgetSelectedFile();
        throw;
    }
    SelectedFile = path;
    Label3->setText(look::LabelText(InformationText(HeaderInfo)));
    ScrollBox1->verticalScrollBar()->setValue(0); // each header is shown from its top
    // While Fix GEMS runs, the list moves but no command may change a file.
    const bool runGoesOn = FixBox->Running();
    CheckSumButton->setEnabled(HeaderInfo.HeaderCrc != HeaderInfo.FileCrc && !runGoesOn);
    FixButton->setEnabled(!runGoesOn);
}

// Writes the checksum computed for the selected ROM image into its header,
// then shows the header again. With no image selected the file cannot be
// opened and nothing is written; a dump or a disc image is refused, as the
// checksum word of a plain cartridge lies elsewhere in them.
void TForm1::CheckSumButtonClick()
{
    RequireShownFolder();
    RepairChecksum(SelectedFile, false);
    ListBox1KeyUp(FileList::kNoKey, Qt::NoModifier);
}

// Faint stripes by index; ROM images azure, folders and entries that cannot
// be looked at orange, other files light grey. The selection is not shown:
// the focus mark drawn after this is the only sign of the current entry.
void TForm1::ListBox1DrawItem(QPainter& canvas, int index, const QRect& rect, int)
{
    const int stripe = index % 2 * 4;
    canvas.fillRect(rect, QColor(stripe, stripe, stripe));
    const QListWidgetItem* item = ListBox1->item(index);
    // Painting never fails: without a current folder the entry's kind
    // cannot be told, which counts as a folder.
    std::string folder;
    bool folderKnown = true;
    try {
        folder = platform::currentDir();
    } catch (const Error&) {
        folderKnown = false;
    }
    const std::string path = browser::EntryPath(folder, EntryName(item));
    QColor colour = look::kLightGrey;
    if (browser::IsRomImage(path))
        colour = look::kAzure;
    else if (!folderKnown || browser::LooksLikeFolder(path))
        colour = look::kOrange;
    canvas.setPen(colour);
    canvas.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, item->text());
}
