// The floor for the benchmarks: exactly the palette's windows and nothing
// of its logic. One always-on-top window with the caption, two white panels
// with a raised bevel, two radio buttons, two editable combo boxes holding
// "(無指定)", two buttons, the themed common controls (the palette's
// manifest) and the palette's font, created by name. Like the bare program
// it writes k307.dat once after showing and looks at k307.ini once a second.
// What the palette costs beyond this is what its own work costs.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

namespace {

const wchar_t kCaption[] = L"[Vorna] k307\xFF1A\x63A5\x5186\x306E\x4F5C\x56F3";  // [Vorna] k307：接円の作図
const wchar_t kUnspecified[] = L"(\x7121\x6307\x5B9A)";                          // (無指定)

// "[Vorna]k307：接円の作図" CRLF "(無指定)" CRLF "(無指定)" CRLF "0" CRLF, code page 932.
const unsigned char kSelection[] = {0x5b, 0x56, 0x6f, 0x72, 0x6e, 0x61, 0x5d, 0x6b, 0x33, 0x30, 0x37, 0x81,
                                    0x46, 0x90, 0xda, 0x89, 0x7e, 0x82, 0xcc, 0x8d, 0xec, 0x90, 0x7d, 0x0d,
                                    0x0a, 0x28, 0x96, 0xb3, 0x8e, 0x77, 0x92, 0xe8, 0x29, 0x0d, 0x0a, 0x28,
                                    0x96, 0xb3, 0x8e, 0x77, 0x92, 0xe8, 0x29, 0x0d, 0x0a, 0x30, 0x0d, 0x0a};

wchar_t g_dir[MAX_PATH];
wchar_t g_iniPath[MAX_PATH];
HFONT g_font;

void Join(wchar_t* out, const wchar_t* name) {
    lstrcpyW(out, g_dir);
    lstrcatW(out, name);
}

void WriteSelection() {
    wchar_t path[MAX_PATH];
    Join(path, L"k307.dat");
    HANDLE f =
        CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, kSelection, sizeof kSelection, &written, nullptr);
    CloseHandle(f);
}

LRESULT CALLBACK PanelProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        RECT r;
        GetClientRect(w, &r);
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
        EndPaint(w, &ps);
        return 0;
    }
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN)
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    return DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK WndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER: {
            WIN32_FILE_ATTRIBUTE_DATA data;
            GetFileAttributesExW(g_iniPath, GetFileExInfoStandard, &data);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(w, msg, wp, lp);
    }
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
    return c;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    DWORD n = GetModuleFileNameW(nullptr, g_dir, MAX_PATH);
    while (n > 0 && g_dir[n - 1] != L'\\' && g_dir[n - 1] != L'/') --n;
    g_dir[n] = 0;
    Join(g_iniPath, L"k307.ini");

    LOGFONTW lf = {};
    lf.lfHeight = -13;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpyW(lf.lfFaceName, L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF");  // ＭＳ ゴシック
    g_font = CreateFontIndirectW(&lf);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"K307BenchFloor";
    RegisterClassW(&wc);
    WNDCLASSW pc = wc;
    pc.lpfnWndProc = PanelProc;
    pc.lpszClassName = L"K307BenchPanel";
    RegisterClassW(&pc);
    RECT r = {0, 0, 346, 43};
    AdjustWindowRectEx(&r, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, WS_EX_TOPMOST | WS_EX_CONTROLPARENT);
    HWND w = CreateWindowExW(WS_EX_TOPMOST | WS_EX_CONTROLPARENT, wc.lpszClassName, kCaption,
                             WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 196, 104, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!w) return 1;
    HWND p1 = CreateWindowExW(WS_EX_CONTROLPARENT, pc.lpszClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                              185, 43, w, reinterpret_cast<HMENU>(401), instance, nullptr);
    HWND p2 = CreateWindowExW(WS_EX_CONTROLPARENT, pc.lpszClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 185,
                              0, 161, 43, w, reinterpret_cast<HMENU>(402), instance, nullptr);
    const DWORD tab = WS_TABSTOP | WS_GROUP;
    HWND r1 = Child(p1, WC_BUTTONW, L"\x534A\x5F84\xFF1A", tab | BS_RADIOBUTTON, 0, 0, 57, 17, 301);  // 半径：
    HWND c1 = Child(p1, WC_COMBOBOXW, L"", tab | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 58, 0, 119, 127, 201);
    Child(p1, WC_BUTTONW, L"\x76F4\x5F84\xFF1A", tab | BS_RADIOBUTTON, 0, 24, 57, 17, 302);  // 直径：
    HWND c2 = Child(p1, WC_COMBOBOXW, L"", tab | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 58, 20, 119, 127, 202);
    Child(p2, WC_BUTTONW, L"\x8A2D\x5B9A(&S)", tab | BS_PUSHBUTTON, 0, 4, 65, 33, 101);         // 設定(&S)
    Child(p2, WC_BUTTONW, L"\x9589\x3058\x308B(&X)", tab | BS_PUSHBUTTON, 72, 4, 81, 33, 102);  // 閉じる(&X)
    HWND combos[] = {c1, c2};
    for (HWND c : combos) {
        SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kUnspecified));
        SetWindowTextW(c, kUnspecified);
    }
    SendMessageW(r1, BM_SETCHECK, BST_CHECKED, 0);
    ShowWindow(w, show);
    UpdateWindow(w);
    WriteSelection();
    SetTimer(w, 1, 1000, nullptr);

    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(w, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    (void)p2;
    return 0;
}
