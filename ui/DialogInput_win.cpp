// Messages in: the one dialog procedure of a form, which turns every
// control's notification into its model's call, the typing and wheel
// procedures of the text fields, the timers, the modal loop and the
// program's message loop.
#include "ui/DialogWindow_win.h"

// after windows.h, which they need
#include <commctrl.h>
#include <imm.h>

#include <algorithm>

#include "ui/Theme_win.h"

namespace ui {

std::vector<DialogWindow*> DialogWindow::all_;

namespace {

constexpr UINT kRestoreMessage = WM_APP + 2;
static_assert(kEnterCommand == IDOK && kEscapeCommand == IDCANCEL);

std::wstring WindowText(HWND h) {
    int n = ::GetWindowTextLengthW(h);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(h, text.data(), n + 1)));
    return text;
}

}  // namespace

// A typed character goes through the model's typing rules (completion in a
// combo box); the window only shows the outcome.
LRESULT CALLBACK DialogWindow::TextFieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto& b = *reinterpret_cast<Bound*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_CHAR) {
        TypedKey typed = ClassifyTypedChar(static_cast<std::uint32_t>(wp), kCp932Chars);
        if (typed.action == TypedAction::Refuse) ::MessageBeep(MB_OK);
        if (typed.action != TypedAction::Send)
            return typed.action == TypedAction::PassOn ? ::CallWindowProcW(b.editProc, hwnd, msg, wp, lp) : 0;
        DWORD start = 0, end = 0;
        ::SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        std::size_t b0 = b.mirror.ByteFromWide(start), b1 = b.mirror.ByteFromWide(end);
        static_cast<TextControl&>(*b.model).UserSelected(b0, b1 >= b0 ? b1 - b0 : 0);
        // The window's own way with the key: the selection replaced by the
        // character, or removed, or the character before the caret removed.
        const std::wstring& shown = b.mirror.wide;
        start = std::min<DWORD>(start, static_cast<DWORD>(shown.size()));
        end = std::clamp<DWORD>(end, start, static_cast<DWORD>(shown.size()));
        if (typed.key.kind == KeyKind::Backspace && start == end && start > 0) --start;
        b.typed = shown.substr(0, start) +
                  (typed.key.kind == KeyKind::Char ? std::wstring(1, static_cast<wchar_t>(wp)) : L"") +
                  shown.substr(end);
        b.typedCaret = start + (typed.key.kind == KeyKind::Char ? 1 : 0);
        b.typing = true;
        b.typesItself = false;
        if (b.model->kind() == Kind::ComboBox)
            static_cast<ComboBox&>(*b.model).UserKey(typed.key);
        else
            static_cast<Edit&>(*b.model).UserKey(typed.key);
        b.typing = false;
        // Typed by the window itself, the change costs an insertion, not a
        // new text drawn whole; its change notice is the mirror's echo.
        if (!b.typesItself) return 0;
        const LRESULT result = ::CallWindowProcW(b.editProc, hwnd, msg, wp, lp);
        // An edit refuses a character past its length limit, which the model
        // knows nothing of: the field must still show what the model holds.
        if (static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) != b.mirror.wide.size()) PushText(b);
        return result;
    }
    return ::CallWindowProcW(b.editProc, hwnd, msg, wp, lp);
}

// Windows sends the wheel to the window under the pointer even when another
// program is active, and a closed combo box steps its list on it: a user
// zooming the drawing would change the choice unseen. Only a box the user
// works in takes the wheel.
LRESULT CALLBACK DialogWindow::ComboProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MOUSEWHEEL) {
        HWND focus = ::GetFocus();
        bool working =
            ::GetForegroundWindow() == ::GetAncestor(hwnd, GA_ROOT) && (focus == hwnd || ::IsChild(hwnd, focus));
        if (!working && !::SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0)) return 0;
    }
    return ::CallWindowProcW(ClassProc(hwnd), hwnd, msg, wp, lp);
}

// A multi-line edit asks for every key, so Tab, Enter and Escape would stay
// in it. Read-only, it has no use for them: the dialog manager gets them.
LRESULT CALLBACK DialogWindow::ReadOnlyMemoProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT result = ::CallWindowProcW(ClassProc(hwnd), hwnd, msg, wp, lp);
    return msg == WM_GETDLGCODE ? result & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB) : result;
}

void DialogWindow::TextEdited(Bound& b) {
    std::wstring now = WindowText(b.edit);
    if (now == b.mirror.wide) return;  // the echo of what the mirror itself set
    std::string bytes;
    if (!SpliceEdited(static_cast<TextControl&>(*b.model).text(), b.mirror, now, kCp932Chars, bytes)) {
        // Pasted text the file could not store: refuse it whole.
        ::MessageBeep(MB_OK);
        PushText(b);
        return;
    }
    DWORD start = 0, end = 0;
    ::SendMessageW(b.edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    b.mirror = EditMirror::Of(bytes, kCp932Chars);
    EditState state;
    state.text = std::move(bytes);
    state.selStart = b.mirror.ByteFromWide(start);
    std::size_t endByte = b.mirror.ByteFromWide(end);
    state.selLength = endByte >= state.selStart ? endByte - state.selStart : 0;
    static_cast<TextControl&>(*b.model).UserEdited(std::move(state));
}

void DialogWindow::AttachTimer(Timer& timer) {
    timers_.push_back(&timer);
    periods_.push_back(0);
    timer.window = this;
    timer.windowId = static_cast<unsigned>(timers_.size());
}

void DialogWindow::RunModal() {
    inModal_ = true;
    endModal_ = false;
    if (owner_) ::EnableWindow(owner_, FALSE);
    // Closed while minimized, it must not come back as an icon with the
    // palette disabled behind it.
    ::ShowWindow(hwnd, ::IsIconic(hwnd) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(hwnd);
    MSG msg{};
    bool quit = false;
    while (!endModal_ && !quit) quit = !PumpMessage(msg);
    // Re-enable the owner before hiding, or Windows activates another program.
    if (owner_) ::EnableWindow(owner_, TRUE);
    inModal_ = false;
    ::ShowWindow(hwnd, SW_HIDE);
    if (ownerMinimized_ && ::IsIconic(owner_)) ::ShowWindow(owner_, SW_RESTORE);
    ownerMinimized_ = false;
    if (owner_) ::SetActiveWindow(owner_);
    if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, lp);
        return FALSE;
    }
    auto* self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    INT_PTR result = 0;
    if (!self || !self->HandleMessage(hwnd, msg, wp, lp, result)) return FALSE;
    if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) return result;  // the brush itself
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

bool DialogWindow::HandleMessage(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
    switch (msg) {
        case WM_COMMAND:
            Command(LOWORD(wp), HIWORD(wp));
            return true;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            Bound* b = BoundOf(static_cast<int>(hdr->idFrom));
            if (hdr->code != TCN_SELCHANGE || !b || b->model->kind() != Kind::PageControl) return false;
            static_cast<PageControl&>(*b->model).UserSelectPage(TabCtrl_GetCurSel(b->hwnd));
            return true;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: {
            Bound* b = BoundOf(dialog);
            result =
                reinterpret_cast<INT_PTR>(ThemeColors(reinterpret_cast<HDC>(wp), b ? b->color : RGB(255, 255, 255)));
            return true;
        }
        case WM_PAINT: {
            Bound* b = BoundOf(dialog);
            Container* panel = b ? b->model->asContainer() : nullptr;
            if (!panel || !panel->raisedBevel) return false;
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(dialog, &ps);
            RECT r;
            ::GetClientRect(dialog, &r);
            ::DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
            ::EndPaint(dialog, &ps);
            return true;
        }
        case WM_CLOSE:
            // The title-bar close box, Alt+F4, the system menu; from a
            // control inside (a multi-line edit's Escape), a cancel.
            if (dialog != hwnd)
                Command(IDCANCEL, BN_CLICKED);
            else if (::IsWindowEnabled(hwnd))
                form_.Close();
            return true;
        case WM_SYSCOMMAND:
            // The task-bar button restores a minimized palette while its
            // dialog keeps it disabled, which the default handling refuses.
            if (dialog != hwnd || (wp & 0xFFF0) != SC_RESTORE || !::IsIconic(hwnd) || ::IsWindowEnabled(hwnd))
                return false;
            ::ShowWindow(hwnd, SW_RESTORE);
            return true;
        case WM_SIZE:
            if (dialog != hwnd) return false;
            if (wp == SIZE_MINIMIZED && inModal_ && owner_ && !::IsIconic(owner_)) {
                // Owned, the dialog has no task-bar button of its own and the
                // palette under it is disabled: minimized alone it could not
                // be found again. It goes down with the palette, whose
                // button brings both back.
                ownerMinimized_ = true;
                ::ShowWindow(owner_, SW_MINIMIZE);
            } else if (wp == SIZE_RESTORED) {
                // Once the restore is done, owned windows shown again included.
                ::PostMessageW(hwnd, kRestoreMessage, 0, 0);
            }
            return false;
        case kRestoreMessage:
            if (!::IsIconic(hwnd)) {
                for (DialogWindow* d : all_) {
                    if (d->owner_ != hwnd || !d->inModal_) continue;
                    ::ShowWindow(d->hwnd, ::IsIconic(d->hwnd) ? SW_RESTORE : SW_SHOW);
                    ::SetForegroundWindow(d->hwnd);
                    d->ownerMinimized_ = false;
                }
            }
            return true;
        case WM_TIMER:
            if (wp < 1 || wp > timers_.size()) return true;
            if (!timers_[wp - 1]->enabled()) {
                ::KillTimer(hwnd, wp);
                return true;
            }
            ticking_ = timers_[wp - 1];
            ticking_->Fire();
            ticking_ = nullptr;
            return true;
        case WM_ENDSESSION:
            if (wp && form_.OnEndSession) {
                form_.OnEndSession();
                ::DestroyWindow(hwnd);
            }
            return true;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
        case WM_THEMECHANGED:
            if (dialog != hwnd) return false;
            ThemeChanged(hwnd, msg);
            // The tab strip's height follows the theme and the font size; the
            // tab control hears of the change after this window.
            if (pages_) ::PostMessageW(hwnd, kLayOutMessage, 0, 0);
            return false;
        case kLayOutMessage:
            LayOutPages(*pages_);
            return true;
        case kFillMessage:
            // One list after the other: filled side by side, two lists of
            // 32766 took 3 MB more of the heap under Wine.
            for (auto& b : bound_) {
                if (b->model->kind() == Kind::ComboBox && !FillStep(*b, kFillPart)) {
                    ::PostMessageW(hwnd, kFillMessage, 0, 0);
                    break;
                }
            }
            return true;
        case WM_DESTROY:
            if (dialog == hwnd && main_) ::PostQuitMessage(0);
            return false;
        default:
            return false;
    }
}

void DialogWindow::Command(WORD id, WORD code) {
    Bound* b = BoundOf(id);
    if (!b) return;
    Control& c = *b->model;
    switch (c.kind()) {
        case Kind::Button:
            if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
                static_cast<Button&>(c).Click();
            } else if (code == BN_SETFOCUS || code == BN_KILLFOCUS) {
                // The dialog manager makes a focused push button the default
                // only when it moves the focus itself, and restyles only the
                // dialog's direct children (GetDlgItem): a button in a panel,
                // focused by a click, is made the default here.
                ShowDefaultButton(code == BN_SETFOCUS ? b : nullptr);
            }
            break;
        case Kind::RadioGroup:
            // Automatic items: the dialog manager checks the item the arrows
            // reach, and a click checks it, before the group hears of it.
            if (code == BN_CLICKED && id != c.id()) static_cast<RadioGroup&>(c).UserSelect(id - c.id() * 10);
            break;
        case Kind::RadioButton:
            if (code == BN_CLICKED) static_cast<RadioButton&>(c).UserClick();
            break;
        case Kind::Edit:
            if (code == EN_CHANGE) TextEdited(*b);
            break;
        case Kind::ListBox:
            if (code == LBN_SELCHANGE)
                static_cast<ListBox&>(c).UserSelect(static_cast<int>(::SendMessageW(b->hwnd, LB_GETCURSEL, 0, 0)));
            break;
        case Kind::ComboBox:
            if (code == CBN_EDITCHANGE) {
                TextEdited(*b);
            } else if (code == CBN_SETFOCUS) {
                // Numbers are typed here while a Japanese drawing program
                // usually has the input method on, which would commit them
                // full-width: it starts closed, and the 半角/全角 key still
                // opens it for a unit in kanji. Closing one that is closed
                // costs the input method's round trip all the same.
                if (HIMC context = ::ImmGetContext(b->edit)) {
                    if (::ImmGetOpenStatus(context)) ::ImmSetOpenStatus(context, FALSE);
                    ::ImmReleaseContext(b->edit, context);
                }
            } else if (code == CBN_SELCHANGE || code == CBN_SELENDOK) {
                // CBN_SELENDOK: the list closed on the user's choice, which
                // may be the current line and so sent no CBN_SELCHANGE.
                auto i = static_cast<int>(::SendMessageW(b->hwnd, CB_GETCURSEL, 0, 0));
                picking_ = b;
                if (i >= 0) static_cast<ComboBox&>(c).UserPick(i);
                picking_ = nullptr;
            }
            break;
        default:
            break;
    }
}

bool PreTranslate(MSG& msg) {
    // The dialog manager acts on keys only, and translates and dispatches
    // the rest as the loop does: they are spared its look for their dialog.
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    auto d = std::find_if(DialogWindow::all_.begin(), DialogWindow::all_.end(),
                          [root](DialogWindow* w) { return w->hwnd == root; });
    if (!root || d == DialogWindow::all_.end()) return false;
    // The page keys of every tabbed Windows dialog, which a tab control
    // standing in a dialog does not handle: Ctrl+Tab, Ctrl+Shift+Tab,
    // Ctrl+PageDown, Ctrl+PageUp, and Alt with a page's access key. A
    // control that asks for every key keeps them, as in those dialogs.
    DialogWindow::Bound* pages = (*d)->pages_;
    const bool ctrl = msg.message == WM_KEYDOWN && pages && ::GetKeyState(VK_CONTROL) < 0;
    int step = 0;
    if (ctrl && msg.wParam == VK_TAB) step = ::GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    if (ctrl && (msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR)) step = msg.wParam == VK_NEXT ? 1 : -1;
    const bool alt = msg.message == WM_SYSCHAR && pages && msg.wParam < 0x80;
    if ((step != 0 || alt) &&
        !(::SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTMESSAGE)) {
        auto& model = static_cast<PageControl&>(*pages->model);
        if (step != 0) {
            model.UserStepPage(step);
            return true;
        }
        if (model.UserAccessKey(static_cast<char>(msg.wParam))) return true;
    }
    return ::IsDialogMessageW(root, &msg) != 0;
}

bool PumpMessage(MSG& msg) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) return false;
    if (!PreTranslate(msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

int RunMessageLoop() {
    MSG msg{};
    while (PumpMessage(msg)) {
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 1;
}

}  // namespace ui
