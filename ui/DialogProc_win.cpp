// Forms as Windows dialogs at work: the one dialog procedure, the timers,
// the modal loop and the program's message loop.
#include "ui/Dialog_win.h"

// after windows.h, which they need
#include <commctrl.h>
#include <imm.h>

#include <algorithm>

#include "ui/Theme_win.h"

namespace ui {

std::vector<DialogWindow*> DialogWindow::all_;

namespace {

constexpr UINT kLaterMessage = WM_APP + 1;
constexpr UINT kRestoreMessage = WM_APP + 2;
static_assert(kEnterCommand == IDOK && kEscapeCommand == IDCANCEL);

}  // namespace

std::vector<HWND> DialogWindow::OwnedBy(HWND owner) {
    std::vector<HWND> owned;
    for (DialogWindow* d : DialogWindow::all_)
        if (::GetWindow(d->hwnd, GW_OWNER) == owner) owned.push_back(d->hwnd);
    return owned;
}

// Wine keeps a window that owns others from becoming topmost (it files it
// under its owned windows and takes their state), and an owned window from
// leaving the state it inherited from a topmost owner; with the ownership set
// aside for the call both work, here as on Windows, and the owned windows
// stay as they are.
void DialogWindow::SetTopMost(HWND hwnd, bool on) {
    const std::vector<HWND> owned = OwnedBy(hwnd);
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
// ends the system timer then. Each tick thus costs one call into the window
// system instead of two.
void DialogWindow::AttachTimer(Timer& timer) {
    timers_.push_back(&timer);
    timer.peer = this;
    timer.peerId = static_cast<unsigned>(timers_.size());
}

void DialogWindow::Restart(Timer& timer) {
    ::SetTimer(hwnd, timer.peerId, timer.interval(), nullptr);
}

void DialogWindow::ShowActivePage(Bound& b) {
    const int active = static_cast<PageControl&>(*b.model).activePage();
    if (TabCtrl_GetCurSel(b.hwnd) != active) TabCtrl_SetCurSel(b.hwnd, active);
    for (std::size_t i = 0; i < b.parts.size(); ++i)
        ::ShowWindow(b.parts[i], static_cast<int>(i) == active ? SW_SHOWNA : SW_HIDE);
}

void DialogWindow::SetDefaultButton(int id) {
    const int old = LOWORD(::SendMessageW(hwnd, DM_GETDEFID, 0, 0));
    ::SendMessageW(hwnd, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    for (auto& b : bound_) {
        if (b->model->kind() != Kind::Button || (b->model->id() != old && b->model->id() != id)) continue;
        LONG style = static_cast<LONG>(::GetWindowLongPtrW(b->hwnd, GWL_STYLE));
        LONG type = b->model->id() == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((style & BS_TYPEMASK) != type) ::SendMessageW(b->hwnd, BM_SETSTYLE, (style & ~BS_TYPEMASK) | type, TRUE);
    }
}

void DialogWindow::ShowDefaultButton() {
    Bound* focused = BoundOf(::GetFocus());
    Button* def =
        focused && focused->model->kind() == Kind::Button ? static_cast<Button*>(focused->model) : DefaultButton(form_);
    SetDefaultButton(def ? def->id() : 0);
}

// When the dialog manager moves the focus itself (Tab, the arrows, access
// keys, WM_NEXTDLGCTL), its own default-button step comes last: it looks for
// the default button among the dialog's direct children (GetDlgItem), finds
// none, as ours stand in panels, and takes the border off the one that wore
// it. The border is put back where the focus says once it is done.
LRESULT CALLBACK DialogWindow::AfterDialogManager(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    const LRESULT result = ::DefSubclassProc(hwnd, msg, wp, lp);
    if (msg == WM_NEXTDLGCTL) reinterpret_cast<DialogWindow*>(ref)->ShowDefaultButton();
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, AfterDialogManager, 0);
    return result;
}

void DialogWindow::FocusControl(HWND target) {
    if (target) ::SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void DialogWindow::Later(std::function<bool()> step) {
    later_.push_back(std::move(step));
    if (later_.size() == 1) ::PostMessageW(hwnd, kLaterMessage, 0, 0);
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
    while (!endModal_) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            quit = true;
            break;
        }
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    // Re-enable the owner before hiding, or Windows activates another program.
    if (owner_) ::EnableWindow(owner_, TRUE);
    inModal_ = false;
    ::ShowWindow(hwnd, SW_HIDE);
    if (ownerMinimized_ && ::IsIconic(owner_)) ::ShowWindow(owner_, SW_RESTORE);
    ownerMinimized_ = false;
    if (owner_) ::SetActiveWindow(owner_);
    if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
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
            Command(reinterpret_cast<HWND>(lp), LOWORD(wp), HIWORD(wp));
            return true;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            Bound* b = BoundOf(hdr->hwndFrom);
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
                Command(nullptr, IDCANCEL, 0);
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
            if (wp >= 1 && wp <= timers_.size()) {
                if (timers_[wp - 1]->enabled())
                    timers_[wp - 1]->Fire();
                else
                    ::KillTimer(hwnd, wp);
            }
            return true;
        case WM_QUERYENDSESSION:
            result = TRUE;
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
            for (auto& b : bound_) {
                if (b->model->kind() != Kind::PageControl) continue;
                Later([this, pages = b.get()] {
                    LayOutPages(*pages);
                    return true;
                });
            }
            return false;
        case kLaterMessage:
            if (!later_.empty()) {
                // A step may queue others; it stays first until it is done.
                if (later_.front()()) later_.pop_front();
                if (!later_.empty()) ::PostMessageW(hwnd, kLaterMessage, 0, 0);
            }
            return true;
        case WM_DESTROY:
            if (dialog == hwnd && main_) ::PostQuitMessage(0);
            return false;
        default:
            return false;
    }
}

void DialogWindow::Command(HWND from, WORD id, WORD code) {
    Bound* b = from ? BoundOf(from) : nullptr;
    if (!b) {
        for (auto& g : bound_) {
            auto item = std::find(g->parts.begin(), g->parts.end(), from);
            if (!from || item == g->parts.end() || g->model->kind() != Kind::RadioGroup) continue;
            // Automatic items: the dialog manager checks the item the arrows
            // reach, and a click checks it, before the group hears of it.
            if (code == BN_CLICKED)
                static_cast<RadioGroup&>(*g->model).UserSelect(static_cast<int>(item - g->parts.begin()));
            return;
        }
        // Enter, Escape and access keys: the dialog manager names the button.
        if (Button* button = CommandButton(form_, id)) button->Click();
        return;
    }
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
                Button* def = code == BN_SETFOCUS ? &static_cast<Button&>(c) : DefaultButton(form_);
                SetDefaultButton(def ? def->id() : 0);
            }
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
                // opens it for a unit in kanji.
                if (HIMC context = ::ImmGetContext(b->edit)) {
                    ::ImmSetOpenStatus(context, FALSE);
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
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    auto d = std::find_if(DialogWindow::all_.begin(), DialogWindow::all_.end(),
                          [root](DialogWindow* w) { return w->hwnd == root; });
    if (!root || d == DialogWindow::all_.end()) return false;
    // The page keys of every tabbed Windows dialog, which a tab control
    // standing in a dialog does not handle: Ctrl+Tab, Ctrl+Shift+Tab,
    // Ctrl+PageDown, Ctrl+PageUp, and Alt with a page's access key.
    int step = 0, page = -1;
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    if (msg.message == WM_KEYDOWN && ctrl && msg.wParam == VK_TAB) step = ::GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    if (msg.message == WM_KEYDOWN && ctrl && (msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR))
        step = msg.wParam == VK_NEXT ? 1 : -1;
    for (auto& b : (*d)->bound_) {
        if (b->model->kind() != Kind::PageControl) continue;
        auto& pages = static_cast<PageControl&>(*b->model);
        if (msg.message == WM_SYSCHAR && msg.wParam < 0x80)
            page = pages.PageForAccessKey(static_cast<char>(msg.wParam));
        if (step == 0 && page < 0) continue;
        // A control that asks for every key keeps the page keys too, as in
        // Windows' own tabbed dialogs.
        if (::SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTMESSAGE)
            break;
        // As a click on the tab: the focus goes to the tabs, then the page turns.
        (*d)->FocusControl(b->hwnd);
        if (step != 0)
            pages.UserStepPage(step);
        else
            pages.UserSelectPage(page);
        return true;
    }
    return ::IsDialogMessageW(root, &msg) != 0;
}

int RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace ui
