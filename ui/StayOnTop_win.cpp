// The stay-on-top workaround.
#include "ui/StayOnTop_win.h"

namespace ui {

// Wine keeps a window that owns others from becoming topmost (it files it
// under its owned windows and takes their state), and an owned window from
// leaving the state it inherited from a topmost owner; with the ownership set
// aside for the call both work, here as on Windows, and the owned windows
// stay as they are.
void SetTopMost(HWND hwnd, bool on, const std::vector<HWND>& owned) {
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    for (HWND w : owned) ::SetWindowLongPtrW(w, GWLP_HWNDPARENT, 0);
    if (owner) ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, 0);
    ::SetWindowPos(hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (owner) ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    for (HWND w : owned) ::SetWindowLongPtrW(w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hwnd));
}

}  // namespace ui
