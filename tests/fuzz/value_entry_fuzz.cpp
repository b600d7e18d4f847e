// The value entry rules. The first byte picks the unit code (mostly 0..3,
// sometimes just outside), the rest is the text.
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/uMyFunc.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The walk of DigitsOnly and StripBlanks pairs 0x80 and 0xFD too.
bool WalkLead(unsigned char b) {
    return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
}

// The characters of the text by that walk.
std::vector<std::string_view> Characters(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t n = (WalkLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

const std::string_view kSuffix[4] = {"", "\x90\x7D\x90\xA1mm", "\x82\x8D", "\x90\x7D\x90\xA1\x82\x8D"};

const std::string_view kPatterns[] = {
    "\x8E\xC0\x90\xA1mm",
    "\x90\x7D\x90\xA1mm",
    "\x8E\xC0\x90\xA1m",
    "\x8E\xC0\x90\xA1\x82\x8D",
    "\x90\x7D\x90\xA1m",
    "\x90\x7D\x90\xA1\x82\x8D",
    "mm",
    "m",
    "\x82\x8D",
};

// True when some unit pattern begins on a character boundary before `limit`.
bool PatternBefore(std::string_view s, std::size_t limit) {
    std::vector<bool> b = fuzz::Boundaries(s);
    for (std::size_t i = 0; i < limit && i < s.size(); ++i) {
        if (!b[i]) continue;
        for (auto p : kPatterns)
            if (s.compare(i, p.size(), p) == 0) return true;
    }
    return false;
}

int UnitFrom(uint8_t b) {
    if (b == 0xFF) return INT_MIN;
    if (b == 0xFE) return INT_MAX;
    return b % 6 - 1;  // -1..4
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int unit = UnitFrom(data[0]);
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    // DigitsOnly: the one-byte ASCII digits, in order.
    std::string digits = DigitsOnly(text), expectDigits, expectStripped;
    for (char c : digits) FUZZ_CHECK(fuzz::IsDec(c));
    for (auto ch : Characters(text)) {
        if (ch.size() == 1 && fuzz::IsDec(ch[0])) expectDigits += ch;
        bool blank = ch.size() == 1 ? static_cast<unsigned char>(ch[0]) <= 0x20 : ch == "\x81\x40";
        if (!blank) expectStripped += ch;
    }
    FUZZ_CHECK(digits == expectDigits);
    FUZZ_CHECK(DigitsOnly(digits) == digits);
    FUZZ_CHECK(StripBlanks(text) == expectStripped);
    FUZZ_CHECK(StripBlanks(text).size() <= text.size());

    // MakeValueEntry: succeeds exactly when there is a digit, a non-blank and
    // a valid unit, and then gives the text unchanged followed by the suffix.
    ValueEntry e = MakeValueEntry(text, unit);
    const bool shouldSucceed = !expectDigits.empty() && !expectStripped.empty() && unit >= 0 && unit <= 3;
    FUZZ_CHECK(e.ok == shouldSucceed);
    if (!e.ok) {
        FUZZ_CHECK(e.text.empty());
    } else {
        FUZZ_CHECK(e.text.size() >= text.size() && std::string_view(e.text).substr(0, text.size()) == text);
        FUZZ_CHECK(std::string_view(e.text).substr(text.size()) == kSuffix[unit]);
    }

    // SplitValueEntry of anything: a prefix of it, with no pattern left in the
    // number, and a unit code in range.
    SplitEntry s = SplitValueEntry(text);
    FUZZ_CHECK(s.unitCode >= 0 && s.unitCode <= 3);
    FUZZ_CHECK(s.number.size() <= text.size() && text.substr(0, s.number.size()) == s.number);
    FUZZ_CHECK(!PatternBefore(s.number, s.number.size()));
    if (!PatternBefore(text, text.size())) FUZZ_CHECK(s.number == text && s.unitCode == 0);

    // An entry whose text holds no pattern, not even one completed by the
    // suffix, and whose suffix starts on a character boundary, splits back
    // into the text and the unit.
    if (e.ok && !PatternBefore(e.text, text.size()) && fuzz::Boundaries(e.text)[text.size()]) {
        SplitEntry back = SplitValueEntry(e.text);
        FUZZ_CHECK(back.number == text);
        FUZZ_CHECK(back.unitCode == unit);
    }
    return 0;
}
