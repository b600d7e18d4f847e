// The floor's settings dialog: the windows of the palette's settings dialog
// (settings/Unit2z.cpp), made the way the palette makes them
// (ui/DialogMake_win.cpp), a dialog from an in-memory template with a child
// dialog for each page, panel and radio group, and nothing of its logic: no
// models, no mirroring, no page turning, no subclassed controls, no
// input-method settings. Its lists hold the same entries as the palette's
// with the driver's small configuration. It is made on the first press of
// 設定(&S), as the palette makes its own, and only shown on later presses.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "bench/floor_win.h"
#include "common/Texts.h"
#include "ui/Theme_win.h"

namespace bench {

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kTabStop = kChild | WS_TABSTOP | WS_GROUP;
constexpr DWORD kInner = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | DS_CONTROL;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightGrey = RGB(0xE8, 0xE8, 0xE8);

HWND g_dialog;
bool g_closed;

// Each dialog window keeps its background colour as its user data.
INT_PTR CALLBACK DialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(h, GWLP_USERDATA, lp);
            return FALSE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: {
            static HBRUSH white = CreateSolidBrush(kWhite), grey = CreateSolidBrush(kLightGrey);
            const auto color = static_cast<COLORREF>(GetWindowLongPtrW(h, GWLP_USERDATA));
            SetBkColor(reinterpret_cast<HDC>(wp), color);
            SetBkMode(reinterpret_cast<HDC>(wp), OPAQUE);
            return reinterpret_cast<INT_PTR>(color == kWhite ? white : grey);
        }
        case WM_COMMAND:
            // ＯＫ(&Y), キャンセル(&N), Enter and Escape close it.
            if (HIWORD(wp) == BN_CLICKED &&
                (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL || LOWORD(wp) == 101 || LOWORD(wp) == 102))
                g_closed = true;
            return TRUE;
        case WM_CLOSE:
            g_closed = true;
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

HWND MakeDialog(HWND parent, DWORD style, DWORD exStyle, const std::wstring& title, DLGPROC proc, LPARAM data) {
    // No controls or font in the template: the controls are made in pixels.
    struct alignas(4) Template {
        DLGTEMPLATE head;
        WORD menu, windowClass;
        wchar_t title[64];
    } t{};
    t.head.style = style;
    t.head.dwExtendedStyle = exStyle;
    title.copy(t.title, std::size(t.title) - 1);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &t.head, parent, proc, data);
}

namespace {

// A panel, page or radio group: a child dialog the dialog manager walks into.
HWND Inner(HWND parent, int id, Box b, COLORREF color) {
    HWND h = MakeDialog(parent, kInner, WS_EX_CONTROLPARENT, L"", DialogProc, static_cast<LPARAM>(color));
    SetWindowLongPtrW(h, GWLP_ID, id);
    SetWindowPos(h, nullptr, b.x, b.y, b.w, b.h, SWP_NOZORDER | SWP_NOACTIVATE);
    return h;
}

void Label(HWND parent, int id, Box b, const char* text) {
    const std::wstring w = Wide(text);
    // Sized to its text, as a substitute font may run wider.
    const SIZE extent = ui::TextExtent(parent, w);
    MakeControl(0, WC_STATICW, w, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                {b.x, b.y, std::max<int>(b.w, extent.cx), std::max<int>(b.h, extent.cy)}, parent, id);
}

void Button(HWND parent, int id, Box b, const char* text, bool isDefault = false) {
    MakeControl(0, WC_BUTTONW, Wide(text), kTabStop | BS_NOTIFY | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), b,
                parent, id);
}

// Items fill the columns top to bottom below the caption line, the first
// item checked; the frame comes after them and ends their group.
void RadioGroup(HWND parent, int number, Box b, const char* caption, const char* const* items, int n, COLORREF color) {
    HWND h = Inner(parent, 700 + number, b, color);
    const int captionHeight = 14, margin = 8, columns = 2;
    const int rows = (n + columns - 1) / columns;
    const int w = (b.w - margin) / columns, rowHeight = (b.h - captionHeight - 2) / rows;
    for (int k = 0; k < n; ++k) {
        const DWORD first = k == 0 ? WS_GROUP | WS_TABSTOP : 0;
        HWND item = MakeControl(0, WC_BUTTONW, Wide(items[k]), kChild | first | BS_AUTORADIOBUTTON,
                                {margin + (k / rows) * w, captionHeight + (k % rows) * rowHeight, w - 2, rowHeight}, h,
                                (700 + number) * 10 + k);
        if (k == 0) SendMessageW(item, BM_SETCHECK, BST_CHECKED, 0);
    }
    MakeControl(0, WC_BUTTONW, Wide(caption), WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX, {0, 0, b.w, b.h}, h, -1);
    ShowWindow(h, SW_SHOWNA);
}

// A list page: its labels, the list (its label just before it), the three
// list buttons, and the grey entry panel with its field, units and buttons.
void ListPage(HWND page, int n, const char* entryCaption) {
    // The driver's configuration: n.5図寸mm for n from 1.
    const std::wstring unit = Wide(texts::kUnitDrawingMm);
    Label(page, 1100 + 3 * n - 1, {144, 0, 65, 13}, texts::kDataItem);
    Label(page, 1100 + 3 * n - 2, {0, 0, 65, 13}, texts::kDataList);
    HWND list =
        MakeControl(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"", kTabStop | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                    {0, 16, 137, 185}, page, 500 + n);
    for (int i = 0; i < kFloorListEntries; ++i) {
        // Digits by hand: std::to_wstring would link a printf of 20 KiB.
        std::wstring entry;
        for (int v = i + 1; v > 0; v /= 10) entry.insert(entry.begin(), static_cast<wchar_t>(L'0' + v % 10));
        entry += L".5" + unit;
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    const int b = n == 1 ? 3 : 8;  // ▲ ▼ 削除: Button3-5, Button8-10
    Button(page, 100 + b, {0, 200, 41, 25}, texts::kUp);
    Button(page, 101 + b, {40, 200, 41, 25}, texts::kDown);
    Button(page, 102 + b, {80, 200, 57, 25}, texts::kDelete);
    HWND panel = Inner(page, 401 + n, {144, 16, 185, 209}, kLightGrey);
    Label(panel, n == 1 ? 1103 : 1111, {8, 12, 39, 13}, entryCaption);
    MakeControl(WS_EX_CLIENTEDGE, WC_EDITW, L"", kTabStop | ES_AUTOHSCROLL, {56, 8, 121, 21}, panel, 600 + n);
    const char* const units[] = {texts::kUnitActualMm, texts::kUnitDrawingMm, texts::kUnitActualM,
                                 texts::kUnitDrawingM};
    RadioGroup(panel, 1 + n, {8, 32, 169, 57}, texts::kUnit, units, 4, kLightGrey);
    Button(panel, n == 1 ? 106 : 111, {8, 184, 81, 25}, texts::kAdd);
    Button(panel, n == 1 ? 107 : 112, {96, 184, 81, 25}, texts::kEdit);
    ShowWindow(panel, SW_SHOWNA);
}

HWND MakeSettingsDialog(HWND owner) {
    HWND d = MakeDialog(owner, kFormStyle, WS_EX_CONTROLPARENT, Wide(texts::kCaption), DialogProc, kWhite);
    RECT outer, client;
    GetWindowRect(d, &outer);
    GetClientRect(d, &client);
    SetWindowPos(d, nullptr, 193, 115, 338 + (outer.right - outer.left) - client.right,
                 283 + (outer.bottom - outer.top) - client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);

    // The tabs, and beside them (after them in the dialog manager's order)
    // the pages in the tabs' display area, which the tab control leaves to them.
    const Box tabs{0, 0, 338, 254};
    HWND tab = MakeControl(0, WC_TABCONTROLW, L"", kTabStop, tabs, d, 801);
    RECT display{0, 0, tabs.w, tabs.h};
    TabCtrl_AdjustRect(tab, FALSE, &display);
    HRGN frame = CreateRectRgn(0, 0, tabs.w, tabs.h);
    HRGN inside = CreateRectRgnIndirect(&display);
    CombineRgn(frame, frame, inside, RGN_DIFF);
    DeleteObject(inside);
    SetWindowRgn(tab, frame, FALSE);
    const Box area{display.left, display.top, display.right - display.left, display.bottom - display.top};
    const char* const captions[] = {texts::kGeneralPage, texts::kRadiusPage, texts::kDiameterPage};
    HWND pages[3];
    for (int i = 0; i < 3; ++i) {
        std::wstring text = Wide(captions[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        TabCtrl_InsertItem(tab, i, &item);
        pages[i] = Inner(d, 901 + i, area, kWhite);
        if (i == 0) {
            const char* const layouts[] = {texts::kHorizontal, texts::kVertical};
            RadioGroup(pages[0], 1, {8, 8, 137, 41}, texts::kScreenType, layouts, 2, kWhite);
            std::wstring memo;
            for (const char* line :
                 {texts::kMemoLine1, texts::kMemoLine2, texts::kMemoLine3, texts::kMemoLine4, texts::kMemoLine5})
                memo += (memo.empty() ? L"" : L"\r\n") + Wide(line);
            MakeControl(WS_EX_CLIENTEDGE, WC_EDITW, memo,
                        kTabStop | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                        {8, 56, 313, 161}, pages[0], 1001);
        } else {
            ListPage(pages[i], i, i == 1 ? texts::kRadiusCaption : texts::kDiameterCaption);
        }
    }
    ShowWindow(pages[0], SW_SHOWNA);

    HWND bar = Inner(d, 401, {0, 254, 338, 29}, kLightGrey);
    Button(bar, 101, {8, 2, 89, 25}, texts::kOk, true);
    Button(bar, 102, {112, 2, 121, 25}, texts::kCancel);
    ShowWindow(bar, SW_SHOWNA);
    SendMessageW(d, DM_SETDEFID, 101, 0);
    return d;
}

}  // namespace

void ShowSettingsDialog(HWND owner) {
    if (!g_dialog) g_dialog = MakeSettingsDialog(owner);
    g_closed = false;
    EnableWindow(owner, FALSE);
    ShowWindow(g_dialog, SW_SHOW);
    MSG m;
    while (!g_closed) {
        const BOOL got = GetMessageW(&m, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        if (IsDialogMessageW(g_dialog, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    // The owner first, or the system activates another program.
    EnableWindow(owner, TRUE);
    ShowWindow(g_dialog, SW_HIDE);
}

}  // namespace bench
