// The label model: a caption that takes no input.
#pragma once
#include <string>

#include "ui/Control.h"

namespace ui {

class Label : public ControlOf<Kind::Label> {
public:
    using ControlOf::ControlOf;
    K307_DECLARE_PEER();
};

}  // namespace ui
