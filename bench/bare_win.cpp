// The anchor for the benchmarks: the least a Win32 program can do and still
// look like the palette from outside. One always-on-top window with the same
// caption, one four-line k307.dat written with a single WriteFile at start,
// and a 1000 ms timer whose tick looks at k307.ini once. Whatever the palette
// costs beyond this is the cost of its own work.
//
// Built a second time with K307_BARE_COMMON_CONTROLS, it also loads the
// common controls library (as every program with themed controls and tabs
// does) and nothing else: a reference that tells that library's own cost
// apart from the palette's.
#include <windows.h>
#ifdef K307_BARE_COMMON_CONTROLS
// after windows.h, which it needs
#include <commctrl.h>
#endif

namespace {

const wchar_t kCaption[] = L"[Vorna] k307\xFF1A\x63A5\x5186\x306E\x4F5C\x56F3";  // [Vorna] k307：接円の作図

// "[Vorna]k307：接円の作図" CRLF "(無指定)" CRLF "(無指定)" CRLF "0" CRLF, code page 932.
const unsigned char kSelection[] = {0x5b, 0x56, 0x6f, 0x72, 0x6e, 0x61, 0x5d, 0x6b, 0x33, 0x30, 0x37, 0x81,
                                    0x46, 0x90, 0xda, 0x89, 0x7e, 0x82, 0xcc, 0x8d, 0xec, 0x90, 0x7d, 0x0d,
                                    0x0a, 0x28, 0x96, 0xb3, 0x8e, 0x77, 0x92, 0xe8, 0x29, 0x0d, 0x0a, 0x28,
                                    0x96, 0xb3, 0x8e, 0x77, 0x92, 0xe8, 0x29, 0x0d, 0x0a, 0x30, 0x0d, 0x0a};

wchar_t g_dir[MAX_PATH];
wchar_t g_iniPath[MAX_PATH];

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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
#ifdef K307_BARE_COMMON_CONTROLS
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
#endif
    DWORD n = GetModuleFileNameW(nullptr, g_dir, MAX_PATH);
    while (n > 0 && g_dir[n - 1] != L'\\' && g_dir[n - 1] != L'/') --n;
    g_dir[n] = 0;
    Join(g_iniPath, L"k307.ini");

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"K307BenchBare";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, kCaption, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 196,
                             104, 352, 72, nullptr, nullptr, instance, nullptr);
    if (!w) return 1;
    ShowWindow(w, show);
    UpdateWindow(w);
    WriteSelection();
    SetTimer(w, 1, 1000, nullptr);

    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
