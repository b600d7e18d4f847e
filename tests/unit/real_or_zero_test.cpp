#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <limits>
#include <locale>
#include <string>

#include "common/uMyFunc.h"

namespace {

struct Case {
    const char* text;
    double expected;
};

void ExpectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(RealOrZero(c.text), c.expected) << "text: '" << c.text << "'";
}

TEST(RealOrZero, EmptyAndSignOnlyTextsGiveZero) {
    ExpectAll({{"", 0.0}, {"+", 0.0}, {"-", 0.0}, {"   ", 0.0}});
}

TEST(RealOrZero, ReadsPlainDecimals) {
    ExpectAll({{"0", 0.0},
               {"12", 12.0},
               {"12.5", 12.5},
               {"+12.5", 12.5},
               {"-12.5", -12.5},
               {"0.1", 0.1},
               {"007.25", 7.25},
               {"3.14159", 3.14159}});
}

TEST(RealOrZero, DigitsMayBeMissingOnEitherSideOfThePoint) {
    ExpectAll({{".", 0.0}, {"+.", 0.0}, {"-.", 0.0}, {"5.", 5.0}, {"-5.", -5.0}, {".5", 0.5}, {"-.5", -0.5}});
}

TEST(RealOrZero, ReadsExponentForms) {
    ExpectAll({{"1e3", 1000.0},
               {"1E3", 1000.0},
               {"1E+3", 1000.0},
               {"1e-3", 0.001},
               {"2.5e-1", 0.25},
               {"-2.5E+2", -250.0},
               {"1e03", 1000.0},
               {"5.e1", 50.0},
               {".5e1", 5.0},
               {"1e0", 1.0}});
}

TEST(RealOrZero, BrokenExponentsGiveZero) {
    ExpectAll({{"1e", 0.0},
               {"1E", 0.0},
               {"1e+", 0.0},
               {"1e-", 0.0},
               {"1e+-3", 0.0},
               {"1e3.5", 0.0},
               {"1e 3", 0.0},
               {"1 e3", 0.0},
               {"e3", 0.0},
               {"E3", 0.0},
               {"-e3", 0.0},
               {"1d3", 0.0}});
}

TEST(RealOrZero, OnlyLeadingSpaceBytesAreSkipped) {
    ExpectAll({{" 1.5", 1.5}, {"   -1.5", -1.5}});
    ExpectAll({{"\t1.5", 0.0}, {"\x81\x40\x31.5", 0.0}, {"\n1.5", 0.0}, {"- 1.5", 0.0}});
}

TEST(RealOrZero, NothingMayFollowTheNumber) {
    ExpectAll({{"1.5 ", 0.0},
               {"1.5\r", 0.0},
               {"1.5x", 0.0},
               {"1.5mm", 0.0},
               {"1..5", 0.0},
               {"1.2.3", 0.0},
               {"--1", 0.0},
               {"+-1", 0.0}});
}

TEST(RealOrZero, NonDecimalFormsGiveZero) {
    ExpectAll({{"1,5", 0.0},
               {"0x10", 0.0},
               {"$10", 0.0},
               {"inf", 0.0},
               {"-infinity", 0.0},
               {"nan", 0.0},
               {"NAN", 0.0},
               {"\x82\x50", 0.0}});  // full-width "1"
}

TEST(RealOrZero, ValuesBeyondTheRangeOfADoubleGiveZero) {
    ExpectAll({{"1e400", 0.0}, {"-1e400", 0.0}, {"1.8e308", 0.0}, {"1e99999999999", 0.0}});
    ExpectAll({{(std::string("1") + std::string(400, '0')).c_str(), 0.0}});
    // The largest double itself is in range, and so are the smallest ones.
    ExpectAll({{"1.7976931348623157e308", DBL_MAX}, {"-1e308", -1e308}});
    ExpectAll({{"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()}, {"1e-310", 1e-310}});
    // Too small for even the smallest: as good as zero.
    ExpectAll({{"1e-400", 0.0}, {"-1e-400", 0.0}});
}

TEST(RealOrZero, RoundsLongMantissasCorrectly) {
    ExpectAll({{"0.1000000000000000055511151231257827021181583404541015625", 0.1},
               {"2.2250738585072014e-308", DBL_MIN},
               {"123456789012345678901234567890", 123456789012345678901234567890.0},
               {(std::string("0.") + std::string(300, '0') + "1").c_str(), 1e-301}});
}

// Restores the C and C++ global locales however a test ends.
class LocaleGuard {
public:
    LocaleGuard() : cName_(std::setlocale(LC_ALL, nullptr)), cpp_(std::locale()) {}
    ~LocaleGuard() {
        std::locale::global(cpp_);
        std::setlocale(LC_ALL, cName_.c_str());
    }

private:
    std::string cName_;
    std::locale cpp_;
};

// Sets the C locale to one whose decimal separator is ",".
bool SetCommaCLocale(std::string& chosen) {
#ifdef _WIN32
    const char* names[] = {"German_Germany.1252", "German", "deu", "de-DE"};
#else
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};
#endif
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr && std::string(std::localeconv()->decimal_point) == ",") {
            chosen = name;
            return true;
        }
    }
    return false;
}

struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

void ExpectPointAlwaysSeparates() {
    ExpectAll({{"1.5", 1.5},
               {"-12.25", -12.25},
               {".5", 0.5},
               {"5.", 5.0},
               {"2.5e-1", 0.25},
               {"1e3", 1000.0},
               {"1,5", 0.0},
               {"1.000,5", 0.0},
               {"1e400", 0.0}});
}

TEST(RealOrZero, IgnoresACLocaleWithCommaSeparator) {
    LocaleGuard guard;
    std::string chosen;
    ASSERT_TRUE(SetCommaCLocale(chosen)) << "no C locale with decimal separator \",\" here; tools/test generates "
                                            "de_DE.UTF-8 on the host";
    SCOPED_TRACE("C locale " + chosen);
    ExpectPointAlwaysSeparates();
}

TEST(RealOrZero, IgnoresAGlobalCppLocaleWithCommaSeparator) {
    LocaleGuard guard;
    std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    ASSERT_EQ(std::use_facet<std::numpunct<char>>(std::locale()).decimal_point(), ',');
    ExpectPointAlwaysSeparates();

    // Both at once, as a program that takes the user's locale would have.
    std::string chosen;
    ASSERT_TRUE(SetCommaCLocale(chosen));
    ExpectPointAlwaysSeparates();
}

}  // namespace
