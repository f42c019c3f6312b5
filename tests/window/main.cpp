// SPDX-License-Identifier: MIT
#include "application.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    // The window tests never need a display; listing them must not either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    // Tests close windows and go on.
    application.setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Qt's Wayland client can deadlock while it tears its display down (its
    // event thread parked in a read). The tests are over: leave without it.
    if (QGuiApplication::platformName() == "wayland") {
        std::fflush(nullptr);
        std::_Exit(result);
    }
    return result;
}
