// SPDX-License-Identifier: MIT
#pragma once

#include "errors.h"

#include <QApplication>

#include <exception>
#include <functional>
#include <new>
#include <string>

// The application object. It shows the standard error box for the errors of
// the window's handlers and, as the last resort, for any error that reaches
// the event loop some other way.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Runs a handler at the point where Qt calls into the program. An error
    // ends that handler alone: it is shown in the standard error box and
    // control goes back to Qt, whose frames an exception must never unwind.
    // Returns false when the handler failed.
    template <typename Handler>
    static bool Guard(Handler&& handler)
    {
        try {
            handler();
            return true;
        } catch (const std::bad_alloc&) {
            ShowError(varnoquil::NotEnoughMemoryError().what());
        } catch (const std::exception& error) {
            ShowError(error.what());
        }
        return false;
    }

    // The application's title: the executable's file name without its
    // extension.
    static QString Title();

    // Shows the standard error box: a stop icon, an OK button, the title and
    // the message. Tests put a recorder here.
    static std::function<void(const QString& title, const QString& text)> ErrorBox;

    // Shows a message in the standard error box, with the full-stop rule.
    static void ShowError(const std::string& message);

    // Ends the process with the status at once on Wayland, where Qt's client
    // can deadlock tearing its display down (its event thread parked in a
    // read); elsewhere it returns. Called once all work is done and written.
    static void ExitAtOnceOnWayland(int status);
};
