// The container window class and the routing of child notifications.
#include "ui/Container_win.h"

#include "ui/Theme_win.h"
#include "ui/WinPeer_win.h"

namespace ui {

const wchar_t kContainerClass[] = L"K307Container";

bool RouteChildMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_COMMAND: {
            HWND child = reinterpret_cast<HWND>(lp);
            if (!child) return false;
            WinPeer* peer = WinPeer::FromHwnd(child);
            if (peer && peer->hwnd == child) {
                peer->OnCommand(HIWORD(wp));
            } else if (WinPeer* self = WinPeer::FromHwnd(hwnd); self && self->OnChildCommand(child, HIWORD(wp))) {
                // an item of a radio group: the group is this container
            } else if (peer) {
                peer->OnCommand(HIWORD(wp));
            }
            result = 0;
            return true;
        }
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (WinPeer* peer = WinPeer::FromHwnd(hdr->hwndFrom)) return peer->OnNotify(hdr, result);
            return false;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            result = CtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), hwnd);
            return true;
        default:
            return false;
    }
}

namespace {

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (RouteChildMessage(hwnd, msg, wp, lp, result)) return result;
    switch (msg) {
        // What a control sends its parent to reach the dialog it sits in
        // (a multi-line edit's Tab, Enter and Escape, the dialog manager's
        // commands) belongs to the form: a container is no dialog, and the
        // default handling of WM_CLOSE would destroy it with its controls.
        case WM_CLOSE:
            ::SendMessageW(::GetAncestor(hwnd, GA_ROOT), WM_COMMAND, IDCANCEL, 0);
            return 0;
        case WM_COMMAND:  // lParam 0: from the dialog manager, not a child
        case WM_NEXTDLGCTL:
        case DM_GETDEFID:
        case DM_SETDEFID:
            return ::SendMessageW(::GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT: {
            RECT r;
            ::GetClientRect(hwnd, &r);
            WinPeer* p = WinPeer::FromHwnd(hwnd);
            ::FillRect(reinterpret_cast<HDC>(wp), &r,
                       BrushFor(ThemeBackground(p ? p->backgroundColor : RGB(255, 255, 255))));
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd, &ps);
            if (WinPeer* p = WinPeer::FromHwnd(hwnd)) {
                RECT r;
                ::GetClientRect(hwnd, &r);
                p->PaintContainer(dc, r);
            }
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

void RegisterContainerClass(HINSTANCE instance) {
    WNDCLASSEXW cc{};
    cc.cbSize = sizeof cc;
    cc.lpfnWndProc = ContainerProc;
    cc.hInstance = instance;
    cc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cc.lpszClassName = kContainerClass;
    ::RegisterClassExW(&cc);
}

}  // namespace ui
