// Byte values of the Japanese texts, as code page 932 gives them:
//   図寸 90 7D 90 A1   実寸 8E C0 90 A1   ｍ 82 8D   全角空白 81 40   ５ 82 54
//   ソ 83 5C   ノ 83 6D   モ 83 82   港 8D 60   ｐ 82 90   (無指定) 28 96 B3 8E 77 92 E8 29
#include <gtest/gtest.h>

#include <string>

#include "common/uMyFunc.h"

namespace {

#define ZUSUN "\x90\x7D\x90\xA1"
#define JISSUN "\x8E\xC0\x90\xA1"
#define ZEN_M "\x82\x8D"
#define ZEN_SPACE "\x81\x40"

std::string Bytes(const char* s, std::size_t n) {
    return std::string(s, n);
}

// ---- DigitsOnly

TEST(DigitsOnly, KeepsAsciiDigitsInOrder) {
    EXPECT_EQ(DigitsOnly(""), "");
    EXPECT_EQ(DigitsOnly("12.5"), "125");
    EXPECT_EQ(DigitsOnly(" -3 x 4e5 "), "345");
    EXPECT_EQ(DigitsOnly("abc"), "");
    EXPECT_EQ(DigitsOnly("0123456789"), "0123456789");
}

TEST(DigitsOnly, DropsTwoByteCharactersWithTheirTrailBytes) {
    EXPECT_EQ(DigitsOnly("\x82\x54"), "");  // full-width 5
    EXPECT_EQ(DigitsOnly("1" ZUSUN "mm2"), "12");
    EXPECT_EQ(DigitsOnly("\x82\x35"), "");                  // "5" is the trail byte
    EXPECT_EQ(DigitsOnly("\x9F\x35\xE0\x36\xFC\x37"), "");  // ends of the ranges
    EXPECT_EQ(DigitsOnly("5\x82"), "5");                    // a lone lead byte at the end
}

TEST(DigitsOnly, TakesAlso0x80And0xFDAsLeadBytes) {
    EXPECT_EQ(DigitsOnly("\x80\x35"), "");
    EXPECT_EQ(DigitsOnly("\xFD\x35"), "");
    EXPECT_EQ(DigitsOnly("1\x80"), "1");
    EXPECT_EQ(DigitsOnly("1\xFD"), "1");
    // Bytes outside both ranges stand alone, so the digit after them counts.
    EXPECT_EQ(DigitsOnly("\xA0\x35"), "5");
    EXPECT_EQ(DigitsOnly("\xB1\x35"), "5");  // half-width katakana
    EXPECT_EQ(DigitsOnly("\xDF\x35"), "5");
    EXPECT_EQ(DigitsOnly("\xFE\x35"), "5");
    EXPECT_EQ(DigitsOnly("\xFF\x35"), "5");
    EXPECT_EQ(DigitsOnly("\x7F\x35"), "5");
}

TEST(DigitsOnly, PairsFromTheStartOfTheText) {
    // 82 82 82 35: two characters (82 82) (82 35), no digit; starting the walk
    // anywhere else would find one.
    EXPECT_EQ(DigitsOnly("\x82\x82\x82\x35"), "");
    EXPECT_EQ(DigitsOnly("\x82\x82\x35"), "5");
}

// ---- StripBlanks

TEST(StripBlanks, DropsSpacesControlsAndFullWidthSpaces) {
    EXPECT_EQ(StripBlanks(""), "");
    EXPECT_EQ(StripBlanks(" 1 2 "), "12");
    EXPECT_EQ(StripBlanks("\t1\r\n2\x01\x1F"), "12");
    EXPECT_EQ(StripBlanks(ZEN_SPACE "1" ZEN_SPACE), "1");
    EXPECT_EQ(StripBlanks("   " ZEN_SPACE "\t"), "");
    EXPECT_EQ(StripBlanks(Bytes("1\0\x32", 3)), "12");
}

TEST(StripBlanks, KeepsEverythingElse) {
    EXPECT_EQ(StripBlanks("\x7F"), "\x7F");  // DEL is not below 0x20
    EXPECT_EQ(StripBlanks("!~"), "!~");
    EXPECT_EQ(StripBlanks("12.5" ZUSUN "mm"), "12.5" ZUSUN "mm");
    EXPECT_EQ(StripBlanks("\xA0\xFE\xFF"), "\xA0\xFE\xFF");
}

TEST(StripBlanks, AControlOrSpaceTrailByteBelongsToItsCharacter) {
    EXPECT_EQ(StripBlanks("\x82 "), "\x82 ");
    EXPECT_EQ(StripBlanks("\x82\t1"), "\x82\t1");
    EXPECT_EQ(StripBlanks("\x80 "), "\x80 ");  // 0x80 leads in this walk
    EXPECT_EQ(StripBlanks("\xFD "), "\xFD ");  // and so does 0xFD
    EXPECT_EQ(StripBlanks("\xFE "), "\xFE");   // 0xFE does not
    EXPECT_EQ(StripBlanks("1\x82"), "1\x82");  // a lone lead byte at the end is kept
}

TEST(StripBlanks, FullWidthSpaceOnlyAtACharacterBoundary) {
    // 88 81 | 40: the 81 is a trail byte, so no full-width space is there.
    EXPECT_EQ(StripBlanks("\x88\x81\x40"), "\x88\x81\x40");
    // 81 81 | 40 ...: likewise; then 81 40 on a boundary goes.
    EXPECT_EQ(StripBlanks("\x81\x81\x40" ZEN_SPACE), "\x81\x81\x40");
}

// ---- MakeValueEntry

TEST(MakeValueEntry, AppendsTheSuffixOfEachUnit) {
    struct {
        int code;
        std::string expected;
    } cases[] = {{0, "12.5"}, {1, "12.5" ZUSUN "mm"}, {2, "12.5" ZEN_M}, {3, "12.5" ZUSUN ZEN_M}};
    for (const auto& c : cases) {
        ValueEntry e = MakeValueEntry("12.5", c.code);
        EXPECT_TRUE(e.ok) << c.code;
        EXPECT_EQ(e.text, c.expected) << c.code;
    }
}

TEST(MakeValueEntry, KeepsTheNumberExactlyAsTyped) {
    ValueEntry e = MakeValueEntry(" 3 ", 0);
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.text, " 3 ");
    e = MakeValueEntry("\t007" ZEN_SPACE, 1);
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.text, "\t007" ZEN_SPACE ZUSUN "mm");
}

TEST(MakeValueEntry, NeedsAnAsciiDigit) {
    for (const char* text : {"", "   ", "abc", "\x82\x54", ZEN_SPACE, "\t\r\n", "\x82\x35", "\x80\x31", "\xFD\x31"}) {
        for (int code = 0; code <= 3; ++code) {
            ValueEntry e = MakeValueEntry(text, code);
            EXPECT_FALSE(e.ok) << "'" << text << "' code " << code;
            EXPECT_EQ(e.text, "");
        }
    }
}

TEST(MakeValueEntry, AsksNoMoreThanADigitAndANonBlank) {
    for (const char* text : {"-5", "x1", "1.2.3", "9abc", "\x82\x54\x31"}) {
        ValueEntry e = MakeValueEntry(text, 0);
        EXPECT_TRUE(e.ok) << text;
        EXPECT_EQ(e.text, text);
    }
}

TEST(MakeValueEntry, RejectsUnitCodesOutsideZeroToThree) {
    for (int code : {-1, 4, 100, INT32_MIN, INT32_MAX}) {
        ValueEntry e = MakeValueEntry("12.5", code);
        EXPECT_FALSE(e.ok) << code;
        EXPECT_EQ(e.text, "") << code;
    }
}

// ---- SplitValueEntry

void ExpectSplit(const std::string& entry, const std::string& number, int code) {
    SplitEntry s = SplitValueEntry(entry);
    EXPECT_EQ(s.number, number) << "entry: " << entry;
    EXPECT_EQ(s.unitCode, code) << "entry: " << entry;
}

TEST(SplitValueEntry, SplitsWhatMakeValueEntryBuilds) {
    ExpectSplit("12.5" ZUSUN "mm", "12.5", 1);
    ExpectSplit("12.5" ZEN_M, "12.5", 2);
    ExpectSplit("12.5" ZUSUN ZEN_M, "12.5", 3);
    ExpectSplit("12.5", "12.5", 0);
    for (const char* number : {"12.5", " 3 ", "0", "-5", "x1", "1e3"}) {
        for (int code = 0; code <= 3; ++code) {
            ValueEntry e = MakeValueEntry(number, code);
            ASSERT_TRUE(e.ok);
            ExpectSplit(e.text, number, code);
        }
    }
}

TEST(SplitValueEntry, ReadsHandTypedForms) {
    ExpectSplit("40mm", "40", 0);
    ExpectSplit("7m", "7", 2);
    ExpectSplit("7" JISSUN "mm", "7", 0);
    ExpectSplit("2" JISSUN "m", "2", 2);
    ExpectSplit("2" JISSUN ZEN_M, "2", 2);
    ExpectSplit("3" ZUSUN "m", "3", 3);
    ExpectSplit("7" ZEN_M ZEN_M, "7", 2);
    ExpectSplit("", "", 0);
    ExpectSplit("mm", "", 0);
    ExpectSplit(ZUSUN "mm", "", 1);
}

TEST(SplitValueEntry, TextWithoutAPatternIsTheNumber) {
    ExpectSplit("(\x96\xB3\x8E\x77\x92\xE8)", "(\x96\xB3\x8E\x77\x92\xE8)", 0);  // (無指定)
    ExpectSplit("12.5M", "12.5M", 0);
    ExpectSplit("12.5MM", "12.5MM", 0);
    ExpectSplit("5" ZUSUN, "5" ZUSUN, 0);
    ExpectSplit("5\x82\x6D", "5\x82\x6D", 0);  // full-width N, trail byte 'm'
}

TEST(SplitValueEntry, AppliesEveryPatternToWhatIsLeft) {
    ExpectSplit("1m" ZUSUN "mm", "1", 2);             // pattern 2, then 8
    ExpectSplit("7" ZUSUN "mm" JISSUN "mm", "7", 1);  // pattern 1, then 2
    ExpectSplit("7" JISSUN "mm" ZUSUN "mm", "7", 0);  // pattern 1 cuts the rest away
    ExpectSplit("4mm" ZEN_M, "4", 0);                 // pattern 7, and 9 finds nothing left
    ExpectSplit("4" ZEN_M "mm", "4", 2);              // pattern 7, then 9
}

TEST(SplitValueEntry, MatchesNeverStartOnATrailByte) {
    // ノ is 83 6D: its trail byte is "m".
    ExpectSplit("12\x83\x6D", "12\x83\x6D", 0);
    // 83 6D 6D: "mm" at the trail byte must not match; the lone "m" after it does.
    ExpectSplit("12\x83\x6Dm", "12\x83\x6D", 2);
    // モ港 is 83 82 8D 60: "ｍ" (82 8D) straddles two characters.
    ExpectSplit("5\x83\x82\x8D\x60", "5\x83\x82\x8D\x60", 0);
    // ｐ is 82 90, so 90 7D 90 A1 6D 6D after it starts on a trail byte.
    ExpectSplit("5\x82\x90\x7D\x90\xA1mm", "5\x82\x90\x7D\x90\xA1", 0);
    // ヮ is 83 8E, so 8E C0 90 A1 after it starts on a trail byte; C0 is
    // then a one-byte character and 90 A1 寸.
    ExpectSplit("5\x83\x8E\xC0\x90\xA1mm", "5\x83\x8E\xC0\x90\xA1", 0);
    // ソ is 83 5C: a trail byte that is no pattern byte changes nothing.
    ExpectSplit("\x83\x5C\x35mm", "\x83\x5C\x35", 0);
}

TEST(SplitValueEntry, UsesOnlyCodePage932LeadBytes) {
    // 0x80 and 0xFD lead in DigitsOnly's walk, but not here.
    ExpectSplit("5\x80m", "5\x80", 2);
    ExpectSplit("5\xFDm", "5\xFD", 2);
    ExpectSplit("5\xFDmm", "5\xFD", 0);
    // 0x81 and 0xFC, the ends of the ranges, do lead.
    ExpectSplit("5\x81m", "5\x81m", 0);
    ExpectSplit("5\xFCm", "5\xFCm", 0);
    ExpectSplit("5\x9Fm", "5\x9Fm", 0);
    ExpectSplit("5\xE0m", "5\xE0m", 0);
    // Half-width katakana are one byte each.
    ExpectSplit("5\xB1m", "5\xB1", 2);
}

}  // namespace
