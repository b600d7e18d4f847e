#pragma once
// A thin form framework. Each control is a model that owns its state and its
// event semantics; a peer (ui/*_win.cpp) mirrors it onto a real window and
// feeds user input back through the User* calls. Without a peer the same model
// runs headless, which is how the forms' logic is tested.
//
// Event rules, kept here once for every form:
// - A text or index set by program runs no change or click handling.
// - Checking a radio button runs its click handling when it was unchecked;
//   unchecking runs none. Radio buttons of one parent are one group.
// - A user pick from a combo box list makes that line current and runs the
//   change handling; refilling the list leaves no line current.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/Completion.h"

namespace ui {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

enum class Kind {
    Form,
    Button,
    ComboBox,
    RadioButton,
    Panel,
    ListBox,
    Edit,
    RadioGroup,
    PageControl,
    TabSheet,
    Memo,
    Label
};

// The stable control ID (GetDlgCtrlID) of a control: Button n is 100+n,
// ComboBox 200+n, RadioButton 300+n, Panel 400+n, ListBox 500+n, Edit 600+n,
// RadioGroup 700+n, PageControl 800+n, TabSheet 900+n, Memo 1000+n,
// Label 1100+n. Item k of RadioGroup n is (700+n)*10+k.
int ControlId(Kind kind, int number);
int RadioItemId(int groupNumber, int item);

// What changed in a model, for its peer to mirror.
enum Change : unsigned {
    kText = 1u << 0,       // text of an edit field or combo box
    kSelection = 1u << 1,  // selected part of the text
    kItems = 1u << 2,      // list contents
    kItemIndex = 1u << 3,  // selected or current list line, radio item
    kChecked = 1u << 4,
    kBounds = 1u << 5,
    kFocus = 1u << 6,
    kCaption = 1u << 7,
    kActivePage = 1u << 8,
    kTopMost = 1u << 9,
    kSize = 1u << 10,  // a form's size, its place unchanged
};

class Control;
class Container;
class Form;

class ControlPeer {
public:
    virtual ~ControlPeer() = default;
    virtual void Update(unsigned changes) = 0;
};

class Control {
public:
    Control(Container* parent, Kind kind, int number, Rect bounds, std::string caption = {});
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    Kind kind() const { return kind_; }
    int number() const { return number_; }
    int Id() const { return ControlId(kind_, number_); }
    Container* parent() const { return parent_; }
    Form* form();

    const Rect& bounds() const { return bounds_; }
    void SetBounds(const Rect& r);
    void SetPosition(int left, int top) { SetBounds({left, top, bounds_.width, bounds_.height}); }
    const std::string& caption() const { return caption_; }
    void SetCaption(std::string caption);

    int tag = 0;
    ControlPeer* peer = nullptr;

    // Moves the keyboard focus here (the peer follows).
    void SetFocus();
    bool Focused();

protected:
    void Notify(unsigned changes) {
        if (peer) peer->Update(changes);
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
    const std::vector<Control*>& children() const { return children_; }
    void AddChild(Control* c) { children_.push_back(c); }

    uint32_t color = 0xFFFFFF;  // RGB
    bool raisedBevel = false;

private:
    std::vector<Control*> children_;
};

class Panel : public Container {
public:
    Panel(Container* parent, int number, Rect bounds, uint32_t rgb, bool bevel)
        : Container(parent, Kind::Panel, number, bounds) {
        color = rgb;
        raisedBevel = bevel;
    }
};

class TabSheet : public Container {
public:
    TabSheet(Container* parent, int number, std::string caption)
        : Container(parent, Kind::TabSheet, number, {}, std::move(caption)) {}
};

class PageControl : public Container {
public:
    PageControl(Container* parent, int number, Rect bounds) : Container(parent, Kind::PageControl, number, bounds) {}
    int activePage() const { return activePage_; }
    void SetActivePage(int index);
    void UserSelectPage(int index) { SetActivePage(index); }

private:
    int activePage_ = 0;
};

class Label : public Control {
public:
    Label(Container* parent, int number, Rect bounds, std::string caption)
        : Control(parent, Kind::Label, number, bounds, std::move(caption)) {}
};

class Memo : public Control {
public:
    Memo(Container* parent, int number, Rect bounds, std::vector<std::string> lines)
        : Control(parent, Kind::Memo, number, bounds), lines_(std::move(lines)) {}
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

class Button : public Control {
public:
    Button(Container* parent, int number, Rect bounds, std::string caption)
        : Control(parent, Kind::Button, number, bounds, std::move(caption)) {}
    std::function<void(Button&)> OnClick;
    bool isDefault = false;  // Enter
    bool isCancel = false;   // Escape
    void Click() {
        if (OnClick) OnClick(*this);
    }
};

class RadioButton : public Control {
public:
    RadioButton(Container* parent, int number, Rect bounds, std::string caption, bool checked = false)
        : Control(parent, Kind::RadioButton, number, bounds, std::move(caption)), checked_(checked) {}
    std::function<void(RadioButton&)> OnClick;
    bool checked() const { return checked_; }
    // Checking by program or by the user: unchecks the others of the group
    // and runs the click handling, unless it was checked already.
    void SetChecked(bool checked);
    void UserClick() { SetChecked(true); }

private:
    bool checked_;
};

// A captioned group of exclusive items laid out in columns, filled top to
// bottom; the selected index is -1 when no item is selected.
class RadioGroup : public Control {
public:
    RadioGroup(Container* parent,
               int number,
               Rect bounds,
               std::string caption,
               std::vector<std::string> items,
               int columns)
        : Control(parent, Kind::RadioGroup, number, bounds, std::move(caption)),
          items_(std::move(items)),
          columns_(columns) {}
    const std::vector<std::string>& items() const { return items_; }
    int columns() const { return columns_; }
    int itemIndex() const { return itemIndex_; }
    // An index above the last item selects the last; below 0 selects none.
    void SetItemIndex(int index);
    void UserSelect(int index) { SetItemIndex(index); }
    // Cell of item k inside the group (relative to the group's top left).
    Rect ItemBounds(int k) const;

private:
    std::vector<std::string> items_;
    int columns_;
    int itemIndex_ = 0;
};

// Shared by Edit and ComboBox: a single-line text with a selection.
class TextControl : public Control {
public:
    using Control::Control;
    const std::string& text() const { return edit_.text; }
    const EditState& editState() const { return edit_; }
    // By program: no change handling.
    void SetText(std::string text);
    void SetSelection(std::size_t start, std::size_t length);
    std::function<void(Control&)> OnChange;

    // The user changed the text other than by typing one character (paste,
    // cut, Delete, an input method): take it over and run the change handling.
    void UserEdited(EditState state);
    // The user moved the caret or selection.
    void UserSelected(std::size_t start, std::size_t length);

protected:
    void Changed() {
        handedOver_ = edit_.text;
        if (OnChange) OnChange(*this);
    }
    // Whether the text differs from the one last set by program or taken over
    // by the change handling: a user action that leaves such a text must run
    // the change handling, or the form would keep a value nobody sees.
    bool TextNotHandedOver() const { return edit_.text != handedOver_; }
    EditState edit_;
    std::string handedOver_;
};

class Edit : public TextControl {
public:
    Edit(Container* parent, int number, Rect bounds) : TextControl(parent, Kind::Edit, number, bounds) {}
    // One typed character (code page 932 bytes), Backspace, Tab or Escape.
    void UserKey(const Key& key);
};

class ListBox : public Control {
public:
    ListBox(Container* parent, int number, Rect bounds) : Control(parent, Kind::ListBox, number, bounds) {}
    const std::vector<std::string>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    int itemIndex() const { return itemIndex_; }
    // All by program: no click handling.
    void Assign(std::vector<std::string> items);  // selection cleared
    void Clear() { Assign({}); }
    void Add(std::string item);
    void Delete(int index);
    void SetItemText(int index, std::string text);
    void Exchange(int a, int b);
    void SetItemIndex(int index);
    std::function<void(ListBox&)> OnClick;
    // The user selected an entry (mouse or keyboard).
    void UserSelect(int index);

    // For the peer: the range of entries touched by the last change.
    int changedFrom = 0, changedTo = -1;

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

class ComboBox : public TextControl {
public:
    ComboBox(Container* parent, int number, Rect bounds, std::string text)
        : TextControl(parent, Kind::ComboBox, number, bounds) {
        edit_.text = std::move(text);
        handedOver_ = edit_.text;
    }
    const std::vector<std::string>& items() const { return items_; }
    int itemIndex() const { return itemIndex_; }  // the current line, -1 for none
    // Refills the list; no line is current afterwards; the text stays.
    void AssignItems(std::vector<std::string> items);
    int visibleLines = 8;
    int itemHeight = 13;

    // A pick runs the change handling when it makes another line current or
    // shows a text not handed over yet; re-picking the current line that
    // shows already changes nothing.
    void UserPick(int index);
    // One typed character, Backspace, Tab or Escape, with completion; a
    // completion to the current line runs the change handling only when the
    // text it shows was not handed over yet.
    void UserKey(const Key& key);

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

// A message-loop timer. Enabling a stopped timer starts a fresh wait of the
// full interval; enabling a running one, or setting the interval it has,
// changes nothing.
class TimerPeer {
public:
    virtual ~TimerPeer() = default;
    virtual void Restart(unsigned intervalMs) = 0;
    virtual void Stop() = 0;
};

class Timer {
public:
    bool enabled() const { return enabled_; }
    unsigned interval() const { return interval_; }
    void SetEnabled(bool enabled);
    void SetInterval(unsigned ms);
    std::function<void()> OnTimer;
    // A tick arrived (from the peer, or from a test).
    void Fire() {
        if (enabled_ && OnTimer) OnTimer();
    }
    TimerPeer* peer = nullptr;
    // Headless bookkeeping: how often a fresh wait was started.
    int starts = 0;

private:
    bool enabled_ = false;
    unsigned interval_ = 1000;
};

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
    int Left();
    int Top();
    void SetPosition(int left, int top);
    // The position last set, without asking the window where it is now.
    int StoredLeft() const { return left_; }
    int StoredTop() const { return top_; }
    int Width() const { return clientWidth_ + frameWidth; }
    int Height() const { return clientHeight_ + frameHeight; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
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

}  // namespace ui
