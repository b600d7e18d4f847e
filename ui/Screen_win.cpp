// The monitors: bringing a saved window position back onto a screen.
#include "ui/Screen_win.h"

#include <windows.h>

#include "ui/Placement.h"

namespace ui {

namespace {
BOOL CALLBACK CollectWorkArea(HMONITOR mon, HDC, LPRECT, LPARAM param) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (::GetMonitorInfoW(mon, &mi)) {
        const RECT& w = mi.rcWork;
        reinterpret_cast<std::vector<ScreenArea>*>(param)->push_back({w.left, w.top, w.right, w.bottom});
    }
    return TRUE;
}
}  // namespace

void DesktopEnvironment::KeepReachable(int& left, int& top, int width, int height) {
    std::vector<ScreenArea> areas;
    ::EnumDisplayMonitors(nullptr, nullptr, CollectWorkArea, reinterpret_cast<LPARAM>(&areas));
    // The caption strip of a single-border window: the frame above it and the title bar.
    int caption = ::GetSystemMetrics(SM_CYFIXEDFRAME) + ::GetSystemMetrics(SM_CYCAPTION);
    KeepCaptionReachable(left, top, width, height, caption, areas);
}

}  // namespace ui
