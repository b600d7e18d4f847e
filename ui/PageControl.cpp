// The page control model.
#include "ui/PageControl.h"

namespace ui {

void PageControl::SetActivePage(int index) {
    if (index < 0 || index >= static_cast<int>(children().size()) || index == activePage_) return;
    activePage_ = index;
    Notify(kActivePage);
}

}  // namespace ui
