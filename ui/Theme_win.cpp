// The font and the background brushes of both windows.
#include "ui/Theme_win.h"

#include <string>
#include <utility>
#include <vector>

#include "ui/WinPeer_win.h"

namespace ui {

namespace {

// The installed Japanese gothic that comes closest to "ＭＳ ゴシック".
struct FontSearch {
    std::wstring best;
    int score = -1;
};

int CALLBACK ScoreFont(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM param) {
    auto* s = reinterpret_cast<FontSearch*>(param);
    std::wstring name = lf->lfFaceName;
    if (name.empty() || name[0] == L'@') return 1;  // vertical variants
    int score = 1;
    if (name == L"ＭＳ ゴシック" || name == L"MS Gothic")
        score = 100;
    else if (name.find(L"Gothic") != std::wstring::npos || name.find(L"ゴシック") != std::wstring::npos)
        score = (lf->lfPitchAndFamily & 0x3) == FIXED_PITCH ? 60 : 50;
    else if (name.find(L"Sans") != std::wstring::npos && name.find(L"CJK") != std::wstring::npos)
        score = 40;
    if (score > s->score) {
        s->score = score;
        s->best = name;
    }
    return 1;
}

}  // namespace

HFONT UiFont() {
    static HFONT font = [] {
        FontSearch search;
        HDC dc = ::GetDC(nullptr);
        LOGFONTW query{};
        query.lfCharSet = SHIFTJIS_CHARSET;
        ::EnumFontFamiliesExW(dc, &query, ScoreFont, reinterpret_cast<LPARAM>(&search), 0);
        ::ReleaseDC(nullptr, dc);
        LOGFONTW lf{};
        lf.lfHeight = -13;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = SHIFTJIS_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        std::wstring face = search.best.empty() ? L"ＭＳ ゴシック" : search.best;
        face.copy(lf.lfFaceName, LF_FACESIZE - 1);
        return ::CreateFontIndirectW(&lf);
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

HBRUSH BrushFor(COLORREF c) {
    static std::vector<std::pair<COLORREF, HBRUSH>> brushes;
    for (auto& [color, brush] : brushes)
        if (color == c) return brush;
    HBRUSH b = ::CreateSolidBrush(c);
    brushes.emplace_back(c, b);
    return b;
}

LRESULT CtlColor(HDC dc, HWND child, HWND parent) {
    WinPeer* p = WinPeer::FromHwnd(child);
    COLORREF c = p ? p->backgroundColor : RGB(255, 255, 255);
    if (!p) {
        if (WinPeer* pp = WinPeer::FromHwnd(parent)) c = pp->backgroundColor;
    }
    ::SetBkColor(dc, c);
    ::SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(BrushFor(c));
}

}  // namespace ui
