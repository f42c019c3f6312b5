// SPDX-License-Identifier: MIT
#pragma once

#include "errors.h"

// The command-line tool's exit statuses, and the error of a command line that
// cannot be run.
namespace varnoquil::cli {

constexpr int kExitOk = 0;
constexpr int kExitIoError = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitChecksumDiffers = 3;
constexpr int kExitNoTables = 4;
constexpr int kExitUnmatched = 5;

// A request the command line itself gets wrong.
class UsageError : public Error {
public:
    using Error::Error;
};

} // namespace varnoquil::cli
