// The radio button model: the radio buttons of one parent are one group.
#pragma once
#include <functional>
#include <string>

#include "ui/Control.h"

namespace ui {

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
    K307_DECLARE_PEER();

private:
    bool checked_;
};

}  // namespace ui
