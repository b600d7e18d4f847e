// Program entry: the palette as main window, the settings dialog owned by it
// and made when first opened, one event loop.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <optional>

#include "app/Unit1z.h"
#include "common/Texts.h"
#include "os/Cp932_win.h"
#include "settings/Unit2z.h"
#include "ui/DialogWindow_win.h"

// The program has no exceptions, but the library's own error paths throw,
// and linking them brings in the whole exception machinery (the unwinder,
// the exception allocator, type information), a tenth of the program. A
// failed allocation or a broken precondition ends the program at once, as
// it would have anyway; the library's default handler for an uncaught
// exception would also pull in a 45 KiB demangler for a program without a
// console to print on.
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    std::abort();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
namespace std {
void __throw_bad_alloc() {
    std::abort();
}
void __throw_bad_array_new_length() {
    std::abort();
}
void __throw_bad_function_call() {
    std::abort();
}
void __throw_length_error(const char*) {
    std::abort();
}
void __throw_logic_error(const char*) {
    std::abort();
}
void __throw_out_of_range(const char*) {
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
void __throw_invalid_argument(const char*) {
    std::abort();
}
}  // namespace std

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ui::InitWindows(instance);
    TForm2 dialog;
    TForm1 palette(os::SystemEnvironment(), dialog);
    palette.keepReachable = ui::KeepOnScreens;

    // The palette is the one unowned top-level window with the caption, so
    // the single-copy count finds exactly one per running copy; the dialog is
    // owned by it and never counted. Its task-bar entry shows the caption.
    ui::DialogWindow paletteWindow(palette, nullptr, true);
    if (!paletteWindow.hwnd) {
        // A program that runs on without a window could only be ended from
        // the task manager.
        ::MessageBoxW(nullptr, os::WideFrom932(texts::kNoPaletteWindow).c_str(),
                      os::WideFrom932(texts::kCaption).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
    paletteWindow.AttachTimer(palette.Timer1);
    paletteWindow.AttachTimer(palette.RetryTimer);
    // The dialog's window, with its forty controls, is made on the first
    // press of 設定(&S): made at start it cost more CPU than the whole
    // palette window and a tenth of its memory, for a dialog many sessions
    // never open. Until then the dialog is its model alone, with the frame
    // its window will have, so that positions read at start are placed the
    // same.
    ui::DialogWindow::MeasureFrame(dialog);
    std::optional<ui::DialogWindow> dialogWindow;
    dialog.OnMakeWindow = [&](ui::Form&) {
        if (dialogWindow) return true;
        dialogWindow.emplace(dialog, paletteWindow.hwnd, false);
        if (dialogWindow->hwnd) return true;
        dialogWindow.reset();
        ::MessageBoxW(paletteWindow.hwnd, os::WideFrom932(texts::kNoSettingsWindow).c_str(),
                      os::WideFrom932(texts::kCaption).c_str(), MB_OK | MB_ICONERROR);
        return false;
    };

    // The show sequence runs once the palette is visible, as it counts the
    // visible windows carrying the caption, its own included. It is shown
    // without activation: a second copy that closes at once must not hand
    // the activation on to the running copy's window when its own goes.
    ::ShowWindow(paletteWindow.hwnd, SW_SHOWNA);
    ::UpdateWindow(paletteWindow.hwnd);
    palette.FormShow();
    if (!palette.closed) {
        ::SetForegroundWindow(paletteWindow.hwnd);
        palette.ComboBox1.SetFocus();
    }
    return ui::RunMessageLoop();
}
