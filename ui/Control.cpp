// The base of every control model: control IDs, bounds, caption, focus.
#include "ui/Control.h"

#include "ui/Form.h"

namespace ui {

int ControlId(Kind kind, int number) {
    switch (kind) {
        case Kind::Form:
            return 0;
        case Kind::Button:
            return 100 + number;
        case Kind::ComboBox:
            return 200 + number;
        case Kind::RadioButton:
            return 300 + number;
        case Kind::Panel:
            return 400 + number;
        case Kind::ListBox:
            return 500 + number;
        case Kind::Edit:
            return 600 + number;
        case Kind::RadioGroup:
            return 700 + number;
        case Kind::PageControl:
            return 800 + number;
        case Kind::TabSheet:
            return 900 + number;
        case Kind::Memo:
            return 1000 + number;
        case Kind::Label:
            return 1100 + number;
    }
    return 0;
}

int RadioItemId(int groupNumber, int item) {
    return (700 + groupNumber) * 10 + item;
}

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

void Control::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    Notify(kCaption);
}

void Control::SetFocus() {
    if (Form* f = form()) f->focused = this;
    Notify(kFocus);
}

bool Control::hasFocus() {
    Form* f = form();
    return f && f->focused == this;
}

}  // namespace ui
