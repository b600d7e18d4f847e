// The font, the background brushes and the high-contrast colours of both
// windows.
#include "ui/Theme_win.h"

#include <string>
#include <utility>
#include <vector>

namespace ui {

HFONT UiFont() {
    static HFONT font = [] {
        LOGFONTW lf{};
        lf.lfHeight = -13;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = SHIFTJIS_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        // Named faces first: a Japanese Windows has the first, and the
        // common free gothics stand in for it elsewhere (Wine has none of
        // its own). None of them: no name, the font mapper's nearest
        // fixed-pitch Japanese face in the regular weight asked for.
        const std::wstring named = L"ＭＳ ゴシック";
        HDC dc = ::GetDC(nullptr);
        HFONT f = nullptr;
        for (const wchar_t* candidate : {L"ＭＳ ゴシック", L"IPAGothic", L"VL Gothic", L"TakaoGothic", L""}) {
            ::lstrcpynW(lf.lfFaceName, candidate, LF_FACESIZE);
            f = ::CreateFontIndirectW(&lf);
            HGDIOBJ old = ::SelectObject(dc, f);
            wchar_t face[LF_FACESIZE] = L"";
            ::GetTextFaceW(dc, LF_FACESIZE, face);
            ::SelectObject(dc, old);
            // An English Windows names the first face in English.
            if (!*candidate || face == std::wstring(candidate) ||
                (candidate == named && face == std::wstring(L"MS Gothic")))
                break;
            ::DeleteObject(f);
        }
        ::ReleaseDC(nullptr, dc);
        return f;
    }();
    return font;
}

SIZE TextExtent(HWND window, const std::wstring& text) {
    SIZE extent{};
    HDC dc = ::GetDC(window);
    HGDIOBJ old = ::SelectObject(dc, UiFont());
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return extent;
}

COLORREF ToColorRef(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

namespace {

bool ReadHighContrast() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

bool highContrast = ReadHighContrast();

}  // namespace

HBRUSH ThemeColors(HDC dc, COLORREF designed) {
    COLORREF c = designed;
    if (highContrast) {
        // White surfaces are window backgrounds in the theme's terms; the
        // grey bars and panels of the dialog are the face of its buttons.
        const bool white = designed == RGB(255, 255, 255);
        c = ::GetSysColor(white ? COLOR_WINDOW : COLOR_BTNFACE);
        ::SetTextColor(dc, ::GetSysColor(white ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    }
    ::SetBkColor(dc, c);
    ::SetBkMode(dc, OPAQUE);
    // Per colour, one brush for the life of the program.
    static std::vector<std::pair<COLORREF, HBRUSH>> brushes;
    for (auto& [color, brush] : brushes)
        if (color == c) return brush;
    return brushes.emplace_back(c, ::CreateSolidBrush(c)).second;
}

void ThemeChanged(HWND top, UINT msg) {
    highContrast = ReadHighContrast();
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
