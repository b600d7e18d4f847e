#pragma once
// The colours the windows paint with: the designed ones (white panels, light
// grey bars), or the user's system colours while a high-contrast theme is on,
// so that the theme's text colour never meets a fixed background.
#include <windows.h>

namespace ui {

// The colour to paint a surface designed in `designed`; unchanged unless
// high contrast is on.
COLORREF ThemeBackground(COLORREF designed);
// With high contrast on, sets the text colour that goes with that surface
// into `dc`; otherwise leaves the DC alone.
void ThemeText(HDC dc, COLORREF designed);
// Reads the high-contrast state again and repaints `top` and everything in
// it; for WM_SYSCOLORCHANGE and WM_SETTINGCHANGE.
void ThemeChanged(HWND top, UINT msg);

}  // namespace ui
