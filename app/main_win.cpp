// Program entry: the palette as main window, the settings dialog owned by it
// and made when first opened, one event loop.
#include <windows.h>

#include <optional>
#include <vector>

#include "app/Unit1z.h"
#include "common/Texts.h"
#include "os/Cp932_win.h"
#include "settings/Unit2z.h"
#include "ui/DialogWindow_win.h"
#include "ui/Placement.h"

namespace {

// Moves a window of the outer size `width` x `height` at (left, top) as
// KeepCaptionReachable does on the screens Windows reports.
void KeepOnScreens(int& left, int& top, int width, int height) {
    std::vector<ui::ScreenArea> areas;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR mon, HDC, LPRECT, LPARAM param) -> BOOL {
            MONITORINFO mi{};
            mi.cbSize = sizeof mi;
            if (::GetMonitorInfoW(mon, &mi)) {
                const RECT& w = mi.rcWork;
                reinterpret_cast<std::vector<ui::ScreenArea>*>(param)->push_back({w.left, w.top, w.right, w.bottom});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&areas));
    // The caption strip of a single-border window: the frame above it and the title bar.
    int caption = ::GetSystemMetrics(SM_CYFIXEDFRAME) + ::GetSystemMetrics(SM_CYCAPTION);
    ui::KeepCaptionReachable(left, top, width, height, caption, areas);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ui::InitWindows(instance);
    TForm2 dialog;
    TForm1 palette(os::SystemEnvironment(), dialog);
    palette.keepReachable = KeepOnScreens;

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
