// SPDX-License-Identifier: MIT
// The process's standard streams on Windows.
#include "platform/platform.h"

#include "platform/win32_common.h"

#include <cstdlib>
#include <fcntl.h>
#include <io.h>

#include <shellapi.h>

namespace varnoquil::platform {

namespace {

UINT consoleCodePage = 0;

void restoreConsoleCodePage()
{
    ::SetConsoleOutputCP(consoleCodePage);
}

// A console shows the bytes written to it in its code page; the program
// writes UTF-8. The console's own code page is given back at the end, as
// the console outlives the program.
void writeUtf8ToConsole()
{
    consoleCodePage = ::GetConsoleOutputCP();
    if (consoleCodePage != 0 && consoleCodePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
        std::atexit(restoreConsoleCodePage);
}

} // namespace

void ensureStandardStreams()
{
    // A program started without a console or with a stream closed has no
    // file behind that number; the null device takes its place.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::_get_osfhandle(fd) != -1)
            continue;
        const int opened = ::_open("NUL", fd == 0 ? _O_RDONLY : _O_WRONLY);
        if (opened < 0 || (opened != fd && ::_dup2(opened, fd) != 0))
            ::ExitProcess(127);
        if (opened != fd)
            ::_close(opened);
    }
    for (int fd = 0; fd <= 2; ++fd)
        ::_setmode(fd, _O_BINARY);
    writeUtf8ToConsole();
}

std::vector<std::string> commandLineArguments(int, char**)
{
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!words)
        throw NotEnoughMemoryError();
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(win32::utf8Text(words[i]));
    ::LocalFree(words);
    return arguments;
}

} // namespace varnoquil::platform
