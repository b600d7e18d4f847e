// The stay-on-top workaround.
#include "ui/StayOnTop_win.h"

#include <vector>

namespace ui {

// Wine keeps a window that owns others from becoming topmost (it files it
// under its owned windows and takes their state), and an owned window from
// leaving the state it inherited from a topmost owner; with the ownership set
// aside for the call both work, here as on Windows, and the owned windows
// stay as they are.
void SetTopMost(HWND hwnd, bool on) {
    struct Owned {
        HWND owner;
        std::vector<HWND> windows;
    } owned{hwnd, {}};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            auto* o = reinterpret_cast<Owned*>(p);
            if (::GetWindow(w, GW_OWNER) == o->owner) o->windows.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&owned));
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    for (HWND w : owned.windows) ::SetWindowLongPtrW(w, GWLP_HWNDPARENT, 0);
    if (owner) ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, 0);
    ::SetWindowPos(hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (owner) ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    for (HWND w : owned.windows) ::SetWindowLongPtrW(w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hwnd));
}

}  // namespace ui
