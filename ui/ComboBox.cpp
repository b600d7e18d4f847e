// The combo box model.
#include "ui/ComboBox.h"

namespace ui {

void ComboBox::AssignItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    Notify(kItems);
}

void ComboBox::UserPick(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    const bool otherLine = index != itemIndex_;
    itemIndex_ = index;
    edit_.text = items_[static_cast<std::size_t>(index)];
    edit_.selStart = 0;
    edit_.selLength = edit_.text.size();
    Notify(kText | kSelection | kItemIndex);
    if (otherLine || TextNotHandedOver()) Changed();
}

void ComboBox::UserKey(const Key& key) {
    TypingResult r = TypeInCombo(items_, edit_, itemIndex_, key);
    bool textChanged = !(r.state == edit_);
    edit_ = std::move(r.state);
    bool indexChanged = r.currentLine != itemIndex_;
    itemIndex_ = r.currentLine;
    if (textChanged || indexChanged) Notify((textChanged ? kText | kSelection : 0u) | (indexChanged ? kItemIndex : 0u));
    if (r.runChange || TextNotHandedOver()) Changed();
}

}  // namespace ui
