// SPDX-License-Identifier: MIT
// varnoquil-cli: the program's commands for scripts and batch work.

#include "command_line.h"
#include "console.h"
#include "errors.h"
#include "exit_status.h"
#include "platform/platform.h"

#include <exception>
#include <new>

using namespace varnoquil;
using namespace varnoquil::cli;

int main(int argc, char** argv)
{
    platform::ensureStandardStreams();
    try {
        const int status = RunCommandLine(argc, argv);
        FinishOut();
        return status;
    } catch (const UsageError& error) {
        ComplainAbout(error.path(), error.what());
        WriteErrLine("Try 'varnoquil-cli --help'.");
        return kExitBadInput;
    } catch (const FileError& error) {
        ComplainAbout(error.path(), error.what());
        return kExitIoError;
    } catch (const Error& error) {
        ComplainAbout(error.path(), error.what());
        return kExitBadInput;
    } catch (const std::bad_alloc&) {
        Complain(NotEnoughMemoryError().what());
        return kExitIoError;
    } catch (const std::exception& error) {
        Complain(error.what());
        return kExitIoError;
    }
}
