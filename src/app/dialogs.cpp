// SPDX-License-Identifier: MIT
#include "dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <memory>

namespace dialogs {

namespace {

// A file dialog that can insist on an existing folder: a file chosen in one
// that does not exist is refused with a warning, and the dialog stays open.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* parent, const QString& title, const QString& folder, bool folderMustExist)
        : QFileDialog(parent, title, folder), folderMustExist_(folderMustExist)
    {}

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        const QString folder = chosen.isEmpty() ? QString() : QFileInfo(chosen.first()).absolutePath();
        if (folderMustExist_ && !folder.isEmpty() && !QFileInfo(folder).isDir()) {
            QMessageBox::warning(
                this, windowTitle(),
                QStringLiteral("%1\nThis folder does not exist. Choose a folder that does.").arg(folder));
            return;
        }
        QFileDialog::accept();
    }

private:
    bool folderMustExist_;
};

} // namespace

QFileDialog* CreateFileDialog(QWidget* parent, const FileDialogSetup& setup)
{
    auto* dialog = new FileDialog(parent, setup.title, setup.folder, setup.folderMustExist);
    if (setup.save) {
        // A save dialog asks before it lets an existing file be replaced.
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    dialog->setNameFilters(setup.filters);
    if (setup.filter >= 0 && setup.filter < setup.filters.size())
        dialog->selectNameFilter(setup.filters[setup.filter]);
    dialog->setDefaultSuffix(setup.defaultSuffix);
    if (!setup.fileName.isEmpty())
        dialog->selectFile(setup.fileName);
    return dialog;
}

namespace {

QString Run(QWidget* parent, const FileDialogSetup& setup)
{
    const std::unique_ptr<QFileDialog> dialog(CreateFileDialog(parent, setup));
    const int result = dialog->exec();
    return result == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
}

} // namespace

std::function<QString(QWidget*, const FileDialogSetup&)> RunFileDialog = Run;

} // namespace dialogs
