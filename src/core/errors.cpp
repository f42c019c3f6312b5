#include "errors.h"

namespace varnoquil {

IoError::IoError(int code) : Error(textFor(code)), code_(code) {}

std::string IoError::textFor(int code)
{
    switch (code) {
    case IoCode::FileNotFound: return "File not found";
    case IoCode::InvalidFilename: return "Invalid filename";
    case IoCode::TooManyOpenFiles: return "Too many open files";
    case IoCode::AccessDenied: return "File access denied";
    case IoCode::ReadBeyondEnd: return "Read beyond end of file";
    case IoCode::DiskFull: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
    }
}

ConvertError::ConvertError(const std::string& text)
    : Error("'" + text + "' is not a valid floating point value")
{
}

} // namespace varnoquil
