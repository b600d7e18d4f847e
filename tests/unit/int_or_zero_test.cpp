#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "common/uMyFunc.h"

namespace {

struct Case {
    const char* text;
    int32_t expected;
};

void ExpectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(IntOrZero(c.text), c.expected) << "text: '" << c.text << "'";
}

TEST(IntOrZero, EmptyAndSignOnlyTextsGiveZero) {
    ExpectAll({{"", 0}, {"+", 0}, {"-", 0}, {" ", 0}, {"   ", 0}, {" +", 0}, {"+-1", 0}, {"--1", 0}, {"++1", 0}});
}

TEST(IntOrZero, ReadsSignedDecimals) {
    ExpectAll({{"0", 0}, {"7", 7}, {"12", 12}, {"+12", 12}, {"-12", -12}, {"-0", 0}, {"1234567890", 1234567890}});
}

TEST(IntOrZero, SkipsOnlyLeadingSpaceBytes) {
    ExpectAll({{" 5", 5}, {"    -5", -5}, {"  +5", 5}});
    // Tab, full-width space (81 40), other blanks: not skipped, so not a number.
    ExpectAll({{"\t5", 0}, {"\x81\x40\x35", 0}, {"\n5", 0}, {"\r5", 0}, {"\v5", 0}, {"\xA0\x35", 0}});
    // Between the sign and the digits nothing may stand.
    ExpectAll({{"- 5", 0}, {"+ 5", 0}});
}

TEST(IntOrZero, NothingMayFollowTheDigits) {
    ExpectAll({{"5 ", 0},
               {"5\t", 0},
               {"5\r", 0},
               {"5\n", 0},
               {"5a", 0},
               {"5.0", 0},
               {"1,000", 0},
               {"5\x81\x40", 0},
               {"$10 ", 0},
               {"0x1G", 0},
               {"12-", 0}});
}

TEST(IntOrZero, DecimalRangeIsThatOfA32BitInteger) {
    ExpectAll({{"2147483647", INT32_MAX},
               {"+2147483647", INT32_MAX},
               {"-2147483648", INT32_MIN},
               {"2147483648", 0},
               {"-2147483649", 0},
               {"4294967295", 0},
               {"4294967296", 0},
               {"99999999999999999999999", 0},
               {"-99999999999999999999999", 0}});
}

TEST(IntOrZero, LeadingZerosAreDecimalNotOctal) {
    ExpectAll({{"010", 10}, {"0010", 10}, {"-010", -10}, {"08", 8}, {"09", 9}, {"00", 0}});
    // Leading zeros do not count against the range.
    ExpectAll({{"000000000000002147483647", INT32_MAX}, {"-00000000000002147483648", INT32_MIN}});
}

TEST(IntOrZero, ReadsEveryHexadecimalPrefix) {
    ExpectAll({{"$10", 16}, {"x10", 16}, {"X10", 16}, {"0x10", 16}, {"0X10", 16}, {" $1f", 31}, {"  0xA", 10}});
}

TEST(IntOrZero, HexadecimalDigitsInEitherCase) {
    ExpectAll({{"$abcdef", 0xABCDEF}, {"$ABCDEF", 0xABCDEF}, {"0xAbCdEf", 0xABCDEF}, {"x0123456", 0x123456}});
}

TEST(IntOrZero, HexadecimalTakesThe32BitsAsSigned) {
    ExpectAll({{"$FFFFFFFF", -1},
               {"$ffffffff", -1},
               {"0x80000000", INT32_MIN},
               {"0x7FFFFFFF", INT32_MAX},
               {"$FFFFFFFE", -2}});
}

TEST(IntOrZero, SignBeforeHexadecimalIsAcceptedAndIgnored) {
    ExpectAll({{"-$10", 16}, {"+$10", 16}, {"-0x10", 16}, {"-x10", 16}, {"-$FFFFFFFF", -1}, {" -X1", 1}});
}

TEST(IntOrZero, AtMostEightSignificantHexadecimalDigits) {
    ExpectAll({{"$123456789", 0}, {"0x100000000", 0}, {"$FFFFFFFFF", 0}});
    // Leading zeros are not significant, however many.
    ExpectAll({{"$000000000001", 1}, {"0x0000000000FFFFFFFF", -1}, {"$00000000000000000000", 0}, {"$0", 0}});
}

TEST(IntOrZero, BrokenHexadecimalFormsGiveZero) {
    ExpectAll({{"$", 0},
               {"x", 0},
               {"0x", 0},
               {"0X", 0},
               {"-$", 0},
               {"$-1", 0},
               {"$+1", 0},
               {"$ 1", 0},
               {"$$1", 0},
               {"0x0x1", 0},
               {"00x1", 0},
               {"1x1", 0},
               {"$g", 0},
               {"#10", 0},
               {"&H10", 0},
               {"h10", 0}});
}

TEST(IntOrZero, StopsAtAnEmbeddedZeroByte) {
    // The text is the whole byte string; a zero byte is just a non-digit.
    EXPECT_EQ(IntOrZero(std::string("12\0\x33", 4)), 0);
    EXPECT_EQ(IntOrZero(std::string("12", 2)), 12);
}

}  // namespace
