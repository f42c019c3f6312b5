// SPDX-License-Identifier: MIT
// Text in the encodings of old systems, converted by Windows' own code pages.
#include "platform/platform.h"

#include "platform/win32_common.h"

namespace varnoquil::platform {

std::optional<std::string> shiftJisToUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return std::string();
    constexpr UINT kShiftJis = 932;
    const int size = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (needed <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), needed);
    return win32::utf8Text(wide);
}

} // namespace varnoquil::platform
