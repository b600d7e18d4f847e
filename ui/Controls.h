// The control models of both forms: buttons, radio buttons and groups, text
// fields and combo boxes, list boxes, pages, panels, labels and the memo.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Typing.h"

namespace ui {

// A control whose constructor needs nothing but its kind.
template <Kind K>
class ControlOf : public Control {
public:
    ControlOf(Container* parent, int number, Rect bounds, std::string caption = {})
        : Control(parent, K, number, bounds, std::move(caption)) {}
};

class Button : public ControlOf<Kind::Button> {
public:
    using ControlOf::ControlOf;
    std::function<void(Button&)> OnClick;
    bool isDefault = false;  // Enter
    bool isCancel = false;   // Escape
    void Click() {
        if (OnClick) OnClick(*this);
    }
};

class Label : public ControlOf<Kind::Label> {
public:
    using ControlOf::ControlOf;
};

// The radio buttons of one parent are one group.
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
    using Items = std::vector<std::string>;
    RadioGroup(Container* parent, int number, Rect bounds, std::string caption, Items items, int columns)
        : Control(parent, Kind::RadioGroup, number, bounds, std::move(caption)),
          items_(std::move(items)),
          columns_(columns) {}
    const Items& items() const { return items_; }
    int itemIndex() const { return itemIndex_; }
    // An index above the last item selects the last; below 0 selects none.
    void SetItemIndex(int index);
    void UserSelect(int index) { SetItemIndex(index); }
    // Cell of item k inside the group (relative to the group's top left).
    Rect itemBounds(int k) const;

private:
    Items items_;
    int columns_;
    int itemIndex_ = 0;
};

// A single-line text of code page 932 bytes with a selection: the edit field
// and the edit part of a combo box.
class TextControl : public Control {
public:
    using Control::Control;
    const std::string& text() const { return edit_.text; }
    const EditState& editState() const { return edit_; }
    // By program: no change handling.
    void SetText(std::string text);
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
    // One typed character (code page 932 bytes) or Backspace.
    void UserKey(const Key& key);
};

// The editable drop-down combo box: a text field whose typing completes
// against its list.
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
    // One typed character or Backspace, with completion; a
    // completion to the current line runs the change handling only when the
    // text it shows was not handed over yet.
    void UserKey(const Key& key);

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

// Entries set by program, one of them selected by the user or by program.
class ListBox : public ControlOf<Kind::ListBox> {
public:
    using ControlOf::ControlOf;
    const std::vector<std::string>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    int itemIndex() const { return itemIndex_; }
    // All by program: no click handling.
    void Assign(std::vector<std::string> items);  // selection cleared
    void Add(std::string item);
    void Delete(int index);
    void SetItemText(int index, std::string text);
    void Exchange(int a, int b);
    void SetItemIndex(int index);
    std::function<void(ListBox&)> OnClick;
    // The user selected an entry (mouse or keyboard).
    void UserSelect(int index);

private:
    void NotifyList(ListChange change) {
        if (window) window->UpdateList(*this, change);
    }
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

// A coloured container, with or without a raised bevel.
class Panel : public Container {
public:
    Panel(Container* parent, int number, Rect bounds, uint32_t rgb, bool bevel)
        : Container(parent, Kind::Panel, number, bounds) {
        color = rgb;
        raisedBevel = bevel;
    }
};

// Tabbed pages (TabSheet), one of them shown.
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
    // A click on a tab.
    void UserSelectPage(int index) { SetActivePage(index); }
    // The page keys, which work as a click on the tab: the focus goes to the
    // tabs, then the page turns. Ctrl+Tab, Ctrl+PageUp and the like turn
    // `step` pages on, round at either end; Alt with a page's access key
    // (ASCII, either case) turns to that page, and is not used (false) when
    // no caption marks it.
    void UserStepPage(int step);
    bool UserAccessKey(char key);

private:
    int activePage_ = 0;
};

// Read-only lines of text.
class Memo : public Control {
public:
    Memo(Container* parent, int number, Rect bounds, std::vector<std::string> lines)
        : Control(parent, Kind::Memo, number, bounds), lines_(std::move(lines)) {}
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// The WM_COMMAND IDs a control answers to: its own; a radio group's, its
// items'; the default button's, Enter's as well (kEnterCommand); the cancel
// button's, Escape's (kEscapeCommand).
std::vector<int> CommandIds(const Control& c);

}  // namespace ui
