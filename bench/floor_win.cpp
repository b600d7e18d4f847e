// The floor for the benchmarks: the palette's windows and the least work the
// palette's job needs of them, without any of its own logic. One
// always-on-top dialog with the caption and the palette's icon, two white
// panels with a raised bevel (child dialogs, made as the palette makes them),
// two radio buttons, two editable combo boxes holding "(無指定)", two
// buttons, the themed common controls (the palette's manifest) and the
// palette's font. Like the bare program it writes k307.dat once after
// showing and looks at k307.ini once a second.
//
// What the palette's job needs beyond the windows, done the plainest way:
// every edit change of a box rewrites k307.dat whole with the box's text in
// code page 932 and starts the one-second wait again (no completion, no
// mirror of the edit); 設定(&S) shows the settings dialog's windows
// (floor_dialog_win.cpp). What the palette costs beyond this is what its own
// logic costs.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string>

#include "bench/floor_win.h"
#include "common/Texts.h"
#include "ui/Theme_win.h"

namespace bench {

std::wstring Wide(const char* cp932) {
    const int n = MultiByteToWideChar(932, 0, cp932, -1, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(932, 0, cp932, -1, w.data(), n);
    w.resize(w.size() - 1);
    return w;
}

// The font is the palette's own choice (ui/Theme_win.cpp is compiled in):
// where ＭＳ ゴシック is missing, the font mapper's answer for that name alone
// is a wider face than the one the palette picks, and costs more to draw.
HWND MakeControl(DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style, Box b, HWND parent, int id) {
    HWND c = CreateWindowExW(exStyle, cls, text.c_str(), style, b.x, b.y, b.w, b.h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (c) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(ui::UiFont()), FALSE);
    return c;
}

}  // namespace bench

namespace {

using bench::Wide;

wchar_t g_dir[MAX_PATH];
wchar_t g_iniPath[MAX_PATH];
HWND g_top;
// The selection as the palette keeps it: code page 932 bytes.
std::string g_radius = texts::kUnspecified;
std::string g_diameter = texts::kUnspecified;
int g_mode = 0;

void Join(wchar_t* out, const wchar_t* name) {
    lstrcpyW(out, g_dir);
    lstrcatW(out, name);
}

// The four lines the palette writes, with one write call.
void WriteSelection() {
    std::string content = texts::kSelectionHeader;
    content += "\r\n" + g_radius + "\r\n" + g_diameter + "\r\n" + (g_mode ? "1" : "0") + "\r\n";
    wchar_t path[MAX_PATH];
    Join(path, L"k307.dat");
    HANDLE f =
        CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(f);
}

// A box's text after an edit: into code page 932 with one conversion (a
// UTF-16 unit is at most two bytes there), the file rewritten, and the
// one-second wait begun again, as the palette does after each change.
void TakeEdit(HWND combo, int id) {
    const int n = GetWindowTextLengthW(combo);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(combo, text.data(), n + 1);
    std::string& bytes = id == 201 ? g_radius : g_diameter;
    bytes.resize(static_cast<std::size_t>(got) * 2);
    const int made =
        got > 0 ? WideCharToMultiByte(932, 0, text.data(), got, bytes.data(), got * 2, nullptr, nullptr) : 0;
    bytes.resize(static_cast<std::size_t>(made > 0 ? made : 0));
    g_mode = id == 201 ? 0 : 1;
    WriteSelection();
    SetTimer(g_top, 1, 1000, nullptr);
}

// The window and both panels: dialogs, as the palette's are, white, the
// panels with a raised bevel.
INT_PTR CALLBACK DialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            return FALSE;
        case WM_PAINT: {
            if (w == g_top) return FALSE;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(w, &ps);
            RECT r;
            GetClientRect(w, &r);
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
            EndPaint(w, &ps);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
            SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
            SetBkMode(reinterpret_cast<HDC>(wp), OPAQUE);
            return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
        case WM_COMMAND:
            if (HIWORD(wp) == CBN_EDITCHANGE) TakeEdit(reinterpret_cast<HWND>(lp), LOWORD(wp));
            if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == 101) bench::ShowSettingsDialog(g_top);
            return TRUE;
        case WM_TIMER: {
            WIN32_FILE_ATTRIBUTE_DATA data;
            GetFileAttributesExW(g_iniPath, GetFileExInfoStandard, &data);
            return TRUE;
        }
        case WM_CLOSE:
            DestroyWindow(w);
            return TRUE;
        case WM_DESTROY:
            if (w == g_top) PostQuitMessage(0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    DWORD n = GetModuleFileNameW(nullptr, g_dir, MAX_PATH);
    while (n > 0 && g_dir[n - 1] != L'\\' && g_dir[n - 1] != L'/') --n;
    g_dir[n] = 0;
    Join(g_iniPath, L"k307.ini");

    constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    constexpr DWORD kPanel = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | DS_CONTROL;
    g_top = bench::MakeDialog(nullptr, kFormStyle, WS_EX_CONTROLPARENT | WS_EX_TOPMOST, Wide(texts::kCaption),
                              DialogProc, 0);
    if (!g_top) return 1;
    RECT r = {0, 0, 346, 43};
    AdjustWindowRectEx(&r, kFormStyle, FALSE, WS_EX_CONTROLPARENT | WS_EX_TOPMOST);
    SetWindowPos(g_top, nullptr, 196, 104, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (int size : {ICON_BIG, ICON_SMALL}) {
        const int px = GetSystemMetrics(size == ICON_BIG ? SM_CXICON : SM_CXSMICON);
        HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, px, px, 0);
        SendMessageW(g_top, WM_SETICON, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(icon));
    }
    HWND p1 = bench::MakeDialog(g_top, kPanel, WS_EX_CONTROLPARENT, L"", DialogProc, 0);
    HWND p2 = bench::MakeDialog(g_top, kPanel, WS_EX_CONTROLPARENT, L"", DialogProc, 0);
    SetWindowLongPtrW(p1, GWLP_ID, 401);
    SetWindowLongPtrW(p2, GWLP_ID, 402);
    SetWindowPos(p1, nullptr, 0, 0, 185, 43, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(p2, nullptr, 185, 0, 161, 43, SWP_NOZORDER | SWP_NOACTIVATE);
    const DWORD tab = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP;
    const DWORD combo = tab | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
    using bench::MakeControl;
    HWND r1 = MakeControl(0, WC_BUTTONW, Wide(texts::kRadiusCaption), tab | BS_RADIOBUTTON, {0, 0, 57, 17}, p1, 301);
    HWND c1 = MakeControl(0, WC_COMBOBOXW, L"", combo, {58, 0, 119, 127}, p1, 201);
    MakeControl(0, WC_BUTTONW, Wide(texts::kDiameterCaption), tab | BS_RADIOBUTTON, {0, 24, 57, 17}, p1, 302);
    HWND c2 = MakeControl(0, WC_COMBOBOXW, L"", combo, {58, 20, 119, 127}, p1, 202);
    MakeControl(0, WC_BUTTONW, Wide(texts::kSettingsCaption), tab | BS_PUSHBUTTON, {0, 4, 65, 33}, p2, 101);
    MakeControl(0, WC_BUTTONW, Wide(texts::kCloseCaption), tab | BS_PUSHBUTTON, {72, 4, 81, 33}, p2, 102);
    const std::wstring unspecified = Wide(texts::kUnspecified);
    for (HWND c : {c1, c2}) {
        SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(unspecified.c_str()));
        SetWindowTextW(c, unspecified.c_str());
    }
    SendMessageW(r1, BM_SETCHECK, BST_CHECKED, 0);
    // The palette's show sequence: shown without activation, drawn, the file
    // written, and only then active with the radius box focused (it must
    // count its copies before it may take the activation).
    ShowWindow(g_top, SW_SHOWNA);
    UpdateWindow(g_top);
    WriteSelection();
    SetForegroundWindow(g_top);
    // A dialog's way to move the focus: the dialog manager selects the
    // box's text and sets the default button as it does for the palette.
    SendMessageW(g_top, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c1), TRUE);
    SetTimer(g_top, 1, 1000, nullptr);

    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(g_top, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
