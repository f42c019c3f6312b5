// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <gtest/gtest.h>

TEST(FilesWindows, Placeholder) {}
