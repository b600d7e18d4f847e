// The form model: a top-level window holding the controls, shown normally or
// modally; and how the dialog manager's commands find their button.
#pragma once
#include <functional>
#include <string>

#include "ui/Button.h"
#include "ui/Control.h"

namespace ui {

class FormPeer : public ControlPeer {
public:
    // Runs a modal loop until the form closes.
    virtual void RunModal() = 0;
    // Closes the window (the main form's close ends the program).
    virtual void Destroy() = 0;
    // Where the outer window stands now; the restored position when minimized.
    virtual void ReadPosition(int& left, int& top) = 0;
};

class Form : public Container {
public:
    Form(std::string caption, int left, int top, int clientWidth, int clientHeight);
    // Outer position and size; outer size = client size + frame.
    int left();
    int top();
    void SetPosition(int left, int top);
    // The position last set, without asking the window where it is now.
    int storedLeft() const { return left_; }
    int storedTop() const { return top_; }
    int width() const { return clientWidth_ + frameWidth; }
    int height() const { return clientHeight_ + frameHeight; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    void SetClientSize(int width, int height);
    void SetOuterSize(int width, int height) { SetClientSize(width - frameWidth, height - frameHeight); }
    // Border and title bar, as the window system draws them (the peer sets
    // these); a plausible single-border frame when headless.
    int frameWidth = 6;
    int frameHeight = 25;

    bool stayOnTop() const { return stayOnTop_; }
    void SetStayOnTop(bool on);

    std::function<void()> OnShow;
    std::function<void()> OnClose;
    // Shows modally and returns when the form closes. Headless, `headlessModal`
    // plays the user's part while the form is shown.
    void ShowModal();
    std::function<void(Form&)> headlessModal;
    // Called by ShowModal when the form has no peer yet, to make one: a
    // window that is rarely shown need not cost its creation at start.
    std::function<void(Form&)> needPeer;
    bool modal() const { return modal_; }
    // Runs the close handling and closes the window (or ends the modal loop).
    void Close();
    bool closed = false;
    FormPeer* formPeer() { return static_cast<FormPeer*>(peer); }

    Control* focused = nullptr;

private:
    int left_, top_;
    int clientWidth_, clientHeight_;
    bool stayOnTop_ = false;
    bool modal_ = false;
};

// The first control in tab order, panels and pages included, that matches.
Control* FindControl(Container& container, const std::function<bool(const Control&)>& match);

// The dialog manager's commands for Enter and Escape (IDOK and IDCANCEL).
constexpr int kEnterCommand = 1;
constexpr int kEscapeCommand = 2;

// The default button (Enter), or nullptr.
Button* DefaultButton(Container& form);
// The button a command without a sender means: the default button for
// Enter, the cancel button for Escape, else the button whose control ID it
// is (an access key); nullptr when there is none.
Button* CommandButton(Container& form, int id);

}  // namespace ui
