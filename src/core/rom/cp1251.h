// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace varnoquil {

// Converts text in the Windows Cyrillic code page (1251) to UTF-8. ROM
// headers hold raw bytes; the window shows each byte as the character it
// stands for in that code page. The one byte the code page leaves undefined,
// 0x98, becomes U+0098, as the Windows conversion gives it.
std::string Cp1251ToUtf8(const std::string& bytes);

} // namespace varnoquil
