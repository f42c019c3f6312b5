// SPDX-License-Identifier: MIT
// Drives on Windows: the system's drive letters, each with its volume label
// or its kind.
#include "platform/platform.h"

#include "platform/win32_common.h"

namespace varnoquil::platform {

using namespace win32;

namespace {

std::string kindOf(UINT type)
{
    switch (type) {
    case DRIVE_REMOVABLE: return "Removable";
    case DRIVE_REMOTE: return "Remote";
    case DRIVE_CDROM: return "CDROM";
    case DRIVE_RAMDISK: return "RAM";
    default: return "Fixed";
    }
}

// A drive with no medium in it (an empty card reader) has no label.
std::string labelOf(const std::wstring& root)
{
    wchar_t label[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
        return {};
    return utf8Text(label);
}

// Keeps the system from asking the user to insert a disk while the drives
// are looked at.
class NoErrorDialogs {
public:
    NoErrorDialogs() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_); }
    ~NoErrorDialogs() { ::SetThreadErrorMode(previous_, nullptr); }
    NoErrorDialogs(const NoErrorDialogs&) = delete;
    NoErrorDialogs& operator=(const NoErrorDialogs&) = delete;

private:
    DWORD previous_ = 0;
};

} // namespace

std::vector<Drive> listDrives()
{
    const NoErrorDialogs quiet;
    std::wstring roots(::GetLogicalDriveStringsW(0, nullptr), L'\0');
    roots.resize(::GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data()));
    std::vector<Drive> drives;
    // The roots come one after another, each ended by a null character.
    for (std::size_t at = 0; at < roots.size();) {
        const std::wstring root = roots.c_str() + at;
        at += root.size() + 1;
        const UINT type = ::GetDriveTypeW(root.c_str());
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN)
            continue;
        const std::string label = labelOf(root);
        drives.push_back({utf8Text(root), label.empty() ? kindOf(type) : label});
    }
    return drives;
}

} // namespace varnoquil::platform
