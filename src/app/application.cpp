// SPDX-License-Identifier: MIT
#include "application.h"

#include "ui/ui_logic.h"

#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

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
    // The handlers guard themselves; this catches what slips past them. The
    // event then counts as handled and the event loop carries on.
    bool handled = true;
    Guard([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

QString TApplication::Title()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void TApplication::ShowError(const std::string& message)
{
    ErrorBox(Title(), QString::fromStdString(varnoquil::ui::ErrorBoxText(message)));
}

void TApplication::ExitAtOnceOnWayland(int status)
{
    if (platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
}
