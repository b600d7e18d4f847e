// The look of both windows: the font, the background brushes, and the
// system's colours while a high-contrast theme is on.
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
// WM_CTLCOLOR*: a control, or a dialog's own background, on a surface
// designed in `designed` (white panels, light grey bars); the brush to paint
// it with. Unchanged unless high contrast is on, so that the theme's text
// colour never meets a fixed background.
HBRUSH ThemeColors(HDC dc, COLORREF designed);
// Reads the high-contrast state again and repaints `top` and everything in
// it; for WM_SYSCOLORCHANGE and WM_SETTINGCHANGE.
void ThemeChanged(HWND top, UINT msg);

}  // namespace ui
