#include "application.h"

#include "errors.h"
#include "ui_logic.h"

#include <QFileInfo>
#include <QMessageBox>

namespace {

void ShowMessageBox(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok);
    box.exec();
}

} // namespace

std::function<void(const QString&, const QString&)> TApplication::ErrorBox = ShowMessageBox;

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    // A handler ends on the spot at an error; the event counts as handled
    // and the event loop carries on.
    try {
        return QApplication::notify(receiver, event);
    } catch (const varnoquil::Error& error) {
        ShowError(error.what());
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
    return true;
}

QString TApplication::Title()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void TApplication::ShowError(const std::string& message)
{
    ErrorBox(Title(), QString::fromStdString(varnoquil::ui::ErrorBoxText(message)));
}
