// The text field model shared by Edit and ComboBox.
#include "ui/TextField.h"

namespace ui {

void TextControl::SetText(std::string text) {
    edit_.text = std::move(text);
    handedOver_ = edit_.text;
    edit_.selStart = edit_.text.size();
    edit_.selLength = 0;
    Notify(kText | kSelection);
}

void TextControl::SetSelection(std::size_t start, std::size_t length) {
    EditState s = edit_;
    s.selStart = start;
    s.selLength = length;
    edit_ = NormalizeEdit(std::move(s));
    Notify(kSelection);
}

void TextControl::UserEdited(EditState state) {
    edit_ = NormalizeEdit(std::move(state));
    Changed();
}

void TextControl::UserSelected(std::size_t start, std::size_t length) {
    EditState s = edit_;
    s.selStart = start;
    s.selLength = length;
    edit_ = NormalizeEdit(std::move(s));
}

}  // namespace ui
