// The monitors: bringing a saved window position back onto a screen.
#include "ui/Screen_win.h"

#include <windows.h>

namespace ui {

namespace {
struct Probe {
    RECT window;
    bool touches = false;
};

BOOL CALLBACK CheckMonitor(HMONITOR mon, HDC, LPRECT, LPARAM param) {
    auto* probe = reinterpret_cast<Probe*>(param);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    RECT overlap;
    if (::GetMonitorInfoW(mon, &mi) && ::IntersectRect(&overlap, &probe->window, &mi.rcWork)) {
        probe->touches = true;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

void DesktopEnvironment::KeepReachable(int& left, int& top, int width, int height) {
    Probe probe{{left, top, left + width, top + height}};
    ::EnumDisplayMonitors(nullptr, nullptr, CheckMonitor, reinterpret_cast<LPARAM>(&probe));
    if (probe.touches) return;  // even partly on a monitor: as read
    HMONITOR nearest = ::MonitorFromRect(&probe.window, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!::GetMonitorInfoW(nearest, &mi)) return;
    const RECT& w = mi.rcWork;
    if (left + width > w.right) left = w.right - width;
    if (left < w.left) left = w.left;
    if (top + height > w.bottom) top = w.bottom - height;
    if (top < w.top) top = w.top;
}

}  // namespace ui
