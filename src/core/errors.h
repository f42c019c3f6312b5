#pragma once

#include <stdexcept>
#include <string>

namespace varnoquil {

// Base of every error the core raises; the window shows its text in the
// standard error box, the command-line tool prints it.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failed file operation. The code follows the classic DOS/Windows runtime
// numbering (2 file not found, 5 access denied, 100 short read, ...), which
// is what users of this kind of tool know from the error texts.
class IoError : public Error {
public:
    explicit IoError(int code);
    int code() const { return code_; }
    static std::string textFor(int code);

private:
    int code_;
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

namespace IoCode {
constexpr int FileNotFound = 2;
constexpr int InvalidFilename = 3;
constexpr int TooManyOpenFiles = 4;
constexpr int AccessDenied = 5;
constexpr int ReadBeyondEnd = 100;
constexpr int DiskFull = 101;
} // namespace IoCode

} // namespace varnoquil
