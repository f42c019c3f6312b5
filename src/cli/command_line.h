// SPDX-License-Identifier: MIT
#pragma once

// Reads the command line and runs the command it names.
namespace varnoquil::cli {

// Returns the exit status. A command line that cannot be run raises
// UsageError; the command's own failures raise the core's errors.
int RunCommandLine(int argc, char** argv);

} // namespace varnoquil::cli
