// The control models: the form, the timer and each kind's event rules.
#include "ui/Controls.h"

#include <algorithm>
#include <utility>

namespace ui {

Control::Control(Container* parent, Kind kind, int number, Rect bounds, std::string caption)
    : kind_(kind), number_(number), parent_(parent), bounds_(bounds), caption_(std::move(caption)) {
    if (parent_) parent_->AddChild(this);
}

void Control::SetBounds(const Rect& r) {
    bounds_ = r;
    Notify(kBounds);
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled && window) window->Restart(*this);
}

void Timer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_ && window) window->Restart(*this);
}

Form::Form(std::string caption, int left, int top, int clientWidth, int clientHeight)
    : Container(nullptr, Kind::Form, 0, {left, top, 0, 0}, std::move(caption)),
      left_(left),
      top_(top),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight) {}

int Form::left() {
    if (window) window->ReadPosition(left_, top_);
    return left_;
}

int Form::top() {
    if (window) window->ReadPosition(left_, top_);
    return top_;
}

void Form::SetPosition(int left, int top) {
    left_ = left;
    top_ = top;
    Notify(kBounds);
}

void Form::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    Notify(kSize);
}

void Form::SetStayOnTop(bool on) {
    if (on == stayOnTop_) return;
    stayOnTop_ = on;
    Notify(kTopMost);
}

bool Form::ShowModal() {
    if (!window && OnMakeWindow && !OnMakeWindow(*this)) return false;
    closed = false;
    if (OnShow) OnShow();
    if (window) window->RunModal();
    return true;
}

void Form::Close() {
    if (OnClose) OnClose();
    closed = true;
    if (window) window->Destroy();
}

std::vector<int> CommandIds(const Control& c) {
    std::vector<int> ids{c.id()};
    if (c.kind() == Kind::RadioGroup) {
        auto& group = static_cast<const RadioGroup&>(c);
        for (int k = 0; k < static_cast<int>(group.items().size()); ++k) ids.push_back(RadioItemId(group.number(), k));
    } else if (c.kind() == Kind::Button) {
        auto& button = static_cast<const Button&>(c);
        if (button.isDefault) ids.push_back(kEnterCommand);
        if (button.isCancel) ids.push_back(kEscapeCommand);
    }
    return ids;
}

void RadioButton::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    Notify(kChecked);
    if (!checked) return;
    if (parent()) {
        for (Control* c : parent()->children()) {
            if (c != this && c->kind() == Kind::RadioButton) static_cast<RadioButton*>(c)->SetChecked(false);
        }
    }
    if (OnClick) OnClick(*this);
}

void RadioGroup::SetItemIndex(int index) {
    int last = static_cast<int>(items_.size()) - 1;
    int i = index > last ? last : (index < 0 ? -1 : index);
    if (i == itemIndex_) return;
    itemIndex_ = i;
    Notify(kItemIndex);
}

Rect RadioGroup::itemBounds(int k) const {
    // Items fill the columns from top to bottom, the first column first, in
    // the area below the group's caption line.
    const int captionHeight = 14, margin = 8;
    int n = static_cast<int>(items_.size());
    int cols = std::max(1, columns_);
    int rows = (n + cols - 1) / cols;
    int col = k / std::max(1, rows), row = k % std::max(1, rows);
    int w = (bounds().width - margin) / cols;
    int h = rows > 0 ? (bounds().height - captionHeight - 2) / rows : 0;
    return {margin + col * w, captionHeight + row * h, w - 2, h};
}

void TextControl::SetText(std::string text) {
    edit_.text = std::move(text);
    handedOver_ = edit_.text;
    edit_.selStart = edit_.text.size();
    edit_.selLength = 0;
    Notify(kText | kSelection);
}

void TextControl::UserEdited(EditState state) {
    edit_ = NormalizeEdit(std::move(state));
    Changed();
}

void TextControl::UserSelected(std::size_t start, std::size_t length) {
    EditState s = edit_;
    s.selStart = start;
    s.selLength = length;
    edit_ = NormalizeEdit(std::move(s));
}

void Edit::UserKey(const Key& key) {
    TypingResult r = TypeInEdit(edit_, key);
    if (r.state == edit_ && !r.runChange) return;
    edit_ = std::move(r.state);
    Notify(kText | kSelection);
    if (r.runChange) Changed();
}

void ComboBox::AssignItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    Notify(kItems);
}

void ComboBox::UserPick(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    const bool otherLine = index != itemIndex_;
    itemIndex_ = index;
    edit_.text = items_[static_cast<std::size_t>(index)];
    edit_.selStart = 0;
    edit_.selLength = edit_.text.size();
    Notify(kText | kSelection | kItemIndex);
    if (otherLine || TextNotHandedOver()) Changed();
}

void ComboBox::UserKey(const Key& key) {
    TypingResult r = TypeInCombo(items_, edit_, itemIndex_, key);
    bool textChanged = !(r.state == edit_);
    edit_ = std::move(r.state);
    bool indexChanged = r.currentLine != itemIndex_;
    itemIndex_ = r.currentLine;
    if (textChanged || indexChanged) Notify((textChanged ? kText | kSelection : 0u) | (indexChanged ? kItemIndex : 0u));
    if (r.runChange || TextNotHandedOver()) Changed();
}

void ListBox::Assign(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    NotifyList({ListChange::What::Reset});
}

void ListBox::Add(std::string item) {
    items_.push_back(std::move(item));
    NotifyList({ListChange::What::Put, count() - 1});
}

void ListBox::Delete(int index) {
    if (index < 0 || index >= count()) return;
    items_.erase(items_.begin() + index);
    if (itemIndex_ == index)
        itemIndex_ = -1;
    else if (itemIndex_ > index)
        --itemIndex_;
    NotifyList({ListChange::What::Delete, index});
}

void ListBox::SetItemText(int index, std::string text) {
    if (index < 0 || index >= count()) return;
    items_[static_cast<std::size_t>(index)] = std::move(text);
    NotifyList({ListChange::What::Put, index});
}

void ListBox::Exchange(int a, int b) {
    if (a < 0 || b < 0 || a >= count() || b >= count() || a == b) return;
    std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
    NotifyList({ListChange::What::Put, a});
    NotifyList({ListChange::What::Put, b});
}

void ListBox::SetItemIndex(int index) {
    itemIndex_ = (index >= 0 && index < count()) ? index : -1;
    Notify(kItemIndex);
}

void ListBox::UserSelect(int index) {
    itemIndex_ = (index >= 0 && index < count()) ? index : -1;
    if (OnClick) OnClick(*this);
}

void PageControl::SetActivePage(int index) {
    if (index < 0 || index >= static_cast<int>(children().size()) || index == activePage_) return;
    activePage_ = index;
    Notify(kActivePage);
}

void PageControl::UserStepPage(int step) {
    SetFocus();
    const int n = static_cast<int>(children().size());
    if (n > 0) SetActivePage(((activePage_ + step) % n + n) % n);
}

bool PageControl::UserAccessKey(char key) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < children().size(); ++i) {
        const std::string& caption = children()[i]->caption();
        std::size_t amp = caption.find('&');
        if (amp == std::string::npos || amp + 1 >= caption.size() || upper(caption[amp + 1]) != upper(key)) continue;
        SetFocus();
        SetActivePage(static_cast<int>(i));
        return true;
    }
    return false;
}

}  // namespace ui
