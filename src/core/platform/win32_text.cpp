// SPDX-License-Identifier: MIT
// Text in the encodings of old systems, converted by Windows' own code pages.
#include "platform/platform.h"

#include "platform/win32_common.h"

namespace varnoquil::platform {

std::optional<std::string> shiftJisToUtf8(const std::string& bytes)
{
    constexpr UINT kShiftJis = 932;
    const std::optional<std::wstring> wide = win32::decodedText(bytes, kShiftJis);
    if (!wide)
        return std::nullopt;
    return win32::utf8Text(*wide);
}

} // namespace varnoquil::platform
