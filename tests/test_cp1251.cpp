// SPDX-License-Identifier: MIT
#include "rom/cp1251.h"

#include <gtest/gtest.h>

#include <iconv.h>

// Every defined byte as the system's own converter gives it; the undefined
// 0x98 as its C1 control; zero bytes kept for the caller to cut at.
TEST(Cp1251, ConvertsEveryByteLikeTheSystemConverter)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += byte == 0x98 ? '\0' : static_cast<char>(byte);
    std::string expected(all.size() * 3, '\0');
    iconv_t cd = ::iconv_open("UTF-8", "CP1251");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    char *in = all.data(), *out = expected.data();
    std::size_t inLeft = all.size(), outLeft = expected.size();
    ASSERT_NE(::iconv(cd, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1));
    ::iconv_close(cd);
    expected.resize(expected.size() - outLeft);
    EXPECT_EQ(varnoquil::Cp1251ToUtf8(all), expected);
    EXPECT_EQ(varnoquil::Cp1251ToUtf8("\xC0\xFF\xB9\x98"), "Ая№\xC2\x98");
}
