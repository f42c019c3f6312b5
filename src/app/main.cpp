// SPDX-License-Identifier: MIT
// Varnoquil: the desktop program. It takes one optional argument, a folder
// to start in or a file to open.

#include "application.h"
#include "form1.h"
#include "platform/platform.h"

#include <QCommandLineParser>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

bool Set(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

// Without a display Qt would stop with a platform-plugin message; say
// plainly what is missing and what works without one. Windows always has one.
bool DisplayAvailable()
{
#ifdef _WIN32
    return true;
#else
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
#endif
}

// Reads the command line that Qt has left (it takes its own options out of
// argv); --help and --version end the program here. Returns the folder or
// file argument as the bytes it was given, since a POSIX file name need not
// be valid text: there the parser's decoded copy only says whether there is
// one.
std::optional<std::string> StartArgument(const QCoreApplication& application, int argc, char** argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Show, repair and retune Mega Drive ROM images."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("path"), QStringLiteral("A folder to start in, or a file to open."),
                                 QStringLiteral("[folder|file]"));
    parser.process(application);
    const qsizetype given = parser.positionalArguments().size();
    if (given > 1) {
        std::fputs("varnoquil: give one folder or file at most (try --help)\n", stderr);
        std::exit(1);
    }
    if (given == 0)
        return std::nullopt;
#ifdef _WIN32
    // Windows' names are UTF-16 text, which Qt read from the command line.
    (void)argc;
    (void)argv;
    return parser.positionalArguments().front().toStdString();
#else
    // Every word left is the argument, apart from the "--" that may end the
    // options before it.
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.size() > 1 && words.front() == "--")
        words.erase(words.begin());
    return words.back();
#endif
}

} // namespace

int main(int argc, char** argv)
{
    varnoquil::platform::ensureStandardStreams();
    QCoreApplication::setApplicationName(QStringLiteral("varnoquil"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNOQUIL_VERSION));
    if (!DisplayAvailable()) {
        const QCoreApplication commandLine(argc, argv);
        StartArgument(commandLine, argc, argv);
        std::fputs("varnoquil: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                   "Start it in a desktop session or under xvfb-run, or use varnoquil-cli, which does the same\n"
                   "work without a window (varnoquil-cli --help).\n",
                   stderr);
        return 1;
    }
    TApplication application(argc, argv);
    // Wayland compositors find the window's icon and name through its
    // desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.varnoquil.Varnoquil"));
    const std::optional<std::string> argument = StartArgument(application, argc, argv);

    std::unique_ptr<TForm1> form = TForm1::StartWith(argument);
    const int result = application.exec();
    // The window goes first: it cancels a Fix GEMS run still going and waits until its temporary file is removed.
    form.reset();
    TApplication::ExitAtOnceOnWayland(result);
    return result;
}
