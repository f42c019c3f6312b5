#include "dialogs.h"

#include <QFileDialog>

#include <memory>

namespace dialogs {

QFileDialog* CreateFileDialog(QWidget* parent, const FileDialogSetup& setup)
{
    auto* dialog = new QFileDialog(parent, setup.title, setup.folder);
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
