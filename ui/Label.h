// The label model: a caption that takes no input.
#pragma once
#include <string>

#include "ui/Control.h"

namespace ui {

class Label : public Control {
public:
    Label(Container* parent, int number, Rect bounds, std::string caption)
        : Control(parent, Kind::Label, number, bounds, std::move(caption)) {}
    K307_DECLARE_PEER();
};

}  // namespace ui
