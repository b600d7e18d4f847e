// The form model, and the lookup of the buttons the dialog manager presses.
#include "ui/Form.h"

namespace ui {

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

void Form::ShowModal() {
    closed = false;
    modal_ = true;
    if (!peer && needPeer) needPeer(*this);
    if (OnShow) OnShow();
    if (peer) {
        formPeer()->RunModal();
    } else if (headlessModal) {
        headlessModal(*this);
    }
    modal_ = false;
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
Button* AsButton(Control* c) {
    return c && c->kind() == Kind::Button ? static_cast<Button*>(c) : nullptr;
}

Button* FlaggedButton(Container& form, bool Button::*flag) {
    return AsButton(FindControl(
        form, [flag](const Control& c) { return c.kind() == Kind::Button && static_cast<const Button&>(c).*flag; }));
}
}  // namespace

Button* DefaultButton(Container& form) {
    return FlaggedButton(form, &Button::isDefault);
}

Button* CommandButton(Container& form, int id) {
    if (id == kEnterCommand) return DefaultButton(form);
    if (id == kEscapeCommand) return FlaggedButton(form, &Button::isCancel);
    return AsButton(FindControl(form, [id](const Control& c) { return c.id() == id; }));
}

}  // namespace ui
