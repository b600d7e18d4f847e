// Loaded into the palette's process by a WH_GETMESSAGE hook, on its window
// thread: there alone can an input method be switched on, as a user with
// the 半角/全角 key would (Wine's input method has no such key, and refuses
// a switch from any other thread). wParam names the edit window.
#include <windows.h>
// after windows.h, which it needs
#include <imm.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK OpenInputMethodHook(int code, WPARAM wp, LPARAM lp) {
    auto* msg = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && msg->message == ::RegisterWindowMessageW(L"k307 e2e: open IME")) {
        auto field = reinterpret_cast<HWND>(msg->wParam);
        if (HIMC context = ::ImmGetContext(field)) {
            ::ImmSetOpenStatus(context, TRUE);
            ::ImmReleaseContext(field, context);
        }
        msg->message = WM_NULL;
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}
