#include "common/uMyFunc.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "common/Cp932.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::size_t SkipSpaces(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return i;
}

// The walk of DigitsOnly and StripBlanks: these take 0x80 and 0xFD as lead
// bytes too, unlike code page 932 proper, and a stored entry depends on it.
bool IsWalkLeadByte(unsigned char b) {
    return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
}

template <typename Keep>
std::string WalkKeeping(std::string_view text, Keep keep) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t len = (IsWalkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
        std::string_view ch = text.substr(i, len);
        if (keep(ch)) out.append(ch);
        i += len;
    }
    return out;
}

// First occurrence of `pattern` in `s` that starts on a character boundary.
std::size_t FindOnBoundary(std::string_view s, std::string_view pattern) {
    for (std::size_t i = 0; i + pattern.size() <= s.size(); i += cp932::CharLength(s, i)) {
        if (s.compare(i, pattern.size(), pattern) == 0) return i;
    }
    return std::string_view::npos;
}

}  // namespace

int32_t IntOrZero(std::string_view text) {
    std::size_t i = SkipSpaces(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string_view rest = text.substr(i);
    if (rest.empty()) return 0;

    std::size_t prefix = 0;
    if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X') {
        prefix = 1;
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        prefix = 2;
    }
    if (prefix > 0) {
        std::string_view digits = rest.substr(prefix);
        if (digits.empty()) return 0;
        uint32_t value = 0;
        int significant = 0;
        for (char c : digits) {
            int d = HexValue(c);
            if (d < 0) return 0;
            if (significant > 0 || d != 0) ++significant;
            if (significant > 8) return 0;
            value = (value << 4) | static_cast<uint32_t>(d);
        }
        // The sign is accepted before a hexadecimal number but has no effect.
        return static_cast<int32_t>(value);
    }

    int64_t value = 0;
    for (char c : rest) {
        if (!IsDigit(c)) return 0;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) return 0;
    }
    if (negative) return static_cast<int32_t>(-value);
    if (value > 2147483647LL) return 0;
    return static_cast<int32_t>(value);
}

double RealOrZero(std::string_view text) {
    std::size_t i = SkipSpaces(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string_view rest = text.substr(i);
    if (rest.empty()) return 0.0;

    std::size_t p = 0;
    std::size_t intStart = p;
    while (p < rest.size() && IsDigit(rest[p])) ++p;
    std::string_view intPart = rest.substr(intStart, p - intStart);
    std::string_view fracPart;
    bool hasPoint = false;
    if (p < rest.size() && rest[p] == '.') {
        hasPoint = true;
        std::size_t fracStart = ++p;
        while (p < rest.size() && IsDigit(rest[p])) ++p;
        fracPart = rest.substr(fracStart, p - fracStart);
    }
    if (intPart.empty() && !hasPoint) return 0.0;  // no mantissa at all
    std::string_view expPart;
    if (p < rest.size() && (rest[p] == 'e' || rest[p] == 'E')) {
        std::size_t expStart = ++p;
        if (p < rest.size() && (rest[p] == '+' || rest[p] == '-')) ++p;
        std::size_t digitsStart = p;
        while (p < rest.size() && IsDigit(rest[p])) ++p;
        if (p == digitsStart) return 0.0;
        expPart = rest.substr(expStart, p - expStart);
    }
    if (p != rest.size()) return 0.0;

    // from_chars is locale-independent; give it the plain form it reads.
    std::string plain;
    plain.reserve(rest.size() + 4);
    if (negative) plain += '-';
    plain += intPart.empty() ? std::string_view("0") : intPart;
    plain += '.';
    plain += fracPart.empty() ? std::string_view("0") : fracPart;
    if (!expPart.empty()) {
        plain += 'e';
        plain += expPart;
    }
    double value = 0.0;
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Beyond a double: 0.0, so such a time stamp is never taken for newer.
        // A value too small to hold is as good as zero anyway.
        return 0.0;
    }
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) return 0.0;
    return value;
}

std::string DigitsOnly(std::string_view text) {
    return WalkKeeping(text, [](std::string_view ch) { return ch.size() == 1 && IsDigit(ch[0]); });
}

std::string StripBlanks(std::string_view text) {
    return WalkKeeping(text, [](std::string_view ch) {
        if (ch.size() == 2) return !(ch[0] == '\x81' && ch[1] == '\x40');
        return static_cast<unsigned char>(ch[0]) > 0x20;
    });
}

namespace {
// Suffixes by unit code.
constexpr std::string_view kSuffix[4] = {"", "\x90\x7D\x90\xA1mm", "\x82\x8D", "\x90\x7D\x90\xA1\x82\x8D"};
}  // namespace

ValueEntry MakeValueEntry(std::string_view text, int unitCode) {
    if (DigitsOnly(text).empty()) return {};
    if (StripBlanks(text).empty()) return {};
    if (unitCode < 0 || unitCode > 3) return {};
    ValueEntry entry;
    entry.ok = true;
    entry.text.reserve(text.size() + kSuffix[unitCode].size());
    entry.text.append(text).append(kSuffix[unitCode]);
    return entry;
}

SplitEntry SplitValueEntry(std::string_view entry) {
    // 実寸 = 8E C0 90 A1, 図寸 = 90 7D 90 A1, ｍ = 82 8D
    struct Pattern {
        std::string_view bytes;
        int code;
    };
    static constexpr Pattern kPatterns[] = {
        {"\x8E\xC0\x90\xA1mm", kActualMm},
        {"\x90\x7D\x90\xA1mm", kDrawingMm},
        {"\x8E\xC0\x90\xA1m", kActualM},
        {"\x8E\xC0\x90\xA1\x82\x8D", kActualM},
        {"\x90\x7D\x90\xA1m", kDrawingM},
        {"\x90\x7D\x90\xA1\x82\x8D", kDrawingM},
        {"mm", kActualMm},
        {"m", kActualM},
        {"\x82\x8D", kActualM},
    };
    std::string_view s = entry;
    int code = kActualMm;
    for (const Pattern& p : kPatterns) {
        std::size_t at = FindOnBoundary(s, p.bytes);
        if (at != std::string_view::npos) {
            s = s.substr(0, at);
            code = p.code;
        }
    }
    return {std::string(s), code};
}
