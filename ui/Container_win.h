// The windows that hold controls: the class of panels, tab sheets and radio
// groups, and the routing of child notifications that forms share with them.
#pragma once
#include <windows.h>

namespace ui {

extern const wchar_t kContainerClass[];
void RegisterContainerClass(HINSTANCE instance);

// Messages every window that holds controls handles alike: notifications go
// to the peer of the child that sent them. True when handled.
bool RouteChildMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

}  // namespace ui
