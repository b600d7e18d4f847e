// Forms as Windows dialogs: making the dialogs and their controls, the one
// dialog procedure, the modal loop and the program's message loop.
#include "ui/Dialog_win.h"

// after windows.h, which they need
#include <commctrl.h>
#include <imm.h>

#include <algorithm>

#include "os/Cp932_win.h"
#include "ui/Placement.h"
#include "ui/Theme_win.h"

namespace ui {

namespace {

HINSTANCE gInstance = nullptr;
std::vector<DialogWindow*> gDialogs;

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kTabStop = kChild | WS_TABSTOP | WS_GROUP;
constexpr UINT kLaterMessage = WM_APP + 1;
constexpr UINT kRestoreMessage = WM_APP + 2;
static_assert(kEnterCommand == IDOK && kEscapeCommand == IDCANCEL);

DWORD FormExStyle(const Form& form) {
    return WS_EX_CONTROLPARENT | (form.stayOnTop() ? WS_EX_TOPMOST : 0);
}

HWND MakeControl(DWORD exStyle,
                 const wchar_t* cls,
                 const std::wstring& text,
                 DWORD style,
                 const Rect& r,
                 HWND parent,
                 int id) {
    HWND h = ::CreateWindowExW(exStyle, cls, text.c_str(), style, r.left, r.top, r.width, r.height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), gInstance, nullptr);
    if (h) ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
    return h;
}

std::vector<HWND> OwnedBy(HWND owner) {
    std::vector<HWND> owned;
    for (DialogWindow* d : gDialogs)
        if (::GetWindow(d->hwnd, GW_OWNER) == owner) owned.push_back(d->hwnd);
    return owned;
}

// Wine keeps a window that owns others from becoming topmost (it files it
// under its owned windows and takes their state), and an owned window from
// leaving the state it inherited from a topmost owner; with the ownership set
// aside for the call both work, here as on Windows, and the owned windows
// stay as they are.
void SetTopMost(HWND hwnd, bool on) {
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
class WinTimer final : public TimerPeer {
public:
    WinTimer(Timer& timer, HWND hwnd, UINT_PTR id) : timer_(timer), hwnd_(hwnd), id_(id) { timer.peer = this; }
    ~WinTimer() override { timer_.peer = nullptr; }
    WinTimer(const WinTimer&) = delete;
    WinTimer& operator=(const WinTimer&) = delete;
    void Restart(unsigned intervalMs) override { ::SetTimer(hwnd_, id_, intervalMs, nullptr); }
    void Tick() {
        if (timer_.enabled())
            timer_.Fire();
        else
            ::KillTimer(hwnd_, id_);
    }

private:
    Timer& timer_;
    HWND hwnd_;
    UINT_PTR id_;
};

//--- Names for screen readers: a control without text of its own (list box,
// combo box) is named after the static label just before it in z-order.

bool IsClass(HWND h, const wchar_t* name) {
    wchar_t cls[32];
    return ::GetClassNameW(h, cls, 32) && ::lstrcmpiW(cls, name) == 0;
}

// A list box: the label above it, left-aligned with it, moves just before it.
void NameAfterLabelAbove(HWND control, const Rect& c) {
    HWND best = nullptr;
    LONG bestGap = 0;
    for (HWND s = ::GetWindow(control, GW_HWNDFIRST); s; s = ::GetWindow(s, GW_HWNDNEXT)) {
        if (s == control || !IsClass(s, L"Static")) continue;
        RECT r;
        ::GetWindowRect(s, &r);
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(s), reinterpret_cast<POINT*>(&r), 2);
        if (r.left != c.left || r.bottom > c.top) continue;
        if (!best || c.top - r.bottom < bestGap) {
            best = s;
            bestGap = c.top - r.bottom;
        }
    }
    HWND prev = ::GetWindow(control, GW_HWNDPREV);
    if (best && prev && prev != best)
        ::SetWindowPos(best, prev, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

// A combo box beside a radio button: a radio button does not name what
// follows it, so a hidden label with the button's text goes between them.
void NameAfterPrecedingButton(HWND control) {
    HWND button = ::GetWindow(control, GW_HWNDPREV);
    wchar_t text[64];
    if (!button || !IsClass(button, L"Button") || ::GetWindowTextW(button, text, 64) <= 0) return;
    HWND label = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | SS_LEFT, 0, 0, 0, 0, ::GetParent(control),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), gInstance, nullptr);
    if (label) ::SetWindowPos(label, button, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

// A multi-line edit asks for every key, so Tab, Enter and Escape would stay
// in it. Read-only, it has no use for them: the dialog manager gets them.
LRESULT CALLBACK ReadOnlyMemoProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_GETDLGCODE)
        return ::DefSubclassProc(hwnd, msg, wp, lp) & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, ReadOnlyMemoProc, 0);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void InitWindows(HINSTANCE instance) {
    gInstance = instance;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
}

void KeepOnScreens(int& left, int& top, int width, int height) {
    std::vector<ScreenArea> areas;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR mon, HDC, LPRECT, LPARAM param) -> BOOL {
            MONITORINFO mi{};
            mi.cbSize = sizeof mi;
            if (::GetMonitorInfoW(mon, &mi)) {
                const RECT& w = mi.rcWork;
                reinterpret_cast<std::vector<ScreenArea>*>(param)->push_back({w.left, w.top, w.right, w.bottom});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&areas));
    // The caption strip of a single-border window: the frame above it and the title bar.
    int caption = ::GetSystemMetrics(SM_CYFIXEDFRAME) + ::GetSystemMetrics(SM_CYCAPTION);
    KeepCaptionReachable(left, top, width, height, caption, areas);
}

void DialogWindow::MeasureFrame(Form& form) {
    RECT r{0, 0, form.clientWidth(), form.clientHeight()};
    ::AdjustWindowRectEx(&r, kFormStyle, FALSE, FormExStyle(form));
    form.frameWidth = (r.right - r.left) - form.clientWidth();
    form.frameHeight = (r.bottom - r.top) - form.clientHeight();
}

HWND DialogWindow::MakeDialog(HWND parent, DWORD style, DWORD exStyle, const std::wstring& title) {
    // A template without controls or font: the controls are made in pixels.
    struct alignas(4) Template {
        DLGTEMPLATE head;
        WORD menu, windowClass;
        wchar_t title[64];
    } t{};
    t.head.style = style;
    t.head.dwExtendedStyle = exStyle;
    title.copy(t.title, std::size(t.title) - 1);
    return ::CreateDialogIndirectParamW(gInstance, &t.head, parent, DialogProc, reinterpret_cast<LPARAM>(this));
}

DialogWindow::DialogWindow(Form& form, HWND owner, bool mainWindow) : form_(form), owner_(owner), main_(mainWindow) {
    gDialogs.push_back(this);
    hwnd = MakeDialog(owner, kFormStyle, FormExStyle(form), os::WideFrom932(form.caption()));
    // The frame as this window system really draws it.
    RECT outer, client;
    ::GetWindowRect(hwnd, &outer);
    ::GetClientRect(hwnd, &client);
    form.frameWidth = (outer.right - outer.left) - client.right;
    form.frameHeight = (outer.bottom - outer.top) - client.bottom;
    PlaceWindow();
    // An owned window inherits the stay-on-top state of a topmost owner.
    if (!form.stayOnTop() && (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) SetTopMost(hwnd, false);
    for (int size : {ICON_BIG, ICON_SMALL}) {
        int px = ::GetSystemMetrics(size == ICON_BIG ? SM_CXICON : SM_CXSMICON);
        HANDLE icon = ::LoadImageW(gInstance, MAKEINTRESOURCEW(1), IMAGE_ICON, px, px, 0);
        ::SendMessageW(hwnd, WM_SETICON, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(icon));
    }
    auto& self = bound_.emplace_back(std::make_unique<Bound>());
    self->model = &form;
    self->hwnd = hwnd;
    self->color = ToColorRef(form.color);
    CreateChildren(form, hwnd, self->color);
    if (Button* def = DefaultButton(form)) SetDefaultButton(def->id());
    form.peer = this;
}

DialogWindow::~DialogWindow() {
    for (auto& b : bound_) b->model->peer = nullptr;
    std::erase(gDialogs, this);
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

void DialogWindow::AttachTimer(Timer& timer) {
    timers_.push_back(std::make_unique<WinTimer>(timer, hwnd, timers_.size() + 1));
}

void DialogWindow::CreateChildren(Container& container, HWND parent, COLORREF color) {
    for (Control* c : container.children()) Create(*c, parent, color);
}

DialogWindow::Bound& DialogWindow::Create(Control& c, HWND parent, COLORREF color) {
    Bound& b = *bound_.emplace_back(std::make_unique<Bound>());
    b.model = &c;
    b.dialog = this;
    b.color = color;
    const Rect& r = c.bounds();
    const std::wstring caption = os::WideFrom932(c.caption());
    HWND h = nullptr;
    switch (c.kind()) {
        case Kind::Form:
            break;
        case Kind::Panel:
        case Kind::TabSheet:
        case Kind::RadioGroup: {
            // What the dialog manager walks into: Tab goes through its
            // controls in their order, as if they stood in the form itself.
            h = MakeDialog(parent, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | DS_CONTROL, WS_EX_CONTROLPARENT, L"");
            ::SetWindowLongPtrW(h, GWLP_ID, c.id());
            ::SetWindowPos(h, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
            if (c.kind() != Kind::RadioGroup) {
                b.color = ToColorRef(c.asContainer()->color);
                CreateChildren(*c.asContainer(), h, b.color);
                if (c.kind() == Kind::Panel) ::ShowWindow(h, SW_SHOWNA);
                break;
            }
            auto& group = static_cast<RadioGroup&>(c);
            for (int k = 0; k < static_cast<int>(group.items().size()); ++k) {
                b.parts.push_back(MakeControl(0, WC_BUTTONW,
                                              os::WideFrom932(group.items()[static_cast<std::size_t>(k)]),
                                              kChild | (k == 0 ? WS_GROUP : 0) | BS_AUTORADIOBUTTON,
                                              group.itemBounds(k), h, RadioItemId(group.number(), k)));
            }
            // The frame stands after the items, where its WS_GROUP ends
            // their group: the arrow keys go round the items only.
            MakeControl(0, WC_BUTTONW, caption, WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX,
                        {0, 0, r.width, r.height}, h, -1);
            ::ShowWindow(h, SW_SHOWNA);
            break;
        }
        case Kind::Button: {
            const DWORD type = static_cast<Button&>(c).isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            h = MakeControl(0, WC_BUTTONW, caption, kTabStop | BS_NOTIFY | type, r, parent, c.id());
            break;
        }
        case Kind::RadioButton:
            h = MakeControl(0, WC_BUTTONW, caption, kTabStop | BS_RADIOBUTTON, r, parent, c.id());
            break;
        case Kind::Label: {
            // Sized to its text, as a substitute font may run wider.
            SIZE extent = TextExtent(parent, caption);
            h = MakeControl(0, WC_STATICW, caption, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                            {r.left, r.top, std::max<int>(r.width, extent.cx), std::max<int>(r.height, extent.cy)},
                            parent, c.id());
            break;
        }
        case Kind::Memo: {
            std::string joined;
            for (const std::string& line : static_cast<Memo&>(c).lines())
                joined += (joined.empty() ? "" : "\r\n") + line;
            h = MakeControl(WS_EX_CLIENTEDGE, WC_EDITW, os::WideFrom932(joined),
                            kTabStop | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL, r,
                            parent, c.id());
            ::SetWindowSubclass(h, ReadOnlyMemoProc, 0, 0);
            break;
        }
        case Kind::Edit:
            h = MakeControl(WS_EX_CLIENTEDGE, WC_EDITW, L"", kTabStop | ES_AUTOHSCROLL, r, parent, c.id());
            // Number fields: an input method left on would turn digits full-width.
            ::ImmAssociateContextEx(h, nullptr, 0);
            b.hwnd = h;
            AttachTextField(b, h);
            break;
        case Kind::ComboBox: {
            auto& combo = static_cast<ComboBox&>(c);
            // Lines and the closed box grow with a substitute font taller
            // than the one the layout was drawn for, so no text is cut.
            TEXTMETRICW tm{};
            HDC dc = ::GetDC(parent);
            HGDIOBJ old = ::SelectObject(dc, UiFont());
            ::GetTextMetricsW(dc, &tm);
            ::SelectObject(dc, old);
            ::ReleaseDC(parent, dc);
            const int line = std::max<int>(combo.itemHeight, tm.tmHeight);
            const int closed = r.height + (line - combo.itemHeight);
            h = MakeControl(0, WC_COMBOBOXW, L"", kTabStop | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                            {r.left, r.top, r.width, closed + combo.visibleLines * line + 2}, parent, c.id());
            NameAfterPrecedingButton(h);
            b.hwnd = h;
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            if (::GetComboBoxInfo(h, &info)) {
                AttachTextField(b, info.hwndItem);
                b.list = info.hwndList;
            }
            ::SendMessageW(h, CB_SETITEMHEIGHT, 0, line);
            ::SendMessageW(h, CB_SETMINVISIBLE, static_cast<WPARAM>(combo.visibleLines), 0);
            RECT now;
            ::GetWindowRect(h, &now);
            auto field = static_cast<int>(::SendMessageW(h, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
            int excess = (now.bottom - now.top) - closed;
            if (excess != 0 && field - excess > 0)
                ::SendMessageW(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field - excess);
            break;
        }
        case Kind::ListBox:
            h = MakeControl(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                            kTabStop | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, r, parent, c.id());
            NameAfterLabelAbove(h, r);
            break;
        case Kind::PageControl: {
            h = MakeControl(0, WC_TABCONTROLW, L"", kTabStop, r, parent, c.id());
            auto& pages = static_cast<PageControl&>(c);
            RECT display{0, 0, r.width, r.height};
            TabCtrl_AdjustRect(h, FALSE, &display);
            // The pages stand beside the tab control, after it in the dialog
            // manager's order; the tab control leaves their area to them.
            HRGN frame = ::CreateRectRgn(0, 0, r.width, r.height);
            HRGN inside = ::CreateRectRgnIndirect(&display);
            ::CombineRgn(frame, frame, inside, RGN_DIFF);
            ::DeleteObject(inside);
            ::SetWindowRgn(h, frame, FALSE);
            b.hwnd = h;
            for (Control* sheet : pages.children()) {
                std::wstring text = os::WideFrom932(sheet->caption());
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = text.data();
                TabCtrl_InsertItem(h, TabCtrl_GetItemCount(h), &item);
                sheet->SetBounds({r.left + display.left, r.top + display.top, display.right - display.left,
                                  display.bottom - display.top});
                b.parts.push_back(Create(*sheet, parent, color).hwnd);
            }
            ShowActivePage(b);
            break;
        }
    }
    b.hwnd = h;
    c.peer = this;
    Update(c, kItems | kItemIndex | kText | kChecked);
    return b;
}

DialogWindow::Bound* DialogWindow::Find(const Control& c) {
    for (auto& b : bound_)
        if (b->model == &c) return b.get();
    return nullptr;
}

DialogWindow::Bound* DialogWindow::FindWindow(HWND h) {
    for (auto& b : bound_)
        if (b->hwnd == h) return b.get();
    return nullptr;
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

void DialogWindow::FocusControl(HWND target) {
    if (target) ::SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void DialogWindow::Later(std::function<bool()> step) {
    later_.push_back(std::move(step));
    if (later_.size() == 1) ::PostMessageW(hwnd, kLaterMessage, 0, 0);
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
            Bound* b = FindWindow(hdr->hwndFrom);
            if (hdr->code != TCN_SELCHANGE || !b || b->model->kind() != Kind::PageControl) return false;
            static_cast<PageControl&>(*b->model).UserSelectPage(TabCtrl_GetCurSel(b->hwnd));
            return true;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: {
            Bound* b = FindWindow(dialog);
            result =
                reinterpret_cast<INT_PTR>(ThemeColors(reinterpret_cast<HDC>(wp), b ? b->color : RGB(255, 255, 255)));
            return true;
        }
        case WM_PAINT: {
            Bound* b = FindWindow(dialog);
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
                for (DialogWindow* d : gDialogs) {
                    if (d->owner_ != hwnd || !d->inModal_) continue;
                    ::ShowWindow(d->hwnd, ::IsIconic(d->hwnd) ? SW_RESTORE : SW_SHOW);
                    ::SetForegroundWindow(d->hwnd);
                    d->ownerMinimized_ = false;
                }
            }
            return true;
        case WM_TIMER:
            if (wp >= 1 && wp <= timers_.size()) static_cast<WinTimer&>(*timers_[wp - 1]).Tick();
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
            if (dialog == hwnd) ThemeChanged(hwnd, msg);
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
    Bound* b = from ? FindWindow(from) : nullptr;
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
    auto d = std::find_if(gDialogs.begin(), gDialogs.end(), [root](DialogWindow* w) { return w->hwnd == root; });
    if (!root || d == gDialogs.end()) return false;
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
