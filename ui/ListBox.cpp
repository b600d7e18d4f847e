// The list box model.
#include "ui/ListBox.h"

#include <utility>

namespace ui {

void ListBox::Assign(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    NotifyList({ListChange::What::Reset});
}

void ListBox::Add(std::string item) {
    items_.push_back(std::move(item));
    NotifyList({ListChange::What::Add, count() - 1});
}

void ListBox::Delete(int index) {
    if (index < 0 || index >= count()) return;
    items_.erase(items_.begin() + index);
    if (itemIndex_ == index)
        itemIndex_ = -1;
    else if (itemIndex_ > index)
        --itemIndex_;
    NotifyList({ListChange::What::Delete, index});
}

void ListBox::SetItemText(int index, std::string text) {
    if (index < 0 || index >= count()) return;
    items_[static_cast<std::size_t>(index)] = std::move(text);
    NotifyList({ListChange::What::Replace, index});
}

void ListBox::Exchange(int a, int b) {
    if (a < 0 || b < 0 || a >= count() || b >= count() || a == b) return;
    std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
    NotifyList({ListChange::What::Exchange, a, b});
}

void ListBox::SetItemIndex(int index) {
    itemIndex_ = (index >= 0 && index < count()) ? index : -1;
    Notify(kItemIndex);
}

void ListBox::UserSelect(int index) {
    itemIndex_ = (index >= 0 && index < count()) ? index : -1;
    if (OnClick) OnClick(*this);
}

}  // namespace ui
