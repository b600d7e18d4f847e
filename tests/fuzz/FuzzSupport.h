#pragma once
// Shared by the fuzz targets: a scratch folder, raw file access that does not
// go through the OS layer under test, a property check that makes libFuzzer
// keep the input, and reference readers written apart from the program's own
// code so that a shared mistake cannot make a check pass.
#include <fcntl.h>
#include <unistd.h>

#include <locale.h>
#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// A failed property: print what broke and abort, so that libFuzzer reports a
// crash and saves the input.
[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "\nproperty failed: %s (%s:%d)\n", what, file, line);
    std::abort();
}
#define FUZZ_CHECK(cond) ((cond) ? void(0) : ::fuzz::Fail(#cond, __FILE__, __LINE__))

// The scratch folder of this process; never freed, so that it outlives every
// static object that may still use it.
inline std::string* gScratch = nullptr;

// A fresh folder under TMPDIR (or /tmp) for this process, with trailing "/".
// It goes again when the process ends normally; after a crash it stays for a
// look at the files.
inline const std::string& ScratchFolder() {
    if (gScratch == nullptr) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/k307fuzz.XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (::mkdtemp(buf.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        gScratch = new std::string(std::string(buf.data()) + "/");
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(*gScratch, ec);
        });
    }
    return *gScratch;
}

inline void WriteRaw(const std::string& path, std::string_view bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail("cannot create a scratch file", __FILE__, __LINE__);
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail("cannot write a scratch file", __FILE__, __LINE__);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    ::close(fd);
}

// False when the file cannot be opened (for instance, it is missing).
inline bool ReadRaw(const std::string& path, std::string& out) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

inline bool Exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

// The lines of a file: each LF ends one, every CR is dropped, and an
// unterminated tail is a last line. Lines past the end read as empty.
struct Lines {
    std::vector<std::string> lines;
    explicit Lines(std::string_view bytes) {
        while (!bytes.empty()) {
            std::size_t lf = bytes.find('\n');
            std::string line(bytes.substr(0, lf));
            std::erase(line, '\r');
            if (lf == std::string_view::npos) {
                if (!line.empty()) lines.push_back(std::move(line));
                break;
            }
            lines.push_back(std::move(line));
            bytes.remove_prefix(lf + 1);
        }
    }
    std::string operator[](std::size_t i) const { return i < lines.size() ? lines[i] : std::string(); }
    // A line read as a text: up to its first NUL byte.
    std::string Text(std::size_t i) const {
        std::string line = (*this)[i];
        return line.substr(0, line.find('\0'));
    }
};

inline bool IsDec(char c) {
    return c >= '0' && c <= '9';
}
inline bool IsHex(char c) {
    return IsDec(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The 32-bit integer reading: spaces, one sign, then decimal digits within
// the 32-bit range, or "$" "x" "X" "0x" "0X" and one to eight significant hex
// digits taken as 32 bits; anything else 0. The value itself comes from the C
// library's strtoll/strtoul, not from the program's digit loop.
inline int32_t RefIntOrZero(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    std::string r(t.substr(i));
    if (r.empty()) return 0;
    std::size_t hexAt = std::string::npos;
    if (r.rfind("0x", 0) == 0 || r.rfind("0X", 0) == 0) {
        hexAt = 2;
    } else if (r[0] == '$' || r[0] == 'x' || r[0] == 'X') {
        hexAt = 1;
    }
    if (hexAt != std::string::npos) {
        std::string digits = r.substr(hexAt);
        if (digits.empty()) return 0;
        for (char c : digits)
            if (!IsHex(c)) return 0;
        std::size_t nz = digits.find_first_not_of('0');
        std::string significant = nz == std::string::npos ? "0" : digits.substr(nz);
        if (significant.size() > 8) return 0;
        unsigned long v = std::strtoul(significant.c_str(), nullptr, 16);
        return static_cast<int32_t>(static_cast<uint32_t>(v));
    }
    for (char c : r)
        if (!IsDec(c)) return 0;
    std::string signedDigits = (negative ? "-" : "") + r;
    errno = 0;
    long long v = std::strtoll(signedDigits.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return 0;
    return static_cast<int32_t>(v);
}

// What the real reading must give. A decimal number of up to 15 significant
// digits times a power of ten within 10^±22 has one right answer that any
// reader gets exactly (both factors are exact doubles); for longer or larger
// numbers the reading may be one unit in the last place off the correctly
// rounded value, which is far below anything the program compares; a value
// too small for a normal double may also read as 0.0.
struct RealExpectation {
    double value = 0.0;
    bool exact = true;
    bool underflow = false;
    bool Accepts(double got) const {
        // Zeros compare equal whatever their sign: "-0" and "0" both read as 0.
        if (got == value) return true;
        if (underflow && got == 0.0) return true;
        if (exact || value == 0.0 || !std::isfinite(got)) return false;
        return got == std::nextafter(value, HUGE_VAL) || got == std::nextafter(value, -HUGE_VAL);
    }
};

inline locale_t CLocale() {
    static locale_t c = ::newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

// The decimal real reading: spaces, one sign, digits with an optional "."
// and fraction, an optional exponent; beyond the range of a double gives 0.0.
// The value comes from strtod under the "C" locale.
inline RealExpectation RefRealOrZero(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    std::size_t signAt = i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::string_view r = t.substr(i);
    if (r.empty()) return {};
    std::size_t p = 0, mantissaDigits = 0;
    std::string digits;        // integer and fraction digits, the point left out
    long long pointShift = 0;  // digits after the point
    while (p < r.size() && IsDec(r[p])) digits += r[p++], ++mantissaDigits;
    if (p < r.size() && r[p] == '.') {
        ++p;
        while (p < r.size() && IsDec(r[p])) digits += r[p++], ++mantissaDigits, ++pointShift;
    }
    long long exponent = 0;
    if (p < r.size() && (r[p] == 'e' || r[p] == 'E')) {
        ++p;
        bool negativeExponent = false;
        if (p < r.size() && (r[p] == '+' || r[p] == '-')) negativeExponent = r[p++] == '-';
        std::size_t d = p;
        while (p < r.size() && IsDec(r[p])) {
            if (exponent < 1000000) exponent = exponent * 10 + (r[p] - '0');
            ++p;
        }
        if (p == d) return {};
        if (negativeExponent) exponent = -exponent;
    }
    if (p != r.size()) return {};
    // The significant digits as an integer times a power of ten.
    std::size_t first = digits.find_first_not_of('0');
    std::size_t last = digits.find_last_not_of('0');
    const bool exact = first == std::string::npos ||
                       (last - first + 1 <= 15 &&
                        std::llabs(exponent - pointShift + static_cast<long long>(digits.size() - 1 - last)) <= 22);
    // No mantissa digit ("." or ".e5"): whatever the grammar says, the value is 0.
    if (mantissaDigits == 0) return {};
    std::string s(t.substr(signAt));
    errno = 0;
    double v = ::strtod_l(s.c_str(), nullptr, CLocale());
    if (errno == ERANGE || !std::isfinite(v)) {
        if (std::fabs(v) >= DBL_MIN || !std::isfinite(v)) return {};  // beyond a double: 0.0
        return {v, false, true};
    }
    if (v != 0.0 && std::fabs(v) < DBL_MIN) return {v, false, true};
    return {v, exact, false};
}

inline bool Lead932(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// boundary[i] is true when a character starts at byte i (or i is the end).
inline std::vector<bool> Boundaries(std::string_view s, bool (*lead)(unsigned char) = Lead932) {
    std::vector<bool> b(s.size() + 1, false);
    std::size_t i = 0;
    while (i < s.size()) {
        b[i] = true;
        i += (lead(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
    }
    b[s.size()] = true;
    return b;
}

}  // namespace fuzz
