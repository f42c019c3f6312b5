// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

namespace varnoquil {

// Base of every error the core raises; the window shows its text in the
// standard error box, the command-line tool prints it after the name of the
// file it is about.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    // The file the error is about, when the code that raised it or passed it
    // on knew it; empty otherwise. It is not part of what().
    const std::string& path() const { return path_; }
    // Names the file, unless a closer caller already did.
    void setPath(const std::string& path)
    {
        if (path_.empty())
            path_ = path;
    }

private:
    std::string path_;
};

// Throws an error as one about path; an empty path names no file.
template <typename AnError>
[[noreturn]] void RaiseFor(AnError error, const std::string& path)
{
    error.setPath(path);
    throw error;
}

// Runs action; an Error it raises that names no file yet is about path.
template <typename Action>
decltype(auto) ForFile(const std::string& path, Action&& action)
{
    try {
        return action();
    } catch (Error& error) {
        error.setPath(path);
        throw;
    }
}

// A failure with a file, or with the memory to handle one: the file could not
// be read or written as asked. The command-line tool exits 1 for these.
class FileError : public Error {
public:
    using Error::Error;
};

// A failed file operation. The program's codes follow the classic DOS/Windows
// runtime numbering (2 file not found, 5 access denied, 100 short read, ...),
// which is what users of this kind of tool know from the error texts. A
// system error (errno) that has no such code is kept as it is, apart from the
// codes, so that EIO (5) never reads as "File access denied" nor ENETDOWN
// (100) as "Read beyond end of file".
class IoError : public FileError {
public:
    // An error with one of the program's codes.
    explicit IoError(int code);
    // A system error: the program's code when the errno has one, otherwise
    // the errno itself, shown as "I/O error N".
    static IoError fromErrno(int err);
    // A system error that the system's own table (errno values, or Win32
    // error codes) gave the program's code; 0 keeps it as "I/O error N".
    static IoError fromSystem(int code, int systemError);

    // The program's code; 0 for a system error that has none.
    int code() const { return code_; }
    // The errno of a system error that has no code of the program's; else 0.
    int systemError() const { return systemError_; }

    static std::string textFor(int code);

private:
    IoError(int code, int systemError, const std::string& text);

    int code_;
    int systemError_;
};

// A path that names something other than a regular file (a FIFO, a device, a
// socket, a kernel interface file), which must not be read or replaced as a
// ROM image.
class NotRegularFileError : public FileError {
public:
    enum class Role { Input, Output };
    explicit NotRegularFileError(Role role);
};

// An allocation the system refused, such as an image bigger than memory.
class NotEnoughMemoryError : public FileError {
public:
    NotEnoughMemoryError();
};

// A text that is not a decimal number.
class ConvertError : public Error {
public:
    explicit ConvertError(const std::string& text);
};

// A request the core refuses before touching any file (a scale that is not
// above 0, the same file as input and output).
class RequestError : public Error {
public:
    using Error::Error;
};

// A DAT file that cannot be used: not found, too large, not well-formed XML,
// not a Logiqx DAT, or a value that is not what the format allows. The text
// says what, and where when it is in the file ("line 12: ...").
class DatError : public Error {
public:
    using Error::Error;
};

// A run stopped at the user's request before it was done; it leaves no
// output behind.
class CancelledError : public Error {
public:
    CancelledError();
};

// A file that is not the kind of image a command works on: a checksum is
// written only into a plain cartridge image.
class ImageFormatError : public FileError {
public:
    using FileError::FileError;
};

namespace IoCode {
constexpr int FileNotFound = 2;
constexpr int InvalidFilename = 3;
constexpr int TooManyOpenFiles = 4;
constexpr int AccessDenied = 5;
constexpr int ReadBeyondEnd = 100;
constexpr int DiskFull = 101;
constexpr int InvalidNumericInput = 106;
} // namespace IoCode

} // namespace varnoquil
