// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class QFileDialog;
class QWidget;

// The file dialogs the window asks its questions with. The window describes
// a dialog; RunFileDialog shows it and returns the answer. Tests put a
// function of their own there and answer without a modal dialog.
namespace dialogs {

struct FileDialogSetup {
    bool save = false; // a save dialog; otherwise one that opens an existing file
    QString title; // empty: the platform's standard title
    QString folder; // where the dialog starts
    QString fileName; // the name offered; a full path starts in its folder
    QStringList filters; // "Text files (*.txt)"
    int filter = 0; // the filter selected at the start
    QString defaultSuffix; // added to a name chosen without an extension
    bool folderMustExist = false; // a file in a missing folder is refused with a warning
    // Why a chosen file is refused; the dialog then stays open with a
    // warning. Empty (or returning an empty text): any file is taken.
    std::function<QString(const QString& path)> refuse;
};

// The folder a dialog can start in for a folder of the file system: the
// nearest one at or above it whose path is UTF-8, as the dialogs cannot
// show other names.
QString DialogFolder(const std::string& folder);

// The dialog the program shows for a setup, configured but not shown.
QFileDialog* CreateFileDialog(QWidget* parent, const FileDialogSetup& setup);

// Shows a dialog for the setup; returns the chosen full path, or an empty
// text when the user cancels.
extern std::function<QString(QWidget* parent, const FileDialogSetup& setup)> RunFileDialog;

} // namespace dialogs
