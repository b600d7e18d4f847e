// Code page 932 character walks. ソ is 83 5C, ノ is 83 6D, ギ is 83 4D:
// trail bytes that look like "\\", "m" and "M".
#include <gtest/gtest.h>

#include <string_view>

#include "common/Cp932.h"

namespace {

TEST(Cp932, LeadBytesAreThoseOfCodePage932Proper) {
    int leads = 0;
    for (int b = 0; b < 256; ++b) {
        bool expected = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(cp932::IsLeadByte(static_cast<unsigned char>(b)), expected) << std::hex << b;
        leads += expected;
    }
    EXPECT_EQ(leads, 31 + 29);
}

TEST(Cp932, CharLengthPairsALeadByteWithTheNextByte) {
    constexpr std::string_view s = "a\x83\x5C\xB1\x83";
    EXPECT_EQ(cp932::CharLength(s, 0), 1u);
    EXPECT_EQ(cp932::CharLength(s, 1), 2u);
    EXPECT_EQ(cp932::CharLength(s, 3), 1u);  // half-width katakana
    EXPECT_EQ(cp932::CharLength(s, 4), 1u) << "a lead byte at the end stands alone";
}

TEST(Cp932, PreviousCharStartStepsBackOneCharacter) {
    constexpr std::string_view s = "a\x83\x5C\x62\x83\x83\x83\x5C";
    EXPECT_EQ(cp932::PreviousCharStart(s, 0), 0u);
    EXPECT_EQ(cp932::PreviousCharStart(s, 1), 0u);
    EXPECT_EQ(cp932::PreviousCharStart(s, 3), 1u);
    EXPECT_EQ(cp932::PreviousCharStart(s, 4), 3u);
    EXPECT_EQ(cp932::PreviousCharStart(s, 6), 4u);
    EXPECT_EQ(cp932::PreviousCharStart(s, 8), 6u) << "5C here is a trail byte, not a character";
    constexpr std::string_view lone = "x\x83";
    EXPECT_EQ(cp932::PreviousCharStart(lone, 2), 1u);
}

TEST(Cp932, StartsWithFoldsAsciiLettersOnly) {
    EXPECT_TRUE(cp932::StartsWithIgnoringAsciiCase("K307.EXE", "k307."));
    EXPECT_TRUE(cp932::StartsWithIgnoringAsciiCase("abc", "ABC"));
    EXPECT_TRUE(cp932::StartsWithIgnoringAsciiCase("abc", ""));
    EXPECT_FALSE(cp932::StartsWithIgnoringAsciiCase("ab", "abc"));
    EXPECT_FALSE(cp932::StartsWithIgnoringAsciiCase("[", "{"));
    EXPECT_FALSE(cp932::StartsWithIgnoringAsciiCase("@", "`"));
    EXPECT_TRUE(cp932::StartsWithIgnoringAsciiCase("12.5\x90\x7D\x90\xA1mm", "12.5\x90\x7D"));
}

TEST(Cp932, StartsWithComparesTwoByteCharactersExactly) {
    // ノ (83 6D) and ギ (83 4D) would be equal if the trail byte were folded.
    EXPECT_FALSE(cp932::StartsWithIgnoringAsciiCase("\x83\x4D", "\x83\x6D"));
    EXPECT_FALSE(cp932::StartsWithIgnoringAsciiCase("\x83\x6D", "\x83\x4D"));
    EXPECT_TRUE(cp932::StartsWithIgnoringAsciiCase("\x83\x6Dx", "\x83\x6D"));
    // A prefix that ends in half a character matches no whole character.
    EXPECT_FALSE(cp932::StartsWithIgnoringAsciiCase("\x83\x6D", "\x83"));
}

}  // namespace
