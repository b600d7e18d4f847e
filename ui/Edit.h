// The single-line edit model.
#pragma once
#include "ui/TextField.h"

namespace ui {

class Edit : public TextControl {
public:
    Edit(Container* parent, int number, Rect bounds) : TextControl(parent, Kind::Edit, number, bounds) {}
    // One typed character (code page 932 bytes), Backspace, Tab or Escape.
    void UserKey(const Key& key);
    K307_DECLARE_PEER();
};

}  // namespace ui
