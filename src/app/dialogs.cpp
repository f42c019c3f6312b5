#include "dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QSet>

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

// A dialog closes on the press of Enter or Escape; the release comes after
// it, to whatever has the focus below (the file list, which opens the
// selected entry when Enter is released there). Keys pressed while the
// dialog is open are noted, and their releases once it has closed are
// swallowed. The first new press ends the watch.
class KeysHeldOverDialog : public QObject {
public:
    KeysHeldOverDialog() : QObject(qApp) { qApp->installEventFilter(this); }

    void dialogClosed()
    {
        closed_ = true;
        if (held_.isEmpty())
            deleteLater();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const bool press = event->type() == QEvent::KeyPress;
        if (!press && event->type() != QEvent::KeyRelease)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!closed_) {
            if (key->isAutoRepeat())
                return false;
            if (press)
                held_.insert(key->key());
            else
                held_.remove(key->key());
            return false;
        }
        if (press && !key->isAutoRepeat()) {
            deleteLater();
            return false;
        }
        if (!held_.contains(key->key()))
            return false;
        // A key held over from the dialog: its repeats and its release end
        // there too.
        if (!key->isAutoRepeat()) {
            held_.remove(key->key());
            if (held_.isEmpty())
                deleteLater();
        }
        return true;
    }

private:
    QSet<int> held_;
    bool closed_ = false;
};

QString Run(QWidget* parent, const FileDialogSetup& setup)
{
    const std::unique_ptr<QFileDialog> dialog(CreateFileDialog(parent, setup));
    auto* keys = new KeysHeldOverDialog;
    const int result = dialog->exec();
    keys->dialogClosed();
    return result == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
}

} // namespace

std::function<QString(QWidget*, const FileDialogSetup&)> RunFileDialog = Run;

} // namespace dialogs
