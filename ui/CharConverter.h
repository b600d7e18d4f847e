// How one character converts between code page 932 and the UTF-16 of the
// W APIs. The Win32 peers pass the real conversion (ui/TextField_win.cpp);
// host tests pass a small fake, so the rules built on it run without Windows.
#pragma once
#include <string>
#include <string_view>

namespace ui {

struct CharConverter {
    // The one UTF-16 unit of a valid code page 932 character (one or two
    // bytes); false for bytes that are no character.
    bool (*toWide)(std::string_view character, wchar_t& unit);
    // Appends the code page 932 bytes of one UTF-16 unit to `out`; false when
    // code page 932 has no such character.
    bool (*fromWide)(wchar_t unit, std::string& out);
};

}  // namespace ui
