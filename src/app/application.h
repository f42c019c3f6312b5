#pragma once

#include <QApplication>

#include <functional>
#include <string>

// The application object. It is the one place where the core's errors that
// escape a handler are caught: they are shown in the standard error box and
// the program goes on.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The application's title: the executable's file name without its
    // extension.
    static QString Title();

    // Shows the standard error box: a stop icon, an OK button, the title and
    // the message. Tests put a recorder here.
    static std::function<void(const QString& title, const QString& text)> ErrorBox;

    // Shows a message in the standard error box, with the full-stop rule.
    static void ShowError(const std::string& message);
};
