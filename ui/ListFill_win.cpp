// Filling list windows.
#include "ui/ListFill_win.h"

#include "os/Cp932_win.h"

namespace ui {

void ResetList(HWND list, const std::vector<std::string>& items) {
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    std::size_t bytes = 0;
    for (const auto& s : items) bytes += (s.size() + 1) * sizeof(wchar_t);
    ::SendMessageW(list, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
}

// The list's own window procedure is called directly: what SendMessageW
// would add on top, for each of up to 32766 entries, is a tenth to a fifth
// of the fill.
void AddToList(HWND list, const std::vector<std::string>& items, std::size_t from, std::size_t to) {
    auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(list, GWLP_WNDPROC));
    std::wstring w;
    for (std::size_t i = from; i < to; ++i) {
        os::WideFrom932(items[i], w);
        ::CallWindowProcW(proc, list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
}

void FillList(HWND list, const std::vector<std::string>& items) {
    NoRedraw quiet(list);
    ResetList(list, items);
    AddToList(list, items, 0, items.size());
}

}  // namespace ui
