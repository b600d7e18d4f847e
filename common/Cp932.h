// Byte-level rules for code page 932 texts. Trail bytes (0x40-0x7E,
// 0x80-0xFC) overlap ASCII letters and "\\" "[" "]" "@", so every find, cut or
// case change must walk the text by characters from its start.
#pragma once
#include <cstddef>
#include <string_view>

namespace cp932 {

// Lead bytes of code page 932 proper.
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Length of the character that starts at `i` (1 or 2), by code page 932's
// lead bytes; a lead byte in the last position stands alone.
constexpr std::size_t CharLength(std::string_view s, std::size_t i) {
    return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// The start of the character that ends just before `end` (which must be a
// character boundary); 0 when `end` is 0.
constexpr std::size_t PreviousCharStart(std::string_view s, std::size_t end) {
    std::size_t i = 0, last = 0;
    while (i < end) {
        last = i;
        i += CharLength(s, i);
    }
    return last;
}

constexpr unsigned char AsciiLower(unsigned char b) {
    return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b;
}

// True when `text` begins with `prefix`, ASCII letters compared without case;
// both bytes of a two-byte character compare exactly, so a trail byte that
// happens to be a letter is never folded.
constexpr bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    std::size_t i = 0;
    while (i < prefix.size()) {
        std::size_t len = CharLength(prefix, i);
        if (len == 2) {
            if (i + 1 >= text.size() || text[i] != prefix[i] || text[i + 1] != prefix[i + 1]) return false;
        } else if (AsciiLower(static_cast<unsigned char>(text[i])) !=
                   AsciiLower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        } else if (CharLength(text, i) == 2) {
            return false;  // a one-byte character against a lead byte
        }
        i += len;
    }
    return true;
}

}  // namespace cp932
