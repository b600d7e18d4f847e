// The mirror: each model change pushed onto its control, and what the user
// does in a text field taken back into the model's code page 932 bytes.
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <imm.h>

#include "os/Cp932_win.h"
#include "ui/Dialog_win.h"

namespace ui {

namespace {

// Entries a combo box adds at once; the rest follow from the message loop.
constexpr std::size_t kFillPart = 1024;

// Code page 932 by number, one character at a time.
const CharConverter& Cp932Converter() {
    static const CharConverter converter{[](std::string_view character, wchar_t& unit) {
                                             std::wstring w = os::WideFrom932(character);
                                             if (w.size() != 1) return false;
                                             unit = w[0];
                                             return true;
                                         },
                                         [](wchar_t unit, std::string& out) {
                                             std::string bytes;
                                             if (!os::Cp932FromWide(std::wstring_view(&unit, 1), bytes)) return false;
                                             out += bytes;
                                             return true;
                                         }};
    return converter;
}

std::wstring WindowText(HWND h) {
    int n = ::GetWindowTextLengthW(h);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(h, text.data(), n + 1)));
    return text;
}

// Suspends repainting while a list is refilled: one repaint, not one per
// entry. A hidden list (a closed combo box's) paints nothing anyway, and
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

// Appends items[from, to) to a list window of this thread. Its window
// procedure is called directly: what SendMessageW adds on top, for each of
// up to 32766 entries, is a tenth to a fifth of the fill.
void AddToList(HWND list, const std::vector<std::string>& items, std::size_t from, std::size_t to) {
    auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(list, GWLP_WNDPROC));
    std::wstring w;
    for (std::size_t i = from; i < to; ++i) {
        os::WideFrom932(items[i], w);
        ::CallWindowProcW(proc, list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
}

// Empties a list window and reserves room for `items`.
void ResetList(HWND list, const std::vector<std::string>& items) {
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    std::size_t bytes = 0;
    for (const auto& s : items) bytes += (s.size() + 1) * sizeof(wchar_t);
    ::SendMessageW(list, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
}

void FillList(HWND list, const std::vector<std::string>& items) {
    NoRedraw quiet(list);
    ResetList(list, items);
    AddToList(list, items, 0, items.size());
}

void ReplaceEntry(HWND list, const ListBox& model, int i) {
    std::wstring w = os::WideFrom932(model.items()[static_cast<std::size_t>(i)]);
    ::SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
    ::SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(w.c_str()));
}

TextControl& TextOf(DialogWindow::Bound& b) {
    return static_cast<TextControl&>(*b.model);
}

// A typed character goes through the model's typing rules (completion in a
// combo box); the window only shows the outcome.
LRESULT CALLBACK TextFieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto& b = *reinterpret_cast<DialogWindow::Bound*>(ref);
    if (msg == WM_CHAR) {
        TypedKey typed = ClassifyTypedChar(static_cast<std::uint32_t>(wp), Cp932Converter());
        if (typed.action == TypedAction::Refuse) ::MessageBeep(MB_OK);
        if (typed.action != TypedAction::Send)
            return typed.action == TypedAction::PassOn ? ::DefSubclassProc(hwnd, msg, wp, lp) : 0;
        DWORD start = 0, end = 0;
        ::SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        std::size_t b0 = b.mirror.ByteFromWide(start), b1 = b.mirror.ByteFromWide(end);
        TextOf(b).UserSelected(b0, b1 >= b0 ? b1 - b0 : 0);
        if (b.model->kind() == Kind::ComboBox)
            static_cast<ComboBox&>(*b.model).UserKey(typed.key);
        else
            static_cast<Edit&>(*b.model).UserKey(typed.key);
        return 0;
    }
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, TextFieldProc, 1);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

// Windows sends the wheel to the window under the pointer even when another
// program is active, and a closed combo box steps its list on it: a user
// zooming the drawing would change the choice unseen. Only a box the user
// works in takes the wheel.
LRESULT CALLBACK ComboProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_MOUSEWHEEL) {
        HWND focus = ::GetFocus();
        bool working =
            ::GetForegroundWindow() == ::GetAncestor(hwnd, GA_ROOT) && (focus == hwnd || ::IsChild(hwnd, focus));
        if (!working && !::SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0)) return 0;
    }
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, ComboProc, 2);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void DialogWindow::AttachTextField(Bound& b, HWND edit) {
    b.edit = edit;
    b.mirror = EditMirror::Of({}, Cp932Converter());
    ::SetWindowSubclass(edit, TextFieldProc, 1, reinterpret_cast<DWORD_PTR>(&b));
    if (b.model->kind() == Kind::ComboBox) ::SetWindowSubclass(b.hwnd, ComboProc, 2, 0);
}

void DialogWindow::PushText(Bound& b) {
    b.mirror = EditMirror::Of(TextOf(b).text(), Cp932Converter());
    ::SetWindowTextW(b.edit, b.mirror.wide.c_str());
    PushSelection(b);
}

void DialogWindow::PushSelection(Bound& b) {
    const EditState& s = TextOf(b).editState();
    auto start = static_cast<WPARAM>(b.mirror.WideFromByte(s.selStart));
    auto end = static_cast<LPARAM>(b.mirror.WideFromByte(s.selStart + s.selLength));
    ::SendMessageW(b.edit, EM_SETSEL, start, end);
}

void DialogWindow::TextEdited(Bound& b) {
    std::wstring now = WindowText(b.edit);
    if (now == b.mirror.wide) return;  // the echo of what the mirror itself set
    std::string bytes;
    if (!SpliceEdited(TextOf(b).text(), b.mirror, now, Cp932Converter(), bytes)) {
        // Pasted text the file could not store: refuse it whole.
        ::MessageBeep(MB_OK);
        PushText(b);
        return;
    }
    DWORD start = 0, end = 0;
    ::SendMessageW(b.edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    b.mirror = EditMirror::Of(bytes, Cp932Converter());
    EditState state;
    state.text = std::move(bytes);
    state.selStart = b.mirror.ByteFromWide(start);
    std::size_t endByte = b.mirror.ByteFromWide(end);
    state.selLength = endByte >= state.selStart ? endByte - state.selStart : 0;
    TextOf(b).UserEdited(std::move(state));
}

// Entries go straight to the box's list, a message each instead of two. A
// long list (32766 presets take a tenth of a second under Wine) is added
// after the window is up, in parts, unless something needs it sooner.
void DialogWindow::FillCombo(Bound& b) {
    {
        NoRedraw quiet(b.list);
        ResetList(b.list, static_cast<ComboBox&>(*b.model).items());
    }
    b.nextItem = 0;
    const unsigned fill = ++b.fill;
    if (!FillStep(b, kFillPart)) Later([this, &b, fill] { return fill != b.fill || FillStep(b, kFillPart); });
}

bool DialogWindow::FillStep(Bound& b, std::size_t count) {
    const auto& items = static_cast<ComboBox&>(*b.model).items();
    if (b.nextItem >= items.size()) return true;
    NoRedraw quiet(b.list);
    const std::size_t end = items.size() - b.nextItem > count ? b.nextItem + count : items.size();
    AddToList(b.list, items, b.nextItem, end);
    b.nextItem = end;
    return b.nextItem >= items.size();
}

void DialogWindow::Update(Control& c, unsigned changes) {
    if (&c == &form_) {
        UpdateForm(changes);
        return;
    }
    Bound* found = Find(c);
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
                // Tab enters a group at its checked item (the first when none is).
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
                b.mirror = EditMirror::Of(combo.text(), Cp932Converter());
                break;
            }
            if (changes & kItemIndex) {
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
        FocusControl(target);
    }
}

void DialogWindow::UpdateList(Control& c, const ListChange& change) {
    Bound* b = Find(c);
    if (!b || !b->hwnd) return;
    auto& model = static_cast<ListBox&>(c);
    HWND list = b->hwnd;
    auto count = [list] { return static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); };
    switch (change.what) {
        case ListChange::What::Reset:
            FillList(list, model.items());
            break;
        case ListChange::What::Add:
            if (count() == model.count() - 1)
                AddToList(list, model.items(), static_cast<std::size_t>(change.index),
                          static_cast<std::size_t>(change.index) + 1);
            break;
        case ListChange::What::Delete:
            ::SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(change.index), 0);
            break;
        case ListChange::What::Replace:
            ReplaceEntry(list, model, change.index);
            break;
        case ListChange::What::Exchange:
            ReplaceEntry(list, model, change.index);
            ReplaceEntry(list, model, change.other);
            break;
    }
    // Whatever the window missed, it must not keep entries the list lacks.
    if (count() != model.count()) FillList(list, model.items());
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(model.itemIndex()), 0);
}

}  // namespace ui
