// The stay-on-top state of a top-level window, made to work under Wine too.
#pragma once
#include <windows.h>

namespace ui {

// Sets or clears the stay-on-top state of a top-level window; the windows
// it owns stay as they are.
void SetTopMost(HWND hwnd, bool on);

}  // namespace ui
