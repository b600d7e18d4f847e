#pragma once
// Win32 peers of the control models. A FormWindow builds the real windows from
// a form's control tree, mirrors every model change onto them, and feeds user
// input back into the models. Control IDs come from the models' names.
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace ui {

// Base of every child-window peer: found again from its HWND (GWLP_USERDATA).
class WinPeer : public ControlPeer {
public:
    HWND hwnd = nullptr;
    virtual void OnCommand(WORD /*code*/) {}
    virtual bool OnNotify(NMHDR* /*hdr*/, LRESULT& /*result*/) { return false; }
    // Background for WM_CTLCOLOR*: the colour of the container it stands on.
    HBRUSH background = nullptr;
    COLORREF backgroundColor = RGB(255, 255, 255);
    static WinPeer* FromHwnd(HWND h);
    // While set, echoes of what the peer itself pushes are ignored.
    int mirroring = 0;
};

// The font of both windows: "ＭＳ ゴシック", 13 pixels, Shift-JIS, or the
// nearest Japanese gothic installed.
HFONT UiFont();

class FormWindow final : public FormPeer {
public:
    // `owner` is the palette for the dialog, nullptr for the palette itself.
    FormWindow(Form& form, HWND owner, bool mainWindow);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // Shown without activation, a window that closes at once leaves the
    // activation where it was.
    void Show(bool activate);
    void Activate();

    void Update(unsigned changes) override;
    void RunModal() override;
    void Destroy() override;
    void ReadPosition(int& left, int& top) override;

    // Keyboard handling of the dialog manager, plus page access keys.
    bool PreTranslate(MSG& msg);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    // Extra handling for session end (the palette).
    std::function<void()> onEndSession;
    std::function<void(UINT_PTR)> onTimer;
    // Work that can wait until the window is up: each step runs from a
    // message of its own, in order, and is run again until it returns true.
    // Posted messages come before input and painting, so no click or key is
    // handled while steps remain; messages other programs send still are.
    void Later(std::function<bool()> step);

    // The frame this window system gives a form of this style, set on the
    // form before any window exists.
    static void MeasureFrame(Form& form);

    // The button Enter presses: the focused push button, else the form's
    // default one (0: none).
    void SetDefaultId(int id);
    void RestoreDefaultId() { SetDefaultId(FormDefaultId()); }

    static FormWindow* FromHwnd(HWND h);
    // From WM_NCCREATE on, before CreateWindowExW returns.
    void Attach(HWND h) { hwnd_ = h; }

private:
    void CreateChildren(Container& container, HWND parent);
    WinPeer* CreatePeer(Control& c, HWND parent);
    static Control* Find(Container& c, const std::function<bool(const Control&)>& match);
    void PlaceWindow();
    int FormDefaultId();

    Form& form_;
    HWND hwnd_ = nullptr;
    HWND owner_;
    bool main_;
    bool inModal_ = false;
    bool endModal_ = false;
    HWND lastFocus_ = nullptr;
    int defaultId_ = 0;
    HBRUSH brush_ = nullptr;
    std::vector<std::unique_ptr<WinPeer>> peers_;
    std::deque<std::function<bool()>> later_;
};

// A message-loop timer on a window. Every handler stops and restarts its
// timer, so a stop is only noted: the restart's SetTimer replaces the
// pending wait with a fresh one of the full interval, and a tick that comes
// while the model is stopped is dropped and ends the system timer then.
// Each tick thus costs one call into the window system instead of two.
class WinTimer final : public TimerPeer {
public:
    WinTimer(Timer& timer, HWND hwnd, UINT_PTR id) : timer_(timer), hwnd_(hwnd), id_(id) { timer.peer = this; }
    ~WinTimer() override { timer_.peer = nullptr; }
    void Restart(unsigned intervalMs) override { ::SetTimer(hwnd_, id_, intervalMs, nullptr); }
    void Stop() override {}
    void Tick() {
        if (timer_.enabled())
            timer_.Fire();
        else
            ::KillTimer(hwnd_, id_);
    }
    UINT_PTR id() const { return id_; }

private:
    Timer& timer_;
    HWND hwnd_;
    UINT_PTR id_;
};

void RegisterWindowClasses(HINSTANCE instance);
// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace ui
