// SPDX-License-Identifier: MIT
#include "dialogs.h"

#include "platform/platform.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <memory>

namespace dialogs {

namespace {

// A file dialog that can insist on an existing folder, or refuse a file for
// a reason of the caller's: the file is refused with a warning, and the
// dialog stays open.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* parent, const FileDialogSetup& setup)
        : QFileDialog(parent, setup.title, setup.folder), folderMustExist_(setup.folderMustExist), refuse_(setup.refuse)
    {}

    void accept() override
    {
        const QString chosen = selectedFiles().value(0);
        const QString folder = chosen.isEmpty() ? QString() : QFileInfo(chosen).absolutePath();
        if (folderMustExist_ && !folder.isEmpty() && !QFileInfo(folder).isDir())
            return warn(folder, QStringLiteral("This folder does not exist. Choose a folder that does."));
        const QString reason = refuse_ && !chosen.isEmpty() ? refuse_(chosen) : QString();
        if (!reason.isEmpty())
            return warn(chosen, reason + QStringLiteral(". Choose another file."));
        QFileDialog::accept();
    }

private:
    void warn(const QString& path, const QString& text)
    {
        QMessageBox::warning(this, windowTitle(), path + '\n' + text);
    }

    bool folderMustExist_;
    std::function<QString(const QString&)> refuse_;
};

} // namespace

QFileDialog* CreateFileDialog(QWidget* parent, const FileDialogSetup& setup)
{
    auto* dialog = new FileDialog(parent, setup);
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

QString DialogFolder(const std::string& folder)
{
    std::string path = folder;
    while (QString::fromStdString(path).toStdString() != path)
        path = varnoquil::platform::folderOf(path);
    return QString::fromStdString(path);
}

} // namespace dialogs
