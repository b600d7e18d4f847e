// Conversions between code page 932 texts and the UTF-16 of the W APIs. Always
// code page 932 by number, never the system's ANSI code page, which may be
// anything (1252 under Wine here).
#pragma once
#include <string>
#include <string_view>

namespace os {

// Bytes that are not valid code page 932 come out as U+FFFD, one per byte.
std::wstring WideFrom932(std::string_view text);
// The same into `out`, reusing its storage: for long lists, one allocation.
void WideFrom932(std::string_view text, std::wstring& out);
// False (and `out` untouched) when some character has no code page 932 form.
bool Cp932FromWide(std::wstring_view wide, std::string& out);
// Lossy: characters without a code page 932 form become "?". For titles.
std::string Cp932FromWideLossy(std::wstring_view wide);
// One character at a time, for typing: false when `character` is not one
// UTF-16 unit, or `unit` has no code page 932 form (`out` untouched then).
bool WideUnitFrom932(std::string_view character, wchar_t& unit);
bool Append932FromWide(wchar_t unit, std::string& out);

}  // namespace os
