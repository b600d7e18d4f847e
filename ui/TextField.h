// The text field model shared by Edit and ComboBox: a single-line text of
// code page 932 bytes with a selection.
#pragma once
#include <cstddef>
#include <functional>
#include <string>

#include "ui/Completion.h"
#include "ui/Control.h"

namespace ui {

class TextControl : public Control {
public:
    using Control::Control;
    const std::string& text() const { return edit_.text; }
    const EditState& editState() const { return edit_; }
    // By program: no change handling.
    void SetText(std::string text);
    void SetSelection(std::size_t start, std::size_t length);
    std::function<void(Control&)> OnChange;

    // The user changed the text other than by typing one character (paste,
    // cut, Delete, an input method): take it over and run the change handling.
    void UserEdited(EditState state);
    // The user moved the caret or selection.
    void UserSelected(std::size_t start, std::size_t length);

protected:
    void Changed() {
        handedOver_ = edit_.text;
        if (OnChange) OnChange(*this);
    }
    // Whether the text differs from the one last set by program or taken over
    // by the change handling: a user action that leaves such a text must run
    // the change handling, or the form would keep a value nobody sees.
    bool TextNotHandedOver() const { return edit_.text != handedOver_; }
    EditState edit_;
    std::string handedOver_;
};

}  // namespace ui
