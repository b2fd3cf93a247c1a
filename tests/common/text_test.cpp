#include "common/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, Latin1KeepsLowRangeAndMarksTheRest) {
    EXPECT_EQ(pm::ToLatin1(L"Gr\u00fc\u00dfe \u00ff"), std::string("Gr\xfc\xdf" "e \xff"));
    EXPECT_EQ(pm::ToLatin1(L"a\u0100b\u20acc"), "a?b?c");
    EXPECT_EQ(pm::ToLatin1(std::wstring(L"x\0y", 3)), std::string("x\0y", 3));
}

TEST(Text, Utf16LeEncodesExplicitly) {
    EXPECT_EQ(pm::ToUtf16Le(L"A\u00e4\u20ac"), std::string("A\0\xe4\0\xac\x20", 6));
}

TEST(Text, CrLfAndCaseFolding) {
    EXPECT_EQ(pm::WithCrLf("a\nb\n"), "a\r\nb\r\n");
    EXPECT_TRUE(pm::EqualsIgnoreAsciiCase(L"Brightfen LAB", L"brightfen lab"));
    EXPECT_FALSE(pm::EqualsIgnoreAsciiCase(L"\u00c4", L"\u00e4"));
    EXPECT_EQ(pm::AsciiUpper(L"bmp\u00e4"), L"BMP\u00e4");
}

}  // namespace
