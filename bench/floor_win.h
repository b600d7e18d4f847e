// What the two parts of the floor program share: the palette's windows
// (floor_win.cpp) and the settings dialog's windows (floor_dialog_win.cpp).
#pragma once
#include <windows.h>

#include <string>

namespace bench {

// The dialog's list boxes hold this many entries, as many as the driver's
// small configuration gives the palette's lists, so that both show the same.
constexpr int kFloorListEntries = 10;

// A text of common/Texts.h in UTF-16, converted as the palette converts its
// texts: with code page 932 by number.
std::wstring Wide(const char* cp932);

// A place in pixels: left, top, width, height.
struct Box {
    int x, y, w, h;
};

// A dialog from an in-memory template without controls, as the palette makes
// its forms, panels, pages and radio groups; `data` reaches WM_INITDIALOG.
HWND MakeDialog(HWND parent, DWORD style, DWORD exStyle, const std::wstring& title, DLGPROC proc, LPARAM data);

// A child control in the palette's font.
HWND MakeControl(DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style, Box b, HWND parent, int id);

// Shows the settings dialog's windows as a modal dialog of `owner`, made on
// the first call and only shown again on later ones; returns once closed.
void ShowSettingsDialog(HWND owner);

}  // namespace bench
