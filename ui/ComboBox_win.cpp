// The combo box's peer: a Win32 drop-down COMBOBOX whose edit part is a text
// field and whose list is filled in parts when it is long.
#include <functional>

#include "ui/Accessibility_win.h"
#include "ui/ComboBox.h"
#include "ui/Form_win.h"
#include "ui/ListFill_win.h"
#include "ui/TextField_win.h"

namespace ui {

namespace {
// Entries a combo box adds at once; the rest follow from the message loop.
constexpr std::size_t kFillPart = 1024;
}  // namespace

class ComboPeer final : public TextFieldPeer {
public:
    explicit ComboPeer(ComboBox& model);
    HWND Create(HWND parent) override;
    void Created(FormWindow& form) override;
    void Update(unsigned changes) override;
    void OnCommand(WORD code) override;

private:
    void SendKey(const Key& key) override;
    void Settle();
    static LRESULT CALLBACK ComboSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    static constexpr UINT kSettleMessage = WM_APP + 2;
    bool pickPending_ = false;
    bool settlePending_ = false;
    void PushCurrentLine();
    std::wstring GetComboText() const;
    // Adds the next part of a long list; true when the list is complete.
    bool FillStep(std::size_t count);
    void CompleteFill() { FillStep(static_cast<std::size_t>(-1)); }
    ComboBox& combo;
    HWND list_ = nullptr;
    // The next entry to add, and which refill that is (a new one cancels it).
    std::size_t nextItem_ = 0;
    unsigned fill_ = 0;
    // Where the rest of a long list is added: the form's later work.
    std::function<void(std::function<bool()>)> later;
};

ComboPeer::ComboPeer(ComboBox& model) : TextFieldPeer(model), combo(model) {}

HWND ComboPeer::Create(HWND parent) {
    const Rect& b = combo.bounds();
    int dropHeight = b.height + combo.visibleLines * combo.itemHeight + 2;
    HWND h = CreateChild(0, WC_COMBOBOXW, L"",
                         kChildStyle | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                         {b.left, b.top, b.width, dropHeight}, parent);
    if (h) NameAfterPrecedingButton(h);
    return h;
}

void ComboPeer::Created(FormWindow& form) {
    later = [&form](std::function<bool()> step) { form.Later(std::move(step)); };
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

K307_DEFINE_PEER(ComboBox, ComboPeer)

}  // namespace ui
