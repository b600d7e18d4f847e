// The radio group model.
#include "ui/RadioGroup.h"

#include <algorithm>

namespace ui {

void RadioGroup::SetItemIndex(int index) {
    int last = static_cast<int>(items_.size()) - 1;
    int i = index > last ? last : (index < 0 ? -1 : index);
    if (i == itemIndex_) return;
    itemIndex_ = i;
    Notify(kItemIndex);
}

Rect RadioGroup::itemBounds(int k) const {
    // Items fill the columns from top to bottom, the first column first, in
    // the area below the group's caption line.
    const int captionHeight = 14, margin = 8;
    int n = static_cast<int>(items_.size());
    int cols = std::max(1, columns_);
    int rows = (n + cols - 1) / cols;
    int col = k / std::max(1, rows), row = k % std::max(1, rows);
    int w = (bounds().width - margin) / cols;
    int h = rows > 0 ? (bounds().height - captionHeight - 2) / rows : 0;
    return {margin + col * w, captionHeight + row * h, w - 2, h};
}

}  // namespace ui
