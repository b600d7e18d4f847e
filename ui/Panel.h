// The panel model: a coloured container, with or without a raised bevel.
#pragma once
#include <cstdint>

#include "ui/Control.h"

namespace ui {

class Panel : public Container {
public:
    Panel(Container* parent, int number, Rect bounds, uint32_t rgb, bool bevel)
        : Container(parent, Kind::Panel, number, bounds) {
        color = rgb;
        raisedBevel = bevel;
    }
    K307_DECLARE_PEER();
};

}  // namespace ui
