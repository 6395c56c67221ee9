// Upper-casing by the system's own rules for its code page, which the bench
// also runs in a process whose code page is 1251.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "quotes/text.h"

namespace {

constexpr UINT kCyrillicCodePage = 1251;

TEST(Win32UpperCase, FollowsTheSystemsCodePage) {
    const UINT codePage = GetACP();
    std::printf("code page %u\n", codePage);
    // 0xB8 is a small yo under 1251 (capital 0xA8), a cedilla under 1252.
    const std::string yo = codePage == kCyrillicCodePage ? "\xA8" : "\xB8";
    EXPECT_EQ(quotes::UpperCase("\xB8"), yo);
    EXPECT_EQ(quotes::UpperCase("vod.l\xE0"), "VOD.L\xC0") << "letters of both pages";
    // Every byte as the system makes it.
    for (int byte = 1; byte < 256; ++byte) {
        char expected[] = {static_cast<char>(byte), '\0'};
        CharUpperBuffA(expected, 1);
        EXPECT_EQ(quotes::UpperCase(std::string(1, static_cast<char>(byte))), std::string(expected)) << byte;
    }
}

}  // namespace
