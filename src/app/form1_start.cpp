// SPDX-License-Identifier: MIT
// Where the window starts: the default folder and the file given to the
// program.

#include "form1.h"

#include "application.h"

#include "errors.h"
#include "file_list.h"
#include "ui/start_place.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTimer>

#include <exception>

std::string TForm1::DefaultStartFolder()
{
    return varnoquil::ui::DefaultStartFolder(ProgramFolder(), VARNOQUIL_INSTALLED_BINDIR,
                                             QFile::encodeName(QDir::homePath()).toStdString());
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
