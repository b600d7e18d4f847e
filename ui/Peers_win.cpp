// Peers of the individual controls: each mirrors its model onto one real
// window and turns that window's notifications into the model's User* calls.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>
#include <windowsx.h>

#include "os/Cp932_win.h"
#include "ui/EditMirror_win.h"
#include "ui/Peers_win.h"

namespace ui {

namespace {

struct Mirroring {
    explicit Mirroring(WinPeer& p) : peer(p) { ++peer.mirroring; }
    ~Mirroring() { --peer.mirroring; }
    Mirroring(const Mirroring&) = delete;
    Mirroring& operator=(const Mirroring&) = delete;
    WinPeer& peer;
};

std::wstring W(std::string_view cp932) {
    return os::WideFrom932(cp932);
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

// Entries a combo box adds at once; the rest follow from the message loop.
constexpr std::size_t kFillPart = 1024;

// Empties a list and reserves room for `items`.
void ResetList(HWND list, const std::vector<std::string>& items) {
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    std::size_t bytes = 0;
    for (const auto& s : items) bytes += (s.size() + 1) * sizeof(wchar_t);
    ::SendMessageW(list, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
}

// Appends items[from, to) to a list box of this thread. The list's own
// window procedure is called directly: what SendMessageW would add on top,
// for each of up to 32766 entries, is a tenth to a fifth of the fill.
void AddToList(HWND list, const std::vector<std::string>& items, std::size_t from, std::size_t to) {
    auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(list, GWLP_WNDPROC));
    std::wstring w;
    for (std::size_t i = from; i < to; ++i) {
        os::WideFrom932(items[i], w);
        ::CallWindowProcW(proc, list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
}

// Fills a list box in one pass, storage reserved up front.
void FillList(HWND list, const std::vector<std::string>& items) {
    NoRedraw quiet(list);
    ResetList(list, items);
    AddToList(list, items, 0, items.size());
}

}  // namespace

//--- Text fields (Edit and the combo boxes' edit part)

TextFieldPeer::TextFieldPeer(TextControl& model) : model_(model) {}

void TextFieldPeer::AttachEdit(HWND edit) {
    edit_ = edit;
    ::SetWindowSubclass(edit_, EditSubclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

void TextFieldPeer::PushText() {
    Mirroring guard(*this);
    mirror_ = EditMirror::Of(model_.text());
    ::SetWindowTextW(edit_, mirror_.wide.c_str());
    PushSelection();
}

void TextFieldPeer::PushSelection() {
    Mirroring guard(*this);
    const EditState& s = model_.editState();
    auto start = static_cast<WPARAM>(mirror_.WideFromByte(s.selStart));
    auto end = static_cast<LPARAM>(mirror_.WideFromByte(s.selStart + s.selLength));
    ::SendMessageW(edit_, EM_SETSEL, start, end);
}

void TextFieldPeer::PullSelection() {
    DWORD start = 0, end = 0;
    ::SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::size_t b0 = mirror_.ByteFromWide(start), b1 = mirror_.ByteFromWide(end);
    model_.UserSelected(b0, b1 >= b0 ? b1 - b0 : 0);
}

void TextFieldPeer::TextEdited() {
    if (mirroring) return;
    int n = ::GetWindowTextLengthW(edit_);
    std::wstring now(static_cast<std::size_t>(n) + 1, L'\0');
    now.resize(static_cast<std::size_t>(::GetWindowTextW(edit_, now.data(), n + 1)));
    if (now == mirror_.wide) return;
    std::string bytes;
    if (!SpliceEdited(model_.text(), mirror_, now, bytes)) {
        // Pasted text the file could not store: refuse it whole.
        ::MessageBeep(MB_OK);
        PushText();
        return;
    }
    DWORD start = 0, end = 0;
    ::SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    mirror_ = EditMirror::Of(bytes);
    EditState state;
    state.text = std::move(bytes);
    state.selStart = mirror_.ByteFromWide(start);
    std::size_t endByte = mirror_.ByteFromWide(end);
    state.selLength = endByte >= state.selStart ? endByte - state.selStart : 0;
    model_.UserEdited(std::move(state));
}

bool TextFieldPeer::TypedChar(wchar_t ch) {
    Key key;
    if (ch == L'\b') {
        key = Key::Backspace();
    } else if (ch == L'\t') {
        return true;  // Tab and Escape change nothing
    } else if (ch == 0x1B) {
        return true;
    } else if (ch < 0x20) {
        return false;  // Ctrl+C, Ctrl+V and the like: the edit control's own work
    } else {
        std::string bytes;
        if (!os::Cp932FromWide(std::wstring_view(&ch, 1), bytes) || bytes.empty()) {
            ::MessageBeep(MB_OK);  // the file could not hold this character
            return true;
        }
        key = Key::Char(std::move(bytes));
    }
    PullSelection();
    SendKey(key);
    return true;
}

LRESULT CALLBACK TextFieldPeer::EditSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<TextFieldPeer*>(ref);
    switch (msg) {
        case WM_CHAR:
            if (wp >= 0xD800 && wp <= 0xDFFF) {
                ::MessageBeep(MB_OK);  // outside the BMP: never in code page 932
                return 0;
            }
            if (self->TypedChar(static_cast<wchar_t>(wp))) return 0;
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, EditSubclass, 1);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

//--- Edit

EditPeer::EditPeer(Edit& model) : TextFieldPeer(model), edit(model) {}

void EditPeer::Update(unsigned changes) {
    if (changes & kText) {
        PushText();
    } else if (changes & kSelection) {
        PushSelection();
    }
    if (changes & kFocus) ::SetFocus(hwnd);
}

void EditPeer::OnCommand(WORD code) {
    if (code == EN_CHANGE) TextEdited();
}

void EditPeer::SendKey(const Key& key) {
    edit.UserKey(key);
}

//--- ComboBox

ComboPeer::ComboPeer(ComboBox& model) : TextFieldPeer(model), combo(model) {}

void ComboPeer::Created() {
    ::SetWindowSubclass(hwnd, ComboSubclass, 2, reinterpret_cast<DWORD_PTR>(this));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (::GetComboBoxInfo(hwnd, &info)) {
        if (info.hwndItem) AttachEdit(info.hwndItem);
        list_ = info.hwndList;
    }
    ::SendMessageW(hwnd, CB_SETITEMHEIGHT, 0, combo.itemHeight);
    ::SendMessageW(hwnd, CB_SETMINVISIBLE, static_cast<WPARAM>(combo.visibleLines), 0);
    // Make the closed box exactly as high as designed.
    RECT r;
    ::GetWindowRect(hwnd, &r);
    auto field = static_cast<int>(::SendMessageW(hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    int excess = (r.bottom - r.top) - combo.bounds().height;
    if (excess != 0 && field - excess > 0)
        ::SendMessageW(hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field - excess);
    PushText();
}

void ComboPeer::PushCurrentLine() {
    if (combo.itemIndex() >= 0 && static_cast<std::size_t>(combo.itemIndex()) >= nextItem_) CompleteFill();
    Mirroring guard(*this);
    // CB_SETCURSEL also rewrites the edit text, so the text goes back after it.
    ::SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo.itemIndex()), 0);
}

void ComboPeer::Update(unsigned changes) {
    if (changes & kItems) {
        // Entries go straight to the box's list, a message each instead of
        // two. A long list (32766 presets take a tenth of a second under
        // Wine) is added after the window is up, in parts, unless something
        // needs it sooner.
        {
            Mirroring guard(*this);
            NoRedraw quiet(list_);
            ResetList(list_, combo.items());
        }
        nextItem_ = 0;
        const unsigned fill = ++fill_;
        if (!FillStep(kFillPart)) {
            if (later)
                later([this, fill] { return fill != fill_ || FillStep(kFillPart); });
            else
                CompleteFill();
        }
    }
    if (changes & kItemIndex) PushCurrentLine();
    if (changes & (kItems | kItemIndex | kText)) {
        PushText();
    } else if (changes & kSelection) {
        PushSelection();
    }
    if (changes & kFocus) ::SetFocus(hwnd);
}

void ComboPeer::OnCommand(WORD code) {
    if (mirroring) return;
    switch (code) {
        case CBN_EDITCHANGE:
            TextEdited();
            return;
        // CBN_SELENDOK: the list closed on the user's choice, which may be
        // the line that was current already and so sent no CBN_SELCHANGE.
        case CBN_SELCHANGE:
        case CBN_SELENDOK:
            pickPending_ = true;
            break;
        case CBN_CLOSEUP:
        case CBN_SELENDCANCEL:
            break;
        default:
            return;
    }
    // The box writes its own line into the field after these return, in an
    // order the documentation leaves open: the outcome is taken over one
    // posted message later, when the box is done.
    if (!settlePending_) settlePending_ = ::PostMessageW(hwnd, kSettleMessage, 0, 0) != 0;
}

void ComboPeer::Settle() {
    settlePending_ = false;
    const bool pick = pickPending_;
    pickPending_ = false;
    auto i = static_cast<int>(::SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
    if (pick && i >= 0) {
        // The model decides whether a pick of the current line changes
        // anything: it does when the field showed another text than the line.
        combo.UserPick(i);
    } else if (GetComboText() != mirror_.wide) {
        // The list put its own line into the field: show the model's.
        PushText();
    }
}

LRESULT CALLBACK ComboPeer::ComboSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<ComboPeer*>(ref);
    switch (msg) {
        case kSettleMessage:
            self->Settle();
            return 0;
        case WM_MOUSEWHEEL: {
            // Windows sends the wheel to the window under the pointer even
            // when another program is active, and a closed combo box steps
            // its list on it: a user zooming the drawing would change the
            // choice unseen. Only a box the user works in takes the wheel.
            HWND focus = ::GetFocus();
            bool working =
                ::GetForegroundWindow() == ::GetAncestor(hwnd, GA_ROOT) && (focus == hwnd || ::IsChild(hwnd, focus));
            if (!working && !::SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0)) return 0;
            break;
        }
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, ComboSubclass, 2);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

bool ComboPeer::FillStep(std::size_t count) {
    const auto& items = combo.items();
    if (nextItem_ >= items.size()) return true;
    Mirroring guard(*this);
    NoRedraw quiet(list_);
    const std::size_t end = items.size() - nextItem_ > count ? nextItem_ + count : items.size();
    AddToList(list_, items, nextItem_, end);
    nextItem_ = end;
    return nextItem_ >= items.size();
}

std::wstring ComboPeer::GetComboText() const {
    int n = ::GetWindowTextLengthW(edit_);
    std::wstring now(static_cast<std::size_t>(n) + 1, L'\0');
    now.resize(static_cast<std::size_t>(::GetWindowTextW(edit_, now.data(), n + 1)));
    return now;
}

void ComboPeer::SendKey(const Key& key) {
    combo.UserKey(key);
}

//--- Buttons

void ButtonPeer::OnCommand(WORD code) {
    switch (code) {
        case BN_CLICKED:
        case BN_DOUBLECLICKED:  // with BS_NOTIFY the second click of a double click
            if (!mirroring) button.Click();
            break;
        case BN_SETFOCUS:
        case BN_KILLFOCUS:
            if (FormWindow* form = FormWindow::FromHwnd(::GetAncestor(hwnd, GA_ROOT))) {
                if (code == BN_SETFOCUS)
                    form->SetDefaultId(button.Id());
                else
                    form->RestoreDefaultId();
            }
            break;
        default:
            break;
    }
}

void ButtonPeer::Update(unsigned changes) {
    if (changes & kCaption) ::SetWindowTextW(hwnd, W(button.caption()).c_str());
    if (changes & kFocus) ::SetFocus(hwnd);
}

void RadioPeer::OnCommand(WORD code) {
    if (code == BN_CLICKED && !mirroring) radio.UserClick();
}

void RadioPeer::Update(unsigned changes) {
    if (changes & kChecked) {
        Mirroring guard(*this);
        ::SendMessageW(hwnd, BM_SETCHECK, radio.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (changes & kFocus) ::SetFocus(hwnd);
}

//--- ListBox

void ListBoxPeer::Update(unsigned changes) {
    Mirroring guard(*this);
    if (changes & kItems) {
        int from = list.changedFrom, to = list.changedTo;
        auto count = static_cast<int>(::SendMessageW(hwnd, LB_GETCOUNT, 0, 0));
        if (to == -2) {
            ::SendMessageW(hwnd, LB_DELETESTRING, static_cast<WPARAM>(from), 0);
        } else if (from == to && from == list.count() - 1 && count == list.count() - 1) {
            std::wstring w = W(list.items()[static_cast<std::size_t>(from)]);
            ::SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
        } else if (from == 0 && to == list.count() - 1 && to > 1) {
            FillList(hwnd, list.items());
        } else if (from == 0 && to < 0) {
            ::SendMessageW(hwnd, LB_RESETCONTENT, 0, 0);
        } else {
            for (int i = from; i <= to && i < list.count(); ++i) {
                std::wstring w = W(list.items()[static_cast<std::size_t>(i)]);
                ::SendMessageW(hwnd, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
                ::SendMessageW(hwnd, LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(w.c_str()));
            }
        }
        // A refill of one or two entries looks like a replacement above; one
        // that leaves the box longer than the list must not keep old entries.
        if (static_cast<int>(::SendMessageW(hwnd, LB_GETCOUNT, 0, 0)) != list.count()) FillList(hwnd, list.items());
    }
    if (changes & (kItems | kItemIndex)) ::SendMessageW(hwnd, LB_SETCURSEL, static_cast<WPARAM>(list.itemIndex()), 0);
    if (changes & kFocus) ::SetFocus(hwnd);
}

void ListBoxPeer::OnCommand(WORD code) {
    if (code != LBN_SELCHANGE || mirroring) return;
    auto i = static_cast<int>(::SendMessageW(hwnd, LB_GETCURSEL, 0, 0));
    list.UserSelect(i);
}

//--- RadioGroup: a container holding a group box and one radio button per item

void RadioGroupPeer::Update(unsigned changes) {
    if (changes & kItemIndex) {
        Mirroring guard(*this);
        // Tab enters a group at its checked item (the first when none is).
        const std::size_t stop = group.itemIndex() < 0 ? 0 : static_cast<std::size_t>(group.itemIndex());
        for (std::size_t k = 0; k < items.size(); ++k) {
            bool on = static_cast<int>(k) == group.itemIndex();
            ::SendMessageW(items[k], BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
            LONG_PTR style = ::GetWindowLongPtrW(items[k], GWL_STYLE);
            LONG_PTR wanted = k == stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
            if (wanted != style) ::SetWindowLongPtrW(items[k], GWL_STYLE, wanted);
        }
    }
    if (changes & kFocus) {
        int i = group.itemIndex() < 0 ? 0 : group.itemIndex();
        if (!items.empty()) ::SetFocus(items[static_cast<std::size_t>(i)]);
    }
}

bool RadioGroupPeer::ArrowKey(HWND from, WPARAM key) {
    const auto n = static_cast<int>(items.size());
    for (int k = 0; k < n; ++k) {
        if (items[static_cast<std::size_t>(k)] != from) continue;
        // Down and right go on, up and left back, round within the group;
        // the item reached is checked, as the dialog manager does it.
        const bool forward = key == VK_DOWN || key == VK_RIGHT;
        const int next = (k + (forward ? 1 : n - 1)) % n;
        ::SetFocus(items[static_cast<std::size_t>(next)]);
        ItemClicked(next);
        return true;
    }
    return false;
}

void RadioGroupPeer::ItemClicked(int k) {
    if (mirroring) return;
    group.UserSelect(k);
    // A click on the selected item leaves it selected, as Windows' own
    // handling might have cleared the mark meanwhile.
    Update(kItemIndex);
}

//--- PageControl

void PagePeer::Update(unsigned changes) {
    if (changes & kActivePage) {
        Mirroring guard(*this);
        TabCtrl_SetCurSel(hwnd, pages.activePage());
        ShowActive();
    }
}

void PagePeer::ShowActive() {
    for (std::size_t i = 0; i < sheets.size(); ++i)
        ::ShowWindow(sheets[i], static_cast<int>(i) == pages.activePage() ? SW_SHOW : SW_HIDE);
}

bool PagePeer::OnNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code == TCN_SELCHANGE) {
        pages.UserSelectPage(TabCtrl_GetCurSel(hwnd));
        ShowActive();
        result = 0;
        return true;
    }
    return false;
}

bool PagePeer::SelectByAccessKey(wchar_t key) {
    for (std::size_t i = 0; i < pages.children().size(); ++i) {
        const std::string& caption = pages.children()[i]->caption();
        std::size_t amp = caption.find('&');
        if (amp == std::string::npos || amp + 1 >= caption.size()) continue;
        wchar_t c = static_cast<wchar_t>(static_cast<unsigned char>(caption[amp + 1]));
        if (::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c))) ==
            ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(key)))) {
            pages.UserSelectPage(static_cast<int>(i));
            TabCtrl_SetCurSel(hwnd, pages.activePage());
            ShowActive();
            ::SetFocus(hwnd);
            return true;
        }
    }
    return false;
}

}  // namespace ui
