// The text rules (uMyFunc): numbers and value entries.
#include "common/uMyFunc.h"

#include <cmath>

#include "common/Cp932.h"
#include "common/Texts.h"

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

// Decimal digits and exponent to the nearest double, by hand rather than
// through the C library (whose strtod follows the locale) or from_chars
// (a third of the program's size). Up to 15 significant digits with a power
// of ten up to 22 the result is exact; beyond, the 64-bit extended
// precision keeps the error below half a unit in the last place of the
// double in all but contrived halfway cases.
double DecimalToDouble(bool negative, std::string_view intPart, std::string_view fracPart, std::string_view expPart) {
    uint64_t mantissa = 0;
    int digits = 0;        // significant digits taken into the mantissa
    int64_t exponent = 0;  // power of ten applied to the mantissa
    bool dropped = false;  // digits beyond 19 that did not fit
    auto take = [&](char c, bool fraction) {
        if (digits == 0 && c == '0') {
            if (fraction) --exponent;
            return;
        }
        if (digits < 19) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
            ++digits;
            if (fraction) --exponent;
        } else {
            if (!fraction) ++exponent;
            if (c != '0') dropped = true;
        }
    };
    for (char c : intPart) take(c, false);
    for (char c : fracPart) take(c, true);
    if (!expPart.empty()) {
        std::size_t i = 0;
        bool expNegative = false;
        if (expPart[0] == '+' || expPart[0] == '-') expNegative = expPart[i++] == '-';
        int64_t e = 0;
        for (; i < expPart.size(); ++i) {
            e = e * 10 + (expPart[i] - '0');
            if (e > 100000) break;  // far beyond any double either way
        }
        exponent += expNegative ? -e : e;
    }
    if (mantissa == 0) return negative ? -0.0 : 0.0;
    // Trailing zeros add no precision: without them "4.900000000001000" takes
    // the exact path as "4.900000000001" does, and both read the same.
    while (!dropped && mantissa % 10 == 0) {
        mantissa /= 10;
        --digits;
        ++exponent;
    }
    if (exponent + digits > 310) return 0.0;   // beyond a double
    if (exponent + digits < -330) return 0.0;  // too small to hold: as good as zero
    static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    double value;
    if (digits <= 15 && !dropped && exponent >= -22 && exponent <= 22) {
        auto m = static_cast<double>(mantissa);
        value = exponent >= 0 ? m * kExact[exponent] : m / kExact[-exponent];
    } else {
        long double v = static_cast<long double>(mantissa);
        if (dropped) v += 0.5L;  // a tie-breaker for the digits cut off
        // Scale in steps whose powers of ten are exact in extended precision.
        long double step = 1e27L;
        int64_t e = exponent;
        while (e >= 27) {
            v *= step;
            e -= 27;
        }
        while (e <= -27) {
            v /= step;
            e += 27;
        }
        long double p = 1.0L;
        for (int64_t k = 0; k < (e < 0 ? -e : e); ++k) p *= 10.0L;
        v = e < 0 ? v / p : v * p;
        value = static_cast<double>(v);
    }
    if (!std::isfinite(value)) return 0.0;
    if (value == 0.0) return 0.0;
    return negative ? -value : value;
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

std::string IntToText(int32_t value) {
    char digits[12];
    std::size_t n = 0;
    // Work on the negative side, which can hold -2147483648.
    int64_t v = value < 0 ? value : -static_cast<int64_t>(value);
    do {
        digits[n++] = static_cast<char>('0' - v % 10);
        v /= 10;
    } while (v != 0);
    std::string out;
    out.reserve(n + 1);
    if (value < 0) out.push_back('-');
    while (n > 0) out.push_back(digits[--n]);
    return out;
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

    return DecimalToDouble(negative, intPart, fracPart, expPart);
}

std::string DigitsOnly(std::string_view text) {
    return WalkKeeping(text, [](std::string_view ch) { return ch.size() == 1 && IsDigit(ch[0]); });
}

std::string StripBlanks(std::string_view text) {
    return WalkKeeping(text, [](std::string_view ch) {
        if (ch.size() == 2) return ch != texts::kFullWidthSpace;
        return static_cast<unsigned char>(ch[0]) > 0x20;
    });
}

namespace {
// Suffixes by unit code.
constexpr std::string_view kSuffix[4] = {"", texts::kUnitDrawingMm, texts::kFullWidthM, texts::kUnitDrawingM};
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
    struct Pattern {
        std::string_view bytes;
        int code;
    };
    static constexpr Pattern kPatterns[] = {
        {texts::kUnitActualMm, kActualMm},
        {texts::kUnitDrawingMm, kDrawingMm},
        {texts::kUnitActualHalfM, kActualM},
        {texts::kUnitActualM, kActualM},
        {texts::kUnitDrawingHalfM, kDrawingM},
        {texts::kUnitDrawingM, kDrawingM},
        {"mm", kActualMm},
        {"m", kActualM},
        {texts::kFullWidthM, kActualM},
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
