// The program's message loop.
#include "ui/MessageLoop_win.h"

#include <windows.h>

#include "ui/Form_win.h"

namespace ui {

int RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        bool handled = false;
        if (FormWindow* f = FormWindow::ForRoot(::GetAncestor(msg.hwnd, GA_ROOT))) handled = f->PreTranslate(msg);
        if (!handled) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace ui
