// The editable drop-down combo box model: a text field whose typing completes
// against its list.
#pragma once
#include <string>
#include <vector>

#include "ui/TextField.h"

namespace ui {

class ComboBox : public TextControl {
public:
    ComboBox(Container* parent, int number, Rect bounds, std::string text)
        : TextControl(parent, Kind::ComboBox, number, bounds) {
        edit_.text = std::move(text);
    }
    const std::vector<std::string>& items() const { return items_; }
    int itemIndex() const { return itemIndex_; }  // the current line, -1 for none
    // Refills the list; no line is current afterwards; the text stays.
    void AssignItems(std::vector<std::string> items);
    int visibleLines = 8;
    int itemHeight = 13;

    void UserPick(int index);
    // One typed character, Backspace, Tab or Escape, with completion.
    void UserKey(const Key& key);
    K307_DECLARE_PEER();

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

}  // namespace ui
