// Names for screen readers. A control without text of its own (edit, list
// box, combo box) is named after the static label just before it in z-order;
// these put the right label there.
#pragma once
#include <windows.h>

namespace ui {

// A list box: the label above it, left-aligned with it, moves just before
// it (of two labels over the two halves of a page, the nearer is meant).
void NameAfterLabelAbove(HWND control);
// A combo box beside a radio button: a radio button does not name what
// follows it, so a hidden label with the button's text goes between them.
void NameAfterPrecedingButton(HWND control);

}  // namespace ui
