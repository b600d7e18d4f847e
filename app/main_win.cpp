// Program entry: the palette as main window, the settings dialog owned by it
// and made when first opened, one event loop.
#include <windows.h>

#include <cstdlib>
#include <optional>

#include "app/Unit1z.h"
#include "settings/Unit2z.h"
#include "ui/Dialog_win.h"

// The library's default handler for an uncaught exception prints a demangled
// type name, pulling a 45 KiB demangler into a program with no console to
// print on. Ending at once is all that can be done anyway.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ui::InitWindows(instance);
    TForm2 dialog;
    TForm1 palette(os::SystemEnvironment(), dialog);
    palette.keepReachable = ui::KeepOnScreens;

    // The palette is the one unowned top-level window with the caption, so
    // the single-copy count finds exactly one per running copy; the dialog is
    // owned by it and never counted. Its task-bar entry shows the caption.
    ui::DialogWindow paletteWindow(palette, nullptr, true);
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
    dialog.needPeer = [&](ui::Form&) {
        if (!dialogWindow) dialogWindow.emplace(dialog, paletteWindow.hwnd, false);
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
