// The look of both windows: the font and the background brushes.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace ui {

// "ＭＳ ゴシック", 13 pixels, Shift-JIS, or the nearest Japanese gothic
// installed.
HFONT UiFont();

// The size of `text` in that font, measured on the screen of `window`.
SIZE TextExtent(HWND window, const std::wstring& text);

COLORREF ToColorRef(uint32_t rgb);
// Per colour, one brush for the life of the program.
HBRUSH BrushFor(COLORREF c);
// WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: a control on the colour of its peer,
// or of the container it stands on.
LRESULT CtlColor(HDC dc, HWND child, HWND parent);

}  // namespace ui
