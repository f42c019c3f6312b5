// SPDX-License-Identifier: MIT
// varnoquil-cli: the program's commands for scripts and batch work.

#include "command_line.h"
#include "console.h"
#include "errors.h"
#include "exit_status.h"
#include "platform/platform.h"

#include <exception>
#include <new>
#include <string>
#include <vector>

using namespace varnoquil;
using namespace varnoquil::cli;

int main(int argc, char** argv)
{
    platform::ensureStandardStreams();
    try {
        std::vector<std::string> arguments = platform::commandLineArguments(argc, argv);
        std::vector<char*> words;
        words.reserve(arguments.size());
        for (std::string& argument : arguments)
            words.push_back(argument.data());
        const int status = RunCommandLine(static_cast<int>(words.size()), words.data());
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
