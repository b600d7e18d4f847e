// Text rules shared by the palette and the settings: number reading and the
// value entries that make up the preset lists. Texts are code page 932 bytes.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The text as a 32-bit integer (decimal, or hexadecimal after "$", "x", "0x"),
// or 0 when it is not entirely one.
int32_t IntOrZero(std::string_view text);

// The integer in decimal, with a leading "-" when negative (the reverse of
// IntOrZero). Written out by hand: printf's machinery would triple the size
// of the program.
std::string IntToText(int32_t value);

// The text as a decimal real ("." always), or 0.0 when it is not entirely one
// or its value lies beyond the range of a double.
double RealOrZero(std::string_view text);

// Unit codes of a value entry, in the order of the dialog's unit buttons.
enum UnitCode : int { kActualMm = 0, kDrawingMm = 1, kActualM = 2, kDrawingM = 3 };

struct ValueEntry {
    bool ok = false;
    std::string text;  // empty when !ok
};

// The number as typed followed by the unit's suffix; fails when the number has
// no ASCII digit, is nothing but blanks, or the unit code is out of range.
ValueEntry MakeValueEntry(std::string_view text, int unitCode);

struct SplitEntry {
    std::string number;
    int unitCode = kActualMm;
};

// The number part and unit code of an entry, hand-typed forms included.
SplitEntry SplitValueEntry(std::string_view entry);

// The ASCII digits of the text, two-byte characters dropped.
std::string DigitsOnly(std::string_view text);

// The text without spaces, control characters and full-width spaces.
std::string StripBlanks(std::string_view text);
