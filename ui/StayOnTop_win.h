// The stay-on-top state of a top-level window, made to work under Wine too.
#pragma once
#include <windows.h>

#include <vector>

namespace ui {

// Sets or clears the stay-on-top state of a top-level window; `owned`, the
// program's own windows that it owns, stay as they are. Only those are set
// aside: the thread also owns windows it did not make (an input method's
// hidden ones), which are not ours to touch.
void SetTopMost(HWND hwnd, bool on, const std::vector<HWND>& owned);

}  // namespace ui
