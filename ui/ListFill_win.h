// Filling the list windows of list boxes and combo boxes fast, for lists of
// up to 32766 presets.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace ui {

// Suspends repainting while a list is refilled: one repaint, not one per entry.
// A hidden list (a closed combo box's) paints nothing anyway, and
// WM_SETREDRAW TRUE would make it visible: it is left alone. A list that is
// visible itself in a hidden window (the dialog's, filled before it shows)
// still updates its scroll bar on every entry without it: ten times the fill.
struct NoRedraw {
    explicit NoRedraw(HWND h) : hwnd((::GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) ? h : nullptr) {
        if (hwnd) ::SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    }
    ~NoRedraw() {
        if (!hwnd) return;
        ::SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(hwnd, nullptr, TRUE);
    }
    NoRedraw(const NoRedraw&) = delete;
    NoRedraw& operator=(const NoRedraw&) = delete;
    HWND hwnd;
};

// Empties a list and reserves room for `items`.
void ResetList(HWND list, const std::vector<std::string>& items);
// Appends items[from, to) to a list box of this thread.
void AddToList(HWND list, const std::vector<std::string>& items, std::size_t from, std::size_t to);
// Fills a list box in one pass, storage reserved up front.
void FillList(HWND list, const std::vector<std::string>& items);

}  // namespace ui
