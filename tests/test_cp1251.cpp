#include "cp1251.h"

#include <gtest/gtest.h>

#include <iconv.h>

using varnoquil::Cp1251ToUtf8;

namespace {

// The system's own converter, as an independent reference.
std::string SystemConversion(const std::string& bytes)
{
    iconv_t cd = ::iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string in = bytes, out(bytes.size() * 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const bool ok = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(cd);
    return ok ? out.substr(0, out.size() - outLeft) : std::string();
}

} // namespace

TEST(Cp1251, ShowsHeaderBytesAsCyrillicText)
{
    EXPECT_EQ(Cp1251ToUtf8(""), "");
    EXPECT_EQ(Cp1251ToUtf8("SEGA MEGA DRIVE \r\n~"), "SEGA MEGA DRIVE \r\n~");
    EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xDF\xE0\xFF"), "АЯая");
    EXPECT_EQ(Cp1251ToUtf8("\x80\xA8\xB8\xB9\x88\x99"), "ЂЁё№€™");
    // Zero bytes are kept: cutting the text is the caller's business.
    EXPECT_EQ(Cp1251ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    // The one undefined byte maps to the C1 control of the same number.
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xC2\x98");
}

TEST(Cp1251, AgreesWithTheSystemConverterOnEveryDefinedByte)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        if (byte != 0x98)
            all += static_cast<char>(byte);
    const std::string reference = SystemConversion(all);
    if (reference.empty())
        GTEST_SKIP() << "the system has no CP1251 converter";
    EXPECT_EQ(Cp1251ToUtf8(all), reference);
}
