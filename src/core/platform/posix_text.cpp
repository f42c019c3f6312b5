// SPDX-License-Identifier: MIT
// Text in the encodings of old systems, converted by iconv.
#include "platform/platform.h"

#include <iconv.h>

namespace varnoquil::platform {

std::optional<std::string> shiftJisToUtf8(const std::string& bytes)
{
    iconv_t converter = ::iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr): iconv_open's failure value
        return std::nullopt;
    // Every Shift_JIS character, one byte or two, takes at most 3 bytes in UTF-8.
    std::string out(3 * bytes.size(), '\0');
    char* in = const_cast<char*>(bytes.data());
    char* to = out.data();
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    const std::size_t result = ::iconv(converter, &in, &inLeft, &to, &outLeft);
    ::iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace varnoquil::platform
