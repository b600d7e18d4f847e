// The radio button model.
#include "ui/RadioButton.h"

namespace ui {

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

}  // namespace ui
