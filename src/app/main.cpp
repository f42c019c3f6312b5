// Varnoquil: the desktop program. It takes no arguments.

#include "application.h"
#include "form1.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool Set(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

// Without a display Qt would stop with a platform-plugin message; say
// plainly what is missing and what works without one.
bool DisplayAvailable()
{
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv)
{
    if (!DisplayAvailable()) {
        std::fputs("varnoquil: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                   "Start it in a desktop session or under xvfb-run, or use varnoquil-cli, which does the same\n"
                   "work without a window (varnoquil-cli --help).\n",
                   stderr);
        return 1;
    }
    TApplication application(argc, argv);
    TForm1 form;
    form.show();
    return application.exec();
}
