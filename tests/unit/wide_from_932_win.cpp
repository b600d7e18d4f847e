// Code page 932 bytes to the wide texts the windows show: the quick ways
// (plain ASCII, one call for a valid text) give exactly what converting
// character by character gives, invalid bytes included.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "os/Cp932_win.h"

namespace {

// The reference: one call a character, U+FFFD for each byte of one that
// does not convert.
std::wstring OneByOne(const std::string& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        std::size_t len = lead && i + 1 < text.size() ? 2 : 1;
        wchar_t w[2];
        if (::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data() + i, static_cast<int>(len), w, 2) == 1)
            out.push_back(w[0]);
        else
            out.append(len, L'\xFFFD');
        i += len;
    }
    return out;
}

TEST(WideFrom932, AsciiJapaneseAndInvalidBytes) {
    EXPECT_EQ(os::WideFrom932("a\\b~c"), L"a\\b~c");
    EXPECT_EQ(os::WideFrom932(std::string("x\0y", 3)), std::wstring(L"x\0y", 3));
    EXPECT_EQ(os::WideFrom932("12.5\x90\x7d\x90\xa1mm"), L"12.5図寸mm");
    EXPECT_EQ(os::WideFrom932("\xB1"), L"\xFF71");  // half-width katakana
    EXPECT_EQ(os::WideFrom932("5\x90"), L"5\xFFFD") << "a lone lead byte at the end";
    EXPECT_EQ(os::WideFrom932("\x90\x7d\x81\x0a"), L"図\xFFFD\xFFFD") << "a lead byte with no trail byte";
    // Windows' own table gives these two bytes private-use characters,
    // Wine's none; either way each stays one character of its own.
    const std::wstring odd = os::WideFrom932("\xA0 \xFD");
    ASSERT_EQ(odd.size(), 3u);
    EXPECT_TRUE(odd[0] == L'\xFFFD' || odd[0] == L'\xF8F0') << static_cast<unsigned>(odd[0]);
    EXPECT_EQ(odd[1], L' ');
    EXPECT_TRUE(odd[2] == L'\xFFFD' || odd[2] == L'\xF8F1') << static_cast<unsigned>(odd[2]);
    EXPECT_EQ(os::WideFrom932(""), L"");
}

TEST(WideFrom932, AgreesWithCharacterByCharacterForAnyBytes) {
    std::mt19937 rng(932);
    const char pool[] = "a1.\\~\x81\x82\x88\x90\x7d\xa1\x40\x7f\x80\xa0\xb1\xdf\xe0\xea\xfc\xfd\xff";
    std::wstring reused;  // as a list fill uses it: one buffer for every entry
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int n = static_cast<int>(rng() % 12); n > 0; --n) text += pool[rng() % (sizeof pool - 1)];
        const std::wstring expected = OneByOne(text);
        ASSERT_EQ(os::WideFrom932(text), expected) << "bytes: " << ::testing::PrintToString(text);
        os::WideFrom932(text, reused);
        ASSERT_EQ(reused, expected) << "bytes: " << ::testing::PrintToString(text);
    }
}

}  // namespace
