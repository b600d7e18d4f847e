// The form framework: each control is a model that owns its state and event
// rules; its form's window (ui/DialogWindow_win.h) shows it on a real control
// and feeds the user's input back through the model's User* calls. Without a
// window the models run headless, which is how the forms are tested.
// Rules kept once for every form: a text or index set by program runs no
// handling; checking a radio button runs its click handling when it was
// unchecked (the radio buttons of one parent are one group); a user pick
// from a combo box list makes that line current and runs the change
// handling; refilling the list leaves no line current.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ui {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// In this order, the stable control ID (GetDlgCtrlID) of control n of a kind
// is 100 times the kind's place plus n: Button n is 100+n, ComboBox 200+n, ...
// Label 1100+n. Item k of RadioGroup n is (700+n)*10+k.
// clang-format off
enum class Kind { Form, Button, ComboBox, RadioButton, Panel, ListBox, Edit, RadioGroup, PageControl, TabSheet, Memo,
                  Label };
// clang-format on
constexpr int ControlId(Kind kind, int number) {
    return kind == Kind::Form ? 0 : static_cast<int>(kind) * 100 + number;
}
constexpr int RadioItemId(int groupNumber, int item) {
    return (700 + groupNumber) * 10 + item;
}

// What changed in a model, for its window to mirror. kItemIndex: the
// selected or current line, radio item; kSize: a form's size, not its place.
// clang-format off
enum Change : unsigned { kText = 1, kSelection = 2, kItems = 4, kItemIndex = 8, kChecked = 16, kBounds = 32,
                         kFocus = 64, kActivePage = 128, kTopMost = 256, kSize = 512 };
// clang-format on

// How a list's entries changed (ListBox), so that its window redoes only
// that: all are new, entry `index` is new or has a new text, or entry
// `index` was deleted.
struct ListChange {
    enum class What { Reset, Put, Delete } what = What::Reset;
    int index = 0;
};

class Control;
class Timer;

// The window system's side of a form, which shows its controls and runs its
// timers: a dialog on Windows, a stand-in in the tests, none headless.
class FormWindow {
public:
    virtual ~FormWindow() = default;
    virtual void Update(Control& control, unsigned changes) = 0;
    virtual void UpdateList(Control& list, const ListChange& change) = 0;
    // A fresh wait of the full interval, replacing one under way. A stop is
    // only noted: a tick that comes while the model is stopped is dropped.
    virtual void Restart(Timer& timer) = 0;
    virtual void RunModal() = 0;  // until the form closes
    // Closes the window (the main form's close ends the program).
    virtual void Destroy() = 0;
    // Where the outer window stands now; the restored position when minimized.
    virtual void ReadPosition(int& left, int& top) = 0;
};

class Container;
class Form;

class Control {
public:
    Control(Container* parent, Kind kind, int number, Rect bounds, std::string caption = {});
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    Kind kind() const { return kind_; }
    int number() const { return number_; }
    int id() const { return ControlId(kind_, number_); }
    Container* parent() const { return parent_; }
    // This control as a holder of others, or nullptr.
    virtual Container* asContainer() { return nullptr; }

    const Rect& bounds() const { return bounds_; }
    void SetBounds(const Rect& r);
    void SetPosition(int left, int top) { SetBounds({left, top, bounds_.width, bounds_.height}); }
    const std::string& caption() const { return caption_; }

    int tag = 0;
    // The window that shows this model; it clears this when it goes.
    FormWindow* window = nullptr;

    // Moves the keyboard focus here (the window follows).
    void SetFocus() { Notify(kFocus); }

protected:
    void Notify(unsigned changes) {
        if (window) window->Update(*this, changes);
    }

private:
    Kind kind_;
    int number_;
    Container* parent_;
    Rect bounds_;
    std::string caption_;
};

// A control that holds others; children are kept in creation order, which is
// also their keyboard tab order.
class Container : public Control {
public:
    using Control::Control;
    Container* asContainer() override { return this; }
    const std::vector<Control*>& children() const { return children_; }
    void AddChild(Control* c) { children_.push_back(c); }

    uint32_t color = 0xFFFFFF;  // RGB
    bool raisedBevel = false;

private:
    std::vector<Control*> children_;
};

// The message-loop timer. Enabling a stopped timer starts a fresh wait of the
// full interval; enabling a running one, or setting the interval it has,
// changes nothing.
class Timer {
public:
    bool enabled() const { return enabled_; }
    unsigned interval() const { return interval_; }
    void SetEnabled(bool enabled);
    void SetInterval(unsigned ms);
    std::function<void()> OnTimer;
    // A tick arrived (from the window, or from a test).
    void Fire() {
        if (enabled_ && OnTimer) OnTimer();
    }
    // The window that runs the timer, and its number there.
    FormWindow* window = nullptr;
    unsigned windowId = 0;

private:
    bool enabled_ = false;
    unsigned interval_ = 1000;
};

// A top-level window holding the controls, shown normally or modally.
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
    // Border and title bar, as the window system draws them (the window sets
    // these); a plausible single-border frame when headless.
    int frameWidth = 6, frameHeight = 25;

    bool stayOnTop() const { return stayOnTop_; }
    void SetStayOnTop(bool on);

    std::function<void()> OnShow, OnClose;
    // The session ends (log-off, shut-down): the program ends without closing.
    std::function<void()> OnEndSession;
    // Called by ShowModal when the form has no window yet, to make one: a
    // window that is rarely shown need not cost its creation at start. False
    // when none could be made.
    std::function<bool(Form&)> OnMakeWindow;
    // Shows modally and returns when the form closes; false, without any show
    // handling, when no window could be made for it.
    bool ShowModal();
    // Runs the close handling and closes the window (or ends the modal loop).
    void Close();
    bool closed = false;

private:
    int left_, top_, clientWidth_, clientHeight_;
    bool stayOnTop_ = false;
};

// The dialog manager's commands for Enter and Escape (IDOK and IDCANCEL).
constexpr int kEnterCommand = 1, kEscapeCommand = 2;

}  // namespace ui
