// SPDX-License-Identifier: MIT
// Where the window starts: the default folder and the file given to the
// program.

#include "form1.h"

#include "application.h"

#include "errors.h"
#include "file_list.h"
#include "platform/platform.h"
#include "ui/start_place.h"

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QListWidget>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <exception>

std::string TForm1::DefaultStartFolder()
{
    // Paths are UTF-8 inside the program on Windows; on POSIX they are the
    // bytes the system gives.
#ifdef _WIN32
    const std::string home = QDir::homePath().toStdString();
#else
    const std::string home = QFile::encodeName(QDir::homePath()).toStdString();
#endif
    return varnoquil::ui::DefaultStartFolder(ProgramFolder(), VARNOQUIL_INSTALLED_BINDIR, home);
}

void TForm1::SelectStartFile(const std::string& name)
{
    QListWidgetItem* found = EntryItemNamed(name);
    if (!found && CheckBox1->isChecked()) {
        CheckBox1->setChecked(false);
        CheckBox1Click();
        found = EntryItemNamed(name);
    }
    if (!found)
        return;
    ListBox1->setCurrentItem(found);
    ListBox1KeyUp(FileList::kNoKey, Qt::NoModifier);
}

namespace {

// The first local file of a drop, as the bytes of its path; empty when the
// drop holds none (text, a web address).
std::string DroppedPath(const QMimeData* data)
{
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return QFile::encodeName(url.toLocalFile()).toStdString();
    return {};
}

} // namespace

// A drop is taken while the list is, not while a box holds the window.
void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (ListBox1->isEnabled() && !DroppedPath(event->mimeData()).empty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const std::string path = DroppedPath(event->mimeData());
    event->acceptProposedAction();
    TApplication::Guard([&] { FormDragDrop(path); });
}

void TForm1::FormDragDrop(const std::string& path)
{
    const varnoquil::ui::StartPlace place = varnoquil::ui::StartPlaceFor(path);
    varnoquil::platform::changeDir(place.folder);
    UpdatePathLabel();
    CheckBox1Click();
    if (place.file.empty())
        RefreshInformation();
    else
        SelectStartFile(place.file);
}

std::unique_ptr<TForm1> TForm1::StartWith(const std::optional<std::string>& argument)
{
    varnoquil::ui::StartPlace place{DefaultStartFolder(), {}};
    std::exception_ptr error;
    if (argument) {
        try {
            place = varnoquil::ui::StartPlaceFor(*argument);
        } catch (const varnoquil::Error&) {
            error = std::current_exception();
        }
    }
    auto form = std::make_unique<TForm1>(place.folder);
    form->show();
    TForm1* window = form.get();
    QTimer::singleShot(0, window, [window, file = place.file, error] {
        TApplication::Guard([&] {
            if (error)
                std::rethrow_exception(error);
            if (!file.empty())
                window->SelectStartFile(file);
        });
    });
    return form;
}
