// The form's window: it builds the real windows from a form's control tree
// (each control's peer makes its own), mirrors the form's changes, routes
// the children's notifications and runs the modal loop.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "ui/Form.h"
#include "ui/WinPeer_win.h"

namespace ui {

class FormWindow final : public FormPeer, public WinPeer {
public:
    // `owner` is the palette for the dialog, nullptr for the palette itself.
    FormWindow(Form& form, HWND owner, bool mainWindow);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

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

    // The form window whose top-level window is `root`, or nullptr.
    static FormWindow* ForRoot(HWND root);
    // The program's own top-level windows that `owner` owns.
    static std::vector<HWND> OwnedBy(HWND owner);

    // The button Enter presses: the focused push button, else the form's
    // default one (0: none).
    void SetDefaultId(int id);
    void RestoreDefaultId() { SetDefaultId(FormDefaultId()); }

private:
    void CreateChildren(Container& container, HWND parent);
    void PlaceWindow();
    int FormDefaultId();

    Form& form_;
    HWND owner_;
    bool main_;
    bool inModal_ = false;
    bool endModal_ = false;
    HWND lastFocus_ = nullptr;
    int defaultId_ = 0;
    std::vector<std::unique_ptr<ChildPeer>> peers_;
    std::deque<std::function<bool()>> later_;
};

// The window classes and common controls; once, before any window.
void RegisterWindowClasses(HINSTANCE instance);

}  // namespace ui
