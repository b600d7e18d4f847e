// The list box model: entries set by program, one of them selected by the
// user or by program.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

// How a list's entries changed, for its peer to mirror (ControlPeer::UpdateList).
struct ListChange {
    enum class What {
        Reset,     // all entries are new
        Add,       // one entry appended at `index`
        Delete,    // the entry at `index` is gone
        Replace,   // the entry at `index` has a new text
        Exchange,  // the entries at `index` and `other` swapped places
    };
    What what = What::Reset;
    int index = 0;
    int other = 0;
};

class ListBox : public ControlOf<Kind::ListBox> {
public:
    using ControlOf::ControlOf;
    const std::vector<std::string>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    int itemIndex() const { return itemIndex_; }
    // All by program: no click handling.
    void Assign(std::vector<std::string> items);  // selection cleared
    void Clear() { Assign({}); }
    void Add(std::string item);
    void Delete(int index);
    void SetItemText(int index, std::string text);
    void Exchange(int a, int b);
    void SetItemIndex(int index);
    std::function<void(ListBox&)> OnClick;
    // The user selected an entry (mouse or keyboard).
    void UserSelect(int index);
    K307_DECLARE_PEER();

private:
    void NotifyList(ListChange change) {
        if (peer) peer->UpdateList(change);
    }
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

}  // namespace ui
