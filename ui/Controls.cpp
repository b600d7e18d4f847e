// The control models: IDs, the form, the timer and each kind's event rules.
#include "ui/Controls.h"

#include <algorithm>
#include <utility>

namespace ui {

//--- Control, form, timer

Control::Control(Container* parent, Kind kind, int number, Rect bounds, std::string caption)
    : kind_(kind), number_(number), parent_(parent), bounds_(bounds), caption_(std::move(caption)) {
    if (parent_) parent_->AddChild(this);
}

Form* Control::form() {
    Control* c = this;
    while (c->parent_) c = c->parent_;
    return c->kind_ == Kind::Form ? static_cast<Form*>(c) : nullptr;
}

void Control::SetBounds(const Rect& r) {
    bounds_ = r;
    Notify(kBounds);
}

void Control::SetFocus() {
    if (Form* f = form()) f->focused = this;
    Notify(kFocus);
}

bool Control::hasFocus() {
    Form* f = form();
    return f && f->focused == this;
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled) StartWait();
}

void Timer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_) StartWait();
}

void Timer::StartWait() {
    ++starts;
    if (peer) peer->Restart(*this);
}

Form::Form(std::string caption, int left, int top, int clientWidth, int clientHeight)
    : Container(nullptr, Kind::Form, 0, {left, top, 0, 0}, std::move(caption)),
      left_(left),
      top_(top),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight) {}

int Form::left() {
    if (peer) formPeer()->ReadPosition(left_, top_);
    return left_;
}

int Form::top() {
    if (peer) formPeer()->ReadPosition(left_, top_);
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
    if (!peer && needPeer && !needPeer(*this)) return false;
    closed = false;
    modal_ = true;
    if (OnShow) OnShow();
    if (peer) {
        formPeer()->RunModal();
    } else if (headlessModal) {
        headlessModal(*this);
    }
    modal_ = false;
    return true;
}

void Form::Close() {
    if (OnClose) OnClose();
    closed = true;
    if (peer) formPeer()->Destroy();
}

Control* FindControl(Container& container, const std::function<bool(const Control&)>& match) {
    for (Control* child : container.children()) {
        if (match(*child)) return child;
        if (Container* inner = child->asContainer()) {
            if (Control* found = FindControl(*inner, match)) return found;
        }
    }
    return nullptr;
}

namespace {
Button* FlaggedButton(Container& form, bool Button::*flag) {
    return static_cast<Button*>(FindControl(
        form, [flag](const Control& c) { return c.kind() == Kind::Button && static_cast<const Button&>(c).*flag; }));
}
}  // namespace

Button* DefaultButton(Container& form) {
    return FlaggedButton(form, &Button::isDefault);
}

Button* CommandButton(Container& form, int id) {
    if (id == kEnterCommand) return DefaultButton(form);
    if (id == kEscapeCommand) return FlaggedButton(form, &Button::isCancel);
    Control* c = FindControl(form, [id](const Control& x) { return x.id() == id; });
    return c && c->kind() == Kind::Button ? static_cast<Button*>(c) : nullptr;
}

//--- Radio buttons and groups

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

//--- Text fields and combo boxes

void TextControl::SetText(std::string text) {
    edit_.text = std::move(text);
    handedOver_ = edit_.text;
    edit_.selStart = edit_.text.size();
    edit_.selLength = 0;
    Notify(kText | kSelection);
}

void TextControl::SetSelection(std::size_t start, std::size_t length) {
    UserSelected(start, length);
    Notify(kSelection);
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

//--- List boxes

void ListBox::Assign(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    NotifyList({ListChange::What::Reset});
}

void ListBox::Add(std::string item) {
    items_.push_back(std::move(item));
    NotifyList({ListChange::What::Add, count() - 1});
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
    NotifyList({ListChange::What::Replace, index});
}

void ListBox::Exchange(int a, int b) {
    if (a < 0 || b < 0 || a >= count() || b >= count() || a == b) return;
    std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
    NotifyList({ListChange::What::Exchange, a, b});
}

void ListBox::SetItemIndex(int index) {
    itemIndex_ = (index >= 0 && index < count()) ? index : -1;
    Notify(kItemIndex);
}

void ListBox::UserSelect(int index) {
    itemIndex_ = (index >= 0 && index < count()) ? index : -1;
    if (OnClick) OnClick(*this);
}

//--- Pages

void PageControl::SetActivePage(int index) {
    if (index < 0 || index >= static_cast<int>(children().size()) || index == activePage_) return;
    activePage_ = index;
    Notify(kActivePage);
}

void PageControl::UserStepPage(int step) {
    const int n = static_cast<int>(children().size());
    if (n > 0) SetActivePage(((activePage_ + step) % n + n) % n);
}

int PageControl::PageForAccessKey(char key) const {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < children().size(); ++i) {
        const std::string& caption = children()[i]->caption();
        std::size_t amp = caption.find('&');
        if (amp != std::string::npos && amp + 1 < caption.size() && upper(caption[amp + 1]) == upper(key))
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace ui
