// The single-line edit model.
#include "ui/Edit.h"

namespace ui {

void Edit::UserKey(const Key& key) {
    TypingResult r = TypeInEdit(edit_, key);
    if (r.state == edit_ && !r.runChange) return;
    edit_ = std::move(r.state);
    Notify(kText | kSelection);
    if (r.runChange) Changed();
}

}  // namespace ui
