// SPDX-License-Identifier: MIT
#include "platform/win32_common.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace varnoquil::platform::win32 {

namespace {

// Win32 calls take paths of up to 259 characters unless they carry the
// "\\?\" prefix, which turns off the system's own path rules (no "/", no
// "..", no relative paths): such a path is made absolute first.
constexpr std::size_t kClassicPathLimit = 259;
// ERROR_DISK_QUOTA_EXCEEDED, which MinGW's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

std::wstring withLongPathPrefix(const std::wstring& path)
{
    if (path.rfind(L"\\\\", 0) != 0)
        return L"\\\\?\\" + path;
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0)
        return path;
    return L"\\\\?\\UNC\\" + path.substr(2);
}

// The program's code for a Win32 error, or 0 when it has none. The first
// codes are the ones the program's numbering was taken from.
int codeForWin32Error(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return IoCode::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return IoCode::InvalidFilename;
    case ERROR_TOO_MANY_OPEN_FILES: return IoCode::TooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_DELETE_PENDING: return IoCode::AccessDenied;
    case ERROR_HANDLE_EOF: return IoCode::ReadBeyondEnd;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
    case kDiskQuotaExceeded: return IoCode::DiskFull;
    default: return 0;
    }
}

std::string upperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return text;
}

} // namespace

std::optional<std::wstring> decodedText(const std::string& bytes, UINT codePage)
{
    if (bytes.empty())
        return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (needed <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), needed);
    return wide;
}

std::wstring wideText(const std::string& text)
{
    std::optional<std::wstring> wide = decodedText(text, CP_UTF8);
    if (!wide)
        throw IoError(IoCode::InvalidFilename);
    return std::move(*wide);
}

std::optional<std::wstring> fullPathOf(const std::wstring& path)
{
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::nullopt;
    std::wstring full(needed, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return std::nullopt;
    full.resize(written);
    return full;
}

std::string utf8Text(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(std::max(needed, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

std::wstring widePath(const std::string& path)
{
    std::wstring wide = wideText(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.size() <= kClassicPathLimit || wide.rfind(L"\\\\?\\", 0) == 0)
        return wide;
    return withLongPathPrefix(fullPathOf(wide).value_or(wide));
}

IoError errorFor(DWORD code)
{
    return IoError::fromSystem(codeForWin32Error(code), static_cast<int>(code));
}

bool isDeviceName(const std::string& path)
{
    if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("//./", 0) == 0)
        return true;
    const std::size_t start = path.find_last_of("\\/:");
    std::string name = upperCase(path.substr(start == std::string::npos ? 0 : start + 1));
    // The device is named by what stands before the first dot, trailing
    // blanks left out: "nul .txt" is NUL.
    name = name.substr(0, name.find('.'));
    name.erase(name.find_last_not_of(' ') + 1);
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::find(std::begin(devices), std::end(devices), name) != std::end(devices))
        return true;
    const bool numbered = name.size() == 4 && (name.rfind("COM", 0) == 0 || name.rfind("LPT", 0) == 0);
    return numbered && name[3] >= '1' && name[3] <= '9';
}

DWORD requireRegularPath(const std::string& path, Role role)
{
    if (isDeviceName(path))
        throw NotRegularFileError(role);
    const DWORD attributes = ::GetFileAttributesW(widePath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw IoError(IoCode::AccessDenied);
    return attributes;
}

void requireDiskFile(HANDLE handle, Role role)
{
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        throw NotRegularFileError(role);
}

} // namespace varnoquil::platform::win32
