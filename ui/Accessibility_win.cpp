// Names for screen readers: the right label just before each control.
#include "ui/Accessibility_win.h"

#include <string>

namespace ui {

namespace {

bool IsClass(HWND h, const wchar_t* name) {
    wchar_t cls[32];
    return ::GetClassNameW(h, cls, 32) && ::lstrcmpiW(cls, name) == 0;
}

RECT RectInParent(HWND h) {
    RECT r;
    ::GetWindowRect(h, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

void NameAfterLabelAbove(HWND control) {
    const RECT c = RectInParent(control);
    HWND best = nullptr;
    LONG bestGap = 0;
    for (HWND s = ::GetWindow(control, GW_HWNDFIRST); s; s = ::GetWindow(s, GW_HWNDNEXT)) {
        if (s == control || !IsClass(s, L"Static")) continue;
        const RECT r = RectInParent(s);
        if (r.left != c.left || r.bottom > c.top) continue;
        if (!best || c.top - r.bottom < bestGap) {
            best = s;
            bestGap = c.top - r.bottom;
        }
    }
    if (best && ::GetWindow(control, GW_HWNDPREV) != best) {
        // Behind the window now before the control, that is, right before it.
        if (HWND prev = ::GetWindow(control, GW_HWNDPREV))
            ::SetWindowPos(best, prev, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

void NameAfterPrecedingButton(HWND control) {
    HWND button = ::GetWindow(control, GW_HWNDPREV);
    if (!button || !IsClass(button, L"Button")) return;
    wchar_t text[64];
    if (::GetWindowTextW(button, text, 64) <= 0) return;
    HWND label = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | SS_LEFT, 0, 0, 0, 0, ::GetParent(control),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                                   reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(control, GWLP_HINSTANCE)), nullptr);
    if (label) ::SetWindowPos(label, button, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

}  // namespace ui
