// SPDX-License-Identifier: MIT
#pragma once

#include "errors.h"

#include <optional>
#include <string>

#include <windows.h>

// Conversions, checks and error codes shared by the Windows files of the
// platform layer. Paths are UTF-8 inside the program and UTF-16 at every
// Win32 call.
namespace varnoquil::platform::win32 {

// A UTF-8 path as Win32 calls take it: with backslashes, and made absolute
// with the "\\?\" prefix when it is too long for the classic limit of 260
// characters. A text that is not UTF-8 raises "Invalid filename".
std::wstring widePath(const std::string& path);
std::wstring wideText(const std::string& text);
std::string utf8Text(const std::wstring& text);
// Bytes in a Windows code page as UTF-16; none when they are not valid text
// of that code page.
std::optional<std::wstring> decodedText(const std::string& bytes, UINT codePage);
// The full path of a path, as the system resolves it against the current
// folder and drive; none when the system cannot.
std::optional<std::wstring> fullPathOf(const std::wstring& path);

// The error of a Win32 error code: the program's code when the table has
// one, otherwise "I/O error N" with the Win32 code.
IoError errorFor(DWORD code);
[[noreturn]] inline void raiseLastError(const std::string& path = {})
{
    RaiseFor(errorFor(::GetLastError()), path);
}

using Role = NotRegularFileError::Role;

// True for the names Windows gives to devices in every folder ("NUL",
// "CON", "COM1.txt", ...) and for paths into the device namespace ("\\.\").
bool isDeviceName(const std::string& path);

// Refuses what is not a regular file before it is opened: a device name, or
// a folder ("File access denied"). Returns the path's attributes, or
// INVALID_FILE_ATTRIBUTES when it does not exist.
DWORD requireRegularPath(const std::string& path, Role role);

// Refuses an open handle that is not a disk file (a console, a pipe, a
// printer), in case the path led somewhere other than its name says.
void requireDiskFile(HANDLE handle, Role role);

// Turns a Win32 failure into the program's errors for calls whose failures
// are usually passing: a file held by another program (a virus scanner, an
// indexer) is tried again a few times over about a second.
template <typename Call>
bool retryWhileShared(Call&& call)
{
    for (int attempt = 0;; ++attempt) {
        if (call())
            return true;
        const DWORD error = ::GetLastError();
        const bool shared = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
            || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
        if (!shared || attempt == 10)
            return false;
        ::Sleep(100);
    }
}

} // namespace varnoquil::platform::win32
