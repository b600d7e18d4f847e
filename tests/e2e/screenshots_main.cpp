// k307_screenshots FOLDER: drives the palette through the states that the
// documentation shows and asks, for each, for a picture of one window. The
// pictures are taken outside Wine (tools/screenshots): for picture N this
// program writes FOLDER\N.req holding "name left top width height" and waits
// for FOLDER\N.ack; at the end it writes FOLDER\done.
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "tests/e2e/Harness.h"

namespace {

using namespace e2e;
using std::chrono::seconds;

std::wstring gFolder;
int gShot = 0;

bool Fail(const char* what) {
    std::fprintf(stderr, "k307_screenshots: %s\n", what);
    return false;
}

// Lets the window's thread finish what it was asked; the picture is taken
// once two in a row agree, so painting needs no wait here.
void Settle(HWND hwnd) {
    DWORD_PTR ignored;
    ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

bool Shot(const char* name, HWND hwnd) {
    Settle(hwnd);
    RECT r = OuterRect(hwnd);
    std::string request = std::string(name) + " " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                          std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + "\n";
    std::wstring base = gFolder + std::to_wstring(++gShot);
    // Written whole under another name, so that the reader never sees half.
    if (!WriteBytes(base + L".part", request) || !::MoveFileW((base + L".part").c_str(), (base + L".req").c_str()))
        return Fail("cannot write a request");
    if (!WaitFor([&] { return FileExists(base + L".ack"); }, seconds(60))) return Fail("no picture was taken");
    return true;
}

HWND Get(HWND root, int id) {
    return FindControl(root, id);
}

bool SelectPage(HWND dialog, int page) {
    if (!Focus(Get(dialog, 801))) return Fail("no focus for the pages");
    PressAltKey(static_cast<WORD>('0' + page));
    return WaitFor([&] { return ::SendMessageW(Get(dialog, 801), TCM_GETCURSEL, 0, 0) == page; }) ||
           Fail("the page did not change");
}

bool SelectEntry(HWND dialog, int listId, int index) {
    HWND list = Get(dialog, listId);
    if (!Focus(list)) return Fail("no focus for a list");
    PressKey(VK_HOME);
    for (int i = 0; i < index; ++i) PressKey(VK_DOWN);
    return WaitFor([&] { return ListSelection(list) == index; }) || Fail("the entry was not selected");
}

bool Run() {
    TempFolder folder;
    Palette palette(folder);
    if (!WriteBytes(folder / L"k307palette.dat",
                    Lines({L"40", L"40", L"40", L"160", L"0", L"5", L"5", L"10図寸mm", L"12.5図寸mm", L"2ｍ",
                           L"3図寸ｍ", L"3", L"20", L"25図寸mm", L"1.5ｍ"})) ||
        !WriteBytes(palette.selectionFile(), Lines({kSelectionHeader, L"10図寸mm", kUnspecified, L"0"})))
        return Fail("cannot write the palette's files");
    if (!palette.StartAndWait()) return Fail("the palette did not start");
    HWND w = palette.window();
    if (!Shot("palette", w)) return false;

    ::PostMessageW(Get(w, 101), BM_CLICK, 0, 0);
    HWND dialog = palette.WaitForDialog();
    if (!dialog) return Fail("the settings dialog did not open");
    if (!Shot("settings-general", dialog)) return false;
    if (!SelectPage(dialog, 1) || !SelectEntry(dialog, 501, 2) || !Shot("settings-radius", dialog)) return false;
    if (!SelectPage(dialog, 2) || !SelectEntry(dialog, 502, 1) || !Shot("settings-diameter", dialog)) return false;

    // Vertical, accepted.
    if (!SelectPage(dialog, 0)) return false;
    ::SendMessageW(Get(dialog, 7011), BM_CLICK, 0, 0);
    ::PostMessageW(Get(dialog, 101), BM_CLICK, 0, 0);
    if (!WaitFor([&] {
            RECT p1 = OuterRect(Get(w, 401)), p2 = OuterRect(Get(w, 402));
            return !::IsWindowVisible(dialog) && IsTopMost(w) && ClientSize(w).cy == 86 && p2.top == p1.bottom;
        }))
        return Fail("the palette did not turn vertical");
    if (!Focus(Get(w, 201)) || !Shot("palette-vertical", w)) return false;

    ::PostMessageW(Get(w, 102), BM_CLICK, 0, 0);
    return palette.WaitForExit() || Fail("the palette did not close");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: k307_screenshots FOLDER\n");
        return 2;
    }
    gFolder = argv[1];
    if (!gFolder.empty() && gFolder.back() != L'\\') gFolder += L'\\';
    bool ok = Run();
    WriteBytes(gFolder + L"done", ok ? "ok\n" : "failed\n");
    return ok ? 0 : 1;
}
