#include "ui/Theme_win.h"

namespace ui {

namespace {

bool ReadHighContrast() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

bool& HighContrast() {
    static bool on = ReadHighContrast();
    return on;
}

// White surfaces are window backgrounds in the theme's terms; the grey bars
// and panels of the dialog are the face of its buttons.
bool IsWhite(COLORREF designed) {
    return designed == RGB(255, 255, 255);
}

}  // namespace

COLORREF ThemeBackground(COLORREF designed) {
    if (!HighContrast()) return designed;
    return ::GetSysColor(IsWhite(designed) ? COLOR_WINDOW : COLOR_BTNFACE);
}

void ThemeText(HDC dc, COLORREF designed) {
    if (!HighContrast()) return;
    ::SetTextColor(dc, ::GetSysColor(IsWhite(designed) ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
}

void ThemeChanged(HWND top, UINT msg) {
    HighContrast() = ReadHighContrast();
    // Common controls take the new colours only when told.
    if (msg == WM_SYSCOLORCHANGE) {
        ::EnumChildWindows(
            top,
            [](HWND child, LPARAM) -> BOOL {
                ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
                return TRUE;
            },
            0);
    }
    ::RedrawWindow(top, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace ui
