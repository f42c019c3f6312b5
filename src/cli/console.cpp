// SPDX-License-Identifier: MIT
#include "console.h"

#include "errors.h"
#include "text.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace varnoquil::cli {

namespace {

// Why a flush that could not raise failed, for the next write to report.
int flushError = 0;

[[noreturn]] void raiseOutError(int err)
{
    err = err ? err : flushError;
    const std::string why = err ? std::string(": ") + IoError::fromErrno(err).what() : "";
    throw FileError("Cannot write to standard output" + why);
}

// Lets standard output catch up before anything goes to standard error. A
// failure stays in the stream's error flag for the next write to report.
void flushOutQuietly()
{
    errno = 0;
    if (std::fflush(stdout) != 0 && errno != 0)
        flushError = errno;
}

std::string nameFor(int fd, const std::string& path)
{
    return ::isatty(fd) ? ControlBytesAsQuestionMarks(path, LineBreaks::AsQuestionMarks) : path;
}

void writeErr(const std::string& text)
{
    flushOutQuietly();
    std::fwrite(text.data(), 1, text.size(), stderr);
}

} // namespace

void WriteOut(const std::string& bytes)
{
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::ferror(stdout))
        raiseOutError(errno);
}

void ShowOut(const std::string& bytes)
{
    errno = 0;
    const bool shown = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    if (!shown && errno != 0)
        flushError = errno;
}

void FinishOut()
{
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        raiseOutError(errno);
}

std::string NameOnOut(const std::string& path)
{
    return nameFor(STDOUT_FILENO, path);
}

void Complain(const std::string& message)
{
    writeErr(std::string(kProgram) + ": " + nameFor(STDERR_FILENO, message) + "\n");
}

void ComplainAbout(const std::string& path, const std::string& message)
{
    Complain(path.empty() ? message : path + ": " + message);
}

void WriteErrLine(const std::string& line)
{
    writeErr(line + "\n");
}

} // namespace varnoquil::cli
