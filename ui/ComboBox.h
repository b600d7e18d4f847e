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
        handedOver_ = edit_.text;
    }
    const std::vector<std::string>& items() const { return items_; }
    int itemIndex() const { return itemIndex_; }  // the current line, -1 for none
    // Refills the list; no line is current afterwards; the text stays.
    void AssignItems(std::vector<std::string> items);
    int visibleLines = 8;
    int itemHeight = 13;

    // A pick runs the change handling when it makes another line current or
    // shows a text not handed over yet; re-picking the current line that
    // shows already changes nothing.
    void UserPick(int index);
    // One typed character, Backspace, Tab or Escape, with completion; a
    // completion to the current line runs the change handling only when the
    // text it shows was not handed over yet.
    void UserKey(const Key& key);
    K307_DECLARE_PEER();

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

}  // namespace ui
