// What users of a contrast theme and of a Japanese input method meet: the
// palette's surfaces in the theme's colours, and number fields that digits
// reach as they were typed.
#include <psapi.h>

#include "tests/e2e/Fixture.h"

namespace e2e {
namespace {

using std::chrono::seconds;

// The colour the screen shows at a point of a control's client area.
COLORREF PixelAt(HWND control, POINT p) {
    ::ClientToScreen(control, &p);
    HDC screen = ::GetDC(nullptr);
    COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return c;
}

// The high-contrast setting, put back as it was when the test ends.
class HighContrastSetting {
public:
    HighContrastSetting() {
        saved_.cbSize = sizeof saved_;
        ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof saved_, &saved_, 0);
    }
    ~HighContrastSetting() {
        if (changed_) ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof saved_, &saved_, SPIF_SENDCHANGE);
    }
    bool TurnOn() {
        HIGHCONTRASTW on = saved_;
        on.dwFlags |= HCF_HIGHCONTRASTON;
        changed_ = ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof on, &on, SPIF_SENDCHANGE) != 0;
        HIGHCONTRASTW now{};
        now.cbSize = sizeof now;
        return changed_ && ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof now, &now, 0) &&
               (now.dwFlags & HCF_HIGHCONTRASTON);
    }

private:
    HIGHCONTRASTW saved_{};
    bool changed_ = false;
};

TEST_F(PaletteTest, PanelsTakeTheHighContrastColoursWhileTheThemeIsOn) {
    ASSERT_TRUE(palette.StartAndWait());
    // Spots of the two panels that no control covers: right of the combo
    // boxes, and between the two buttons.
    E2E_CONTROL(panel1, palette.window(), 401);
    E2E_CONTROL(panel2, palette.window(), 402);
    const POINT spot1{181, 21}, spot2{68, 20};
    ASSERT_TRUE(WaitFor([&] {
        return PixelAt(panel1, spot1) == RGB(255, 255, 255) && PixelAt(panel2, spot2) == RGB(255, 255, 255);
    })) << "without a contrast theme the panels are white";

    HighContrastSetting setting;
    if (!setting.TurnOn()) {
        // Wine 8 always reports high contrast as off and refuses to set it.
        GTEST_SKIP() << "this system cannot switch high contrast on (SPI_SETHIGHCONTRAST)";
    }
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    COLORREF seen1 = 0, seen2 = 0;
    EXPECT_TRUE(WaitFor([&] {
        seen1 = PixelAt(panel1, spot1);
        seen2 = PixelAt(panel2, spot2);
        return seen1 == window && seen2 == window;
    })) << "the theme's window colour is "
        << std::hex << window << ", the panels show " << seen1 << " and " << seen2;
}

// Calls an imm32 function of one argument in the palette's own process,
// where alone the answer means anything. imm32.dll lies at the same offset in
// both processes; only its base may differ.
ULONG_PTR CallImmInProgram(HANDLE process, const char* name, void* argument) {
    HMODULE local = ::LoadLibraryW(L"imm32.dll");
    auto* function = reinterpret_cast<char*>(::GetProcAddress(local, name));
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!function || !::EnumProcessModulesEx(process, modules, sizeof modules, &bytes, LIST_MODULES_ALL)) return ~0u;
    HMODULE remote = nullptr;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
        wchar_t name[MAX_PATH];
        if (::GetModuleBaseNameW(process, modules[i], name, MAX_PATH) && ::lstrcmpiW(name, L"imm32.dll") == 0)
            remote = modules[i];
    }
    if (!remote) return ~0u;
    // Under Wine a remote thread starts only when the program's own thread
    // lets it in, and it can wait for good when the program is busy just
    // then: the call waits for an idle program and runs on a thread of its
    // own here, so that a stuck call fails the test instead of hanging it.
    ::WaitForInputIdle(process, 5000);
    struct Call {
        HANDLE process;
        void* argument;
        LPTHREAD_START_ROUTINE start;
        DWORD result = ~0u;
    };
    auto* call = new Call{process, argument,
                          reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<char*>(remote) +
                                                                   (function - reinterpret_cast<char*>(local)))};
    HANDLE caller = ::CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* c = static_cast<Call*>(p);
            HANDLE thread = ::CreateRemoteThread(c->process, nullptr, 0, c->start, c->argument, 0, nullptr);
            if (!thread) return 0;
            if (::WaitForSingleObject(thread, 10000) != WAIT_OBJECT_0 || !::GetExitCodeThread(thread, &c->result))
                c->result = ~0u;
            ::CloseHandle(thread);
            return 0;
        },
        call, 0, nullptr);
    if (!caller) {
        delete call;
        return ~0u;
    }
    if (::WaitForSingleObject(caller, 15000) != WAIT_OBJECT_0) {
        ::CloseHandle(caller);
        return ~0u;  // the caller is left to its fate, and `call` with it
    }
    ::CloseHandle(caller);
    const DWORD result = call->result;
    delete call;
    return result;
}

// No input context means no input method can be switched on in that window.
ULONG_PTR InputContextInProgram(HANDLE process, HWND window) {
    return CallImmInProgram(process, "ImmGetContext", window);
}

TEST_F(PaletteTest, NumberFieldsHaveNoInputMethodWhileComboBoxesKeepIt) {
    ASSERT_TRUE(palette.StartAndWait());
    ::PostMessageW(palette.Control(101), BM_CLICK, 0, 0);
    HWND dialog = palette.WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "no settings dialog showed";
    // Shown, the dialog puts the focus on its first control: it is up then.
    ASSERT_TRUE(WaitFor([&] { return ::IsChild(dialog, FocusOfThread(dialog)) != 0; }));
    E2E_CONTROL(edit1, dialog, 601);
    E2E_CONTROL(edit2, dialog, 602);
    EXPECT_EQ(InputContextInProgram(palette.process(), edit1), 0u) << "Edit1 has an input method";
    EXPECT_EQ(InputContextInProgram(palette.process(), edit2), 0u) << "Edit2 has an input method";
    for (int id : {201, 202}) {
        HWND field = ::FindWindowExW(palette.Control(id), nullptr, L"Edit", nullptr);
        ASSERT_NE(field, nullptr) << "no edit field in combo box " << id;
        ULONG_PTR context = InputContextInProgram(palette.process(), field);
        EXPECT_NE(context, 0u) << "combo box " << id << " lost its input method";
        EXPECT_NE(context, ULONG_PTR(~0u)) << "ImmGetContext could not be called in the program";
    }
}

// With the input method on, as it usually is beside a Japanese drawing
// program, digits typed into a combo box would arrive full-width: the box
// closes it when it gets the focus. (Wine's input method puts the reading
// into the field, so no composition is driven here: the open status is read.)
TEST_F(PaletteTest, AComboBoxClosesTheInputMethodWhenItGetsTheFocus) {
    ASSERT_TRUE(palette.StartAndWait());
    HMODULE hookModule = ::LoadLibraryW(L"k307_imehook.dll");
    ASSERT_NE(hookModule, nullptr) << "k307_imehook.dll is not beside the test program";
    auto* proc =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(::GetProcAddress(hookModule, "OpenInputMethodHook")));
    HHOOK hook =
        ::SetWindowsHookExW(WH_GETMESSAGE, proc, hookModule, ::GetWindowThreadProcessId(palette.window(), nullptr));
    ASSERT_NE(hook, nullptr);
    struct Unhook {
        HHOOK hook;
        ~Unhook() { ::UnhookWindowsHookEx(hook); }
    } unhook{hook};
    const UINT openMessage = ::RegisterWindowMessageW(L"k307 e2e: open IME");
    ASSERT_TRUE(Focus(palette.Control(101)));
    for (int id : {201, 202}) {
        HWND field = ::FindWindowExW(palette.Control(id), nullptr, L"Edit", nullptr);
        ASSERT_NE(field, nullptr) << "no edit field in combo box " << id;
        auto* context = reinterpret_cast<void*>(InputContextInProgram(palette.process(), field));
        auto open = [&] { return CallImmInProgram(palette.process(), "ImmGetOpenStatus", context); };
        ::PostMessageW(palette.window(), openMessage, reinterpret_cast<WPARAM>(field), 0);
        ASSERT_TRUE(WaitFor([&] { return open() == 1u; })) << "the input method could not be switched on";
        ASSERT_TRUE(Focus(field));
        EXPECT_TRUE(WaitFor([&] { return open() == 0u; })) << "combo box " << id << " left it on";
        ASSERT_TRUE(Focus(palette.Control(101)));
    }
}

}  // namespace
}  // namespace e2e
