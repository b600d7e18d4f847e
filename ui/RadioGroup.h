// The radio group model: a captioned group of exclusive items laid out in
// columns, filled top to bottom; the selected index is -1 when no item is
// selected.
#pragma once
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

class RadioGroup : public Control {
public:
    RadioGroup(Container* parent,
               int number,
               Rect bounds,
               std::string caption,
               std::vector<std::string> items,
               int columns)
        : Control(parent, Kind::RadioGroup, number, bounds, std::move(caption)),
          items_(std::move(items)),
          columns_(columns) {}
    const std::vector<std::string>& items() const { return items_; }
    int columns() const { return columns_; }
    int itemIndex() const { return itemIndex_; }
    // An index above the last item selects the last; below 0 selects none.
    void SetItemIndex(int index);
    void UserSelect(int index) { SetItemIndex(index); }
    // Cell of item k inside the group (relative to the group's top left).
    Rect itemBounds(int k) const;
    K307_DECLARE_PEER();

private:
    std::vector<std::string> items_;
    int columns_;
    int itemIndex_ = 0;
};

}  // namespace ui
