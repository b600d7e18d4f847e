// The models' changes out onto the controls: texts and selections, lists,
// checks, the page shown, the focus and the default border, the window's
// place and its stay-on-top state.
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>

#include "os/Cp932_win.h"
#include "ui/DialogWindow_win.h"

namespace ui {

namespace {

// A list box and a combo box's list take the same messages under their own
// names.
struct ListMessages {
    UINT reset, reserve, add;
};
constexpr ListMessages kListBox{LB_RESETCONTENT, LB_INITSTORAGE, LB_ADDSTRING};
constexpr ListMessages kComboBox{CB_RESETCONTENT, CB_INITSTORAGE, CB_ADDSTRING};

void AddToList(HWND list,
               const ListMessages& m,
               const std::vector<std::string>& items,
               std::size_t from,
               std::size_t to) {
    std::wstring w;
    for (std::size_t i = from; i < to; ++i) {
        os::WideFrom932(items[i], w);
        ::SendMessageW(list, m.add, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
}

// Empties a list and reserves room for `items`: one allocation for a list
// of 32766, not one per entry.
void ResetList(HWND list, const ListMessages& m, const std::vector<std::string>& items) {
    ::SendMessageW(list, m.reset, 0, 0);
    std::size_t bytes = 0;
    for (const auto& s : items) bytes += (s.size() + 1) * sizeof(wchar_t);
    ::SendMessageW(list, m.reserve, items.size(), static_cast<LPARAM>(bytes));
}

// Repainting is suspended while a list box is refilled: one repaint, not
// one per entry. A list that is visible itself in a hidden window (the
// dialog's, filled before it shows) still updates its scroll bar on every
// entry without it: ten times the fill.
void FillList(HWND list, const std::vector<std::string>& items) {
    const bool visible = ::GetWindowLongPtrW(list, GWL_STYLE) & WS_VISIBLE;
    if (visible) ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ResetList(list, kListBox, items);
    AddToList(list, kListBox, items, 0, items.size());
    if (!visible) return;
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

TextControl& TextOf(DialogWindow::Bound& b) {
    return static_cast<TextControl&>(*b.model);
}

}  // namespace

// Wine keeps a window that owns others from becoming topmost (it files it
// under its owned windows and takes their state), and an owned window from
// leaving the state it inherited from a topmost owner; with the ownership set
// aside for the call both work, here as on Windows, and the owned windows
// stay as they are.
void DialogWindow::SetTopMost(HWND hwnd, bool on) {
    std::vector<HWND> owned;
    for (DialogWindow* d : all_)
        if (::GetWindow(d->hwnd, GW_OWNER) == hwnd) owned.push_back(d->hwnd);
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    for (HWND w : owned) ::SetWindowLongPtrW(w, GWLP_HWNDPARENT, 0);
    if (owner) ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, 0);
    ::SetWindowPos(hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (owner) ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    for (HWND w : owned) ::SetWindowLongPtrW(w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hwnd));
}

// Every handler stops and restarts its timer, so a stop is only noted: the
// restart's SetTimer replaces the pending wait with a fresh one of the full
// interval, and a tick that comes while the model is stopped is dropped and
// ends the system timer then. A tick's own handler restarting its timer at
// the period the system timer runs with leaves it running: the next tick
// comes an interval after this one, later than a fresh wait only by the
// handler's own time. An idle second thus costs no call into the window
// system beyond the tick itself.
void DialogWindow::Restart(Timer& timer) {
    unsigned& period = periods_[timer.windowId - 1];
    if (&timer == ticking_ && period == timer.interval()) return;
    period = timer.interval();
    ::SetTimer(hwnd, timer.windowId, period, nullptr);
}

void DialogWindow::ShowActivePage(Bound& b) {
    const int active = static_cast<PageControl&>(*b.model).activePage();
    if (TabCtrl_GetCurSel(b.hwnd) != active) TabCtrl_SetCurSel(b.hwnd, active);
    for (std::size_t i = 0; i < b.parts.size(); ++i)
        ::ShowWindow(b.parts[i], static_cast<int>(i) == active ? SW_SHOWNA : SW_HIDE);
}

void DialogWindow::ShowDefaultButton(Bound* focused) {
    Bound* def = focused && focused->model->kind() == Kind::Button ? focused : BoundOf(kEnterCommand);
    const int id = def ? def->model->id() : 0;
    // The dialog keeps the default ID only as DM_SETDEFID sets it, and both
    // DM_ messages search every control while there is none: told only of
    // a change, it is asked nothing.
    const int old = defaultId_;
    if (id != old) ::SendMessageW(hwnd, DM_SETDEFID, static_cast<WPARAM>(defaultId_ = id), 0);
    for (int each : {old, id}) {
        Bound* b = BoundOf(each);
        if (!b || b->model->kind() != Kind::Button) continue;
        LONG style = static_cast<LONG>(::GetWindowLongPtrW(b->hwnd, GWL_STYLE));
        LONG type = b->model->id() == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((style & BS_TYPEMASK) != type) ::SendMessageW(b->hwnd, BM_SETSTYLE, (style & ~BS_TYPEMASK) | type, TRUE);
    }
}

// When the dialog manager moves the focus itself (Tab, the arrows, access
// keys, WM_NEXTDLGCTL), its own default-button step comes last: it looks for
// the default button among the dialog's direct children (GetDlgItem), finds
// none, as ours stand in panels, and takes the border off the one that wore
// it. The border is put back where the focus says once it is done.
LRESULT CALLBACK DialogWindow::AfterDialogManager(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const LRESULT result = ::CallWindowProcW(self->dialogClassProc_, hwnd, msg, wp, lp);
    if (msg == WM_NEXTDLGCTL) self->ShowDefaultButton(self->BoundOf(::GetFocus()));
    return result;
}

void DialogWindow::Destroy() {
    if (inModal_) {
        endModal_ = true;
        // Closed from a sent message, the loop would wait in GetMessage for
        // some other message to arrive before it saw the flag.
        ::PostMessageW(hwnd, WM_NULL, 0, 0);
    } else if (main_) {
        ::DestroyWindow(hwnd);
    } else {
        ::ShowWindow(hwnd, SW_HIDE);
    }
}

// The pages stand beside the tab control, after it in the dialog manager's
// order, on its display area; the tab control leaves that area to them. The
// area depends on the tab strip's height, known only once the tabs are in,
// and changes with the theme and the font size.
void DialogWindow::LayOutPages(Bound& b) {
    const Rect& r = b.model->bounds();
    RECT display{0, 0, r.width, r.height};
    TabCtrl_AdjustRect(b.hwnd, FALSE, &display);
    HRGN frame = ::CreateRectRgn(0, 0, r.width, r.height);
    HRGN inside = ::CreateRectRgnIndirect(&display);
    ::CombineRgn(frame, frame, inside, RGN_DIFF);
    ::DeleteObject(inside);
    ::SetWindowRgn(b.hwnd, frame, TRUE);
    for (Control* sheet : b.model->asContainer()->children())
        sheet->SetBounds(
            {r.left + display.left, r.top + display.top, display.right - display.left, display.bottom - display.top});
}

void DialogWindow::PlaceWindow() {
    ::SetWindowPos(hwnd, nullptr, form_.storedLeft(), form_.storedTop(), form_.width(), form_.height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::UpdateForm(unsigned changes) {
    if (changes & kBounds) {
        PlaceWindow();
    } else if ((changes & kSize) && ::IsIconic(hwnd)) {
        // A new size only: the window stays wherever the user has put it.
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        if (::GetWindowPlacement(hwnd, &wp)) {
            wp.rcNormalPosition.right = wp.rcNormalPosition.left + form_.width();
            wp.rcNormalPosition.bottom = wp.rcNormalPosition.top + form_.height();
            ::SetWindowPlacement(hwnd, &wp);
        }
    } else if (changes & kSize) {
        ::SetWindowPos(hwnd, nullptr, 0, 0, form_.width(), form_.height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (changes & kTopMost) SetTopMost(hwnd, form_.stayOnTop());
}

void DialogWindow::ReadPosition(int& left, int& top) {
    if (!::IsWindow(hwnd)) return;
    if (::IsIconic(hwnd)) {
        // A minimized window parks far away; what counts is where it returns.
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        if (!::GetWindowPlacement(hwnd, &wp)) return;
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        ::GetMonitorInfoW(::MonitorFromRect(&wp.rcNormalPosition, MONITOR_DEFAULTTONEAREST), &mi);
        // Placement coordinates are relative to the work area.
        left = wp.rcNormalPosition.left + (mi.rcWork.left - mi.rcMonitor.left);
        top = wp.rcNormalPosition.top + (mi.rcWork.top - mi.rcMonitor.top);
        return;
    }
    RECT r;
    if (::GetWindowRect(hwnd, &r)) {
        left = r.left;
        top = r.top;
    }
}

void DialogWindow::PushText(Bound& b) {
    b.mirror = EditMirror::Of(TextOf(b).text(), kCp932Chars);
    const EditState& s = TextOf(b).editState();
    if (b.typing && b.mirror.wide == b.typed && s.selLength == 0 && b.mirror.WideFromByte(s.selStart) == b.typedCaret) {
        b.typesItself = true;
        return;
    }
    ::SetWindowTextW(b.edit, b.mirror.wide.c_str());
    PushSelection(b);
}

void DialogWindow::PushSelection(Bound& b) {
    const EditState& s = TextOf(b).editState();
    auto start = static_cast<WPARAM>(b.mirror.WideFromByte(s.selStart));
    auto end = static_cast<LPARAM>(b.mirror.WideFromByte(s.selStart + s.selLength));
    ::SendMessageW(b.edit, EM_SETSEL, start, end);
}

// A long list (32766 presets take a tenth of a second under Wine) is added
// after the window is up, in parts, unless something needs it sooner.
void DialogWindow::FillCombo(Bound& b) {
    ResetList(b.hwnd, kComboBox, static_cast<ComboBox&>(*b.model).items());
    // CB_RESETCONTENT empties the field too; the text stays with a new list.
    if (!b.mirror.wide.empty()) {
        ::SetWindowTextW(b.edit, b.mirror.wide.c_str());
        PushSelection(b);
    }
    b.nextItem = 0;
    // A fill under way for the old list goes on with the new one.
    if (!FillStep(b, kFillPart)) ::PostMessageW(hwnd, kFillMessage, 0, 0);
}

bool DialogWindow::FillStep(Bound& b, std::size_t count) {
    const auto& items = static_cast<ComboBox&>(*b.model).items();
    if (b.nextItem >= items.size()) return true;
    const std::size_t end = items.size() - b.nextItem > count ? b.nextItem + count : items.size();
    AddToList(b.hwnd, kComboBox, items, b.nextItem, end);
    b.nextItem = end;
    return b.nextItem >= items.size();
}

void DialogWindow::Update(Control& c, unsigned changes) {
    if (&c == &form_) {
        UpdateForm(changes);
        return;
    }
    Bound* found = BoundOf(c);
    if (!found || !found->hwnd) return;
    Bound& b = *found;
    if (changes & kBounds) {
        const Rect& r = c.bounds();
        // A combo box's window is as high as its open list.
        const UINT keepSize = c.kind() == Kind::ComboBox ? SWP_NOSIZE : 0;
        ::SetWindowPos(b.hwnd, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE | keepSize);
    }
    switch (c.kind()) {
        case Kind::RadioButton:
            if (changes & kChecked)
                ::SendMessageW(b.hwnd, BM_SETCHECK,
                               static_cast<RadioButton&>(c).checked() ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case Kind::RadioGroup:
            if (changes & kItemIndex) {
                // Tab enters a group at its checked item (the first when none
                // is). Wine's radio buttons move the tab stop themselves, but
                // nothing documents that Windows' do.
                const int index = static_cast<RadioGroup&>(c).itemIndex();
                for (std::size_t k = 0; k < b.parts.size(); ++k) {
                    const bool on = static_cast<int>(k) == index, stop = static_cast<int>(k) == (index < 0 ? 0 : index);
                    // A click has checked the item already: only what differs is set.
                    if ((::SendMessageW(b.parts[k], BM_GETCHECK, 0, 0) == BST_CHECKED) != on)
                        ::SendMessageW(b.parts[k], BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
                    LONG_PTR style = ::GetWindowLongPtrW(b.parts[k], GWL_STYLE);
                    LONG_PTR wanted = stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
                    if (wanted != style) ::SetWindowLongPtrW(b.parts[k], GWL_STYLE, wanted);
                }
            }
            break;
        case Kind::Edit:
            if (changes & kText)
                PushText(b);
            else if (changes & kSelection)
                PushSelection(b);
            break;
        case Kind::ComboBox: {
            auto& combo = static_cast<ComboBox&>(c);
            if (changes & kItems) FillCombo(b);
            if (picking_ == &b) {
                // The box shows the line the user picked, selected: only the
                // mirror learns it.
                b.mirror = EditMirror::Of(combo.text(), kCp932Chars);
                break;
            }
            if (changes & kItemIndex) {
                b.typing = false;  // the line goes into the field whole
                if (combo.itemIndex() >= 0 && static_cast<std::size_t>(combo.itemIndex()) >= b.nextItem)
                    FillStep(b, static_cast<std::size_t>(-1));
                // This also writes the line into the field: the text follows.
                ::SendMessageW(b.hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo.itemIndex()), 0);
            }
            if (changes & (kItemIndex | kText))
                PushText(b);
            else if (changes & kSelection)
                PushSelection(b);
            break;
        }
        case Kind::ListBox:
            if (changes & kItems) UpdateList(c, {ListChange::What::Reset});
            if (changes & kItemIndex)
                ::SendMessageW(b.hwnd, LB_SETCURSEL, static_cast<WPARAM>(static_cast<ListBox&>(c).itemIndex()), 0);
            break;
        case Kind::PageControl:
            if (changes & kActivePage) ShowActivePage(b);
            break;
        default:
            break;
    }
    if (changes & kFocus) {
        HWND target = b.hwnd;
        if (c.kind() == Kind::RadioGroup && !b.parts.empty()) {
            const int index = static_cast<RadioGroup&>(c).itemIndex();
            target = b.parts[static_cast<std::size_t>(index < 0 ? 0 : index)];
        }
        if (target) ::SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    }
}

void DialogWindow::UpdateList(Control& c, const ListChange& change) {
    Bound* b = BoundOf(c);
    if (!b || !b->hwnd) return;
    auto& model = static_cast<ListBox&>(c);
    HWND list = b->hwnd;
    auto count = [list] { return static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); };
    const auto at = static_cast<std::size_t>(change.index);
    if (change.what == ListChange::What::Reset) {
        FillList(list, model.items());
    } else {
        // A new text takes the old one's place; a new entry follows the last.
        if (change.what == ListChange::What::Delete || count() == model.count())
            ::SendMessageW(list, LB_DELETESTRING, at, 0);
        if (change.what == ListChange::What::Put)
            ::SendMessageW(list, LB_INSERTSTRING, at,
                           reinterpret_cast<LPARAM>(os::WideFrom932(model.items()[at]).c_str()));
    }
    // Whatever the window missed, it must not keep entries the list lacks.
    if (count() != model.count()) FillList(list, model.items());
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(model.itemIndex()), 0);
}

}  // namespace ui
