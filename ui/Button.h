// The push button model.
#pragma once
#include <functional>
#include <string>

#include "ui/Control.h"

namespace ui {

class Button : public ControlOf<Kind::Button> {
public:
    using ControlOf::ControlOf;
    std::function<void(Button&)> OnClick;
    bool isDefault = false;  // Enter
    bool isCancel = false;   // Escape
    void Click() {
        if (OnClick) OnClick(*this);
    }
    K307_DECLARE_PEER();
};

}  // namespace ui
