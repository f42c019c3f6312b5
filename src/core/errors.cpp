// SPDX-License-Identifier: MIT
#include "errors.h"

#include <cerrno>

namespace varnoquil {

namespace {

// The program's code for an errno, or 0 when it has none.
int codeForErrno(int err)
{
    switch (err) {
    case ENOENT: return IoCode::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL: return IoCode::InvalidFilename;
    case EMFILE:
    case ENFILE: return IoCode::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return IoCode::AccessDenied;
#ifdef EDQUOT
    case EDQUOT:
#endif
    case ENOSPC: return IoCode::DiskFull;
    default: return 0;
    }
}

} // namespace

IoError::IoError(int code) : IoError(code, 0, textFor(code)) {}

IoError::IoError(int code, int systemError, const std::string& text)
    : FileError(text), code_(code), systemError_(systemError)
{}

IoError IoError::fromErrno(int err)
{
    return fromSystem(codeForErrno(err), err);
}

IoError IoError::fromSystem(int code, int systemError)
{
    if (code != 0)
        return IoError(code);
    return IoError(0, systemError, "I/O error " + std::to_string(systemError));
}

std::string IoError::textFor(int code)
{
    switch (code) {
    case IoCode::FileNotFound: return "File not found";
    case IoCode::InvalidFilename: return "Invalid filename";
    case IoCode::TooManyOpenFiles: return "Too many open files";
    case IoCode::AccessDenied: return "File access denied";
    case IoCode::ReadBeyondEnd: return "Read beyond end of file";
    case IoCode::DiskFull: return "Disk full";
    case IoCode::InvalidNumericInput: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
    }
}

NotRegularFileError::NotRegularFileError(Role role)
    : FileError(role == Role::Input ? "The input must be a regular file" : "The output must be a regular file")
{}

NotEnoughMemoryError::NotEnoughMemoryError() : FileError("Not enough memory") {}

CancelledError::CancelledError() : Error("Cancelled") {}

ConvertError::ConvertError(const std::string& text) : Error("'" + text + "' is not a valid floating point value") {}

} // namespace varnoquil
