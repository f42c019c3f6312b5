// SPDX-License-Identifier: MIT
#include "application.h"

#include <gtest/gtest.h>

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
    TApplication::ExitAtOnceOnWayland(result);
    return result;
}
