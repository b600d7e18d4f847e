// The form's window: creation of its control windows, the form's own
// messages, and the modal loop.
#include "ui/Form_win.h"

// after windows.h, which it needs
#include <commctrl.h>

#include "ui/Container_win.h"
#include "ui/StayOnTop_win.h"
#include "ui/Theme_win.h"

namespace ui {

namespace {

const wchar_t kFormClass[] = L"K307Form";
std::vector<FormWindow*> gForms;

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr UINT kLaterMessage = WM_APP + 1;
static_assert(kEnterCommand == IDOK && kEscapeCommand == IDCANCEL);

DWORD FormExStyle(const Form& form) {
    return WS_EX_CONTROLPARENT | (form.stayOnTop() ? WS_EX_TOPMOST : 0);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        static_cast<WinPeer*>(cs->lpCreateParams)->Bind(hwnd);
    }
    // Every window of this class is a FormWindow.
    auto* self = static_cast<FormWindow*>(WinPeer::FromHwnd(hwnd));
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    return self->HandleMessage(msg, wp, lp);
}

}  // namespace

void RegisterWindowClasses(HINSTANCE instance) {
    SetProgramInstance(instance);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    wc.lpszClassName = kFormClass;
    ::RegisterClassExW(&wc);
    RegisterContainerClass(instance);
}

FormWindow* FormWindow::ForRoot(HWND root) {
    for (FormWindow* f : gForms)
        if (f->hwnd == root) return f;
    return nullptr;
}

std::vector<HWND> FormWindow::OwnedBy(HWND owner) {
    std::vector<HWND> owned;
    for (FormWindow* f : gForms)
        if (::GetWindow(f->hwnd, GW_OWNER) == owner) owned.push_back(f->hwnd);
    return owned;
}

void FormWindow::MeasureFrame(Form& form) {
    RECT r{0, 0, form.clientWidth(), form.clientHeight()};
    ::AdjustWindowRectEx(&r, kFormStyle, FALSE, FormExStyle(form));
    form.frameWidth = (r.right - r.left) - form.clientWidth();
    form.frameHeight = (r.bottom - r.top) - form.clientHeight();
}

void FormWindow::Later(std::function<bool()> step) {
    later_.push_back(std::move(step));
    if (later_.size() == 1) ::PostMessageW(hwnd, kLaterMessage, 0, 0);
}

FormWindow::FormWindow(Form& form, HWND owner, bool mainWindow) : form_(form), owner_(owner), main_(mainWindow) {
    const DWORD style = kFormStyle;
    const DWORD exStyle = FormExStyle(form);
    MeasureFrame(form);
    backgroundColor = ToColorRef(form.color);
    hwnd =
        ::CreateWindowExW(exStyle, kFormClass, W(form.caption()).c_str(), style, form.left(), form.top(), form.width(),
                          form.height(), owner, nullptr, ProgramInstance(), static_cast<WinPeer*>(this));
    // The frame as this window system really draws it.
    RECT outer, client;
    ::GetWindowRect(hwnd, &outer);
    ::GetClientRect(hwnd, &client);
    int fw = (outer.right - outer.left) - client.right, fh = (outer.bottom - outer.top) - client.bottom;
    if (fw != form.frameWidth || fh != form.frameHeight) {
        form.frameWidth = fw;
        form.frameHeight = fh;
        PlaceWindow();
    }
    // An owned window inherits the stay-on-top state of a topmost owner.
    if (!form.stayOnTop() && (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST))
        SetTopMost(hwnd, false, OwnedBy(hwnd));
    CreateChildren(form, hwnd);
    defaultId_ = FormDefaultId();
    form.peer = this;
    gForms.push_back(this);
}

FormWindow::~FormWindow() {
    form_.peer = nullptr;
    std::erase(gForms, this);
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

void FormWindow::CreateChildren(Container& container, HWND parent) {
    for (Control* c : container.children()) {
        std::unique_ptr<ChildPeer> peer = c->MakePeer();
        if (!peer || !peer->Open(parent, *this)) continue;
        ChildPeer& made = *peer;
        peers_.push_back(std::move(peer));
        if (Container* inner = c->asContainer()) CreateChildren(*inner, made.hwnd);
        made.ChildrenCreated();
    }
}

void FormWindow::PlaceWindow() {
    ::SetWindowPos(hwnd, nullptr, form_.storedLeft(), form_.storedTop(), form_.width(), form_.height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::Update(unsigned changes) {
    if (changes & kBounds) {
        PlaceWindow();
    } else if (changes & kSize) {
        // A new size only: the window stays wherever the user has put it.
        if (::IsIconic(hwnd)) {
            WINDOWPLACEMENT wp{};
            wp.length = sizeof wp;
            if (::GetWindowPlacement(hwnd, &wp)) {
                wp.rcNormalPosition.right = wp.rcNormalPosition.left + form_.width();
                wp.rcNormalPosition.bottom = wp.rcNormalPosition.top + form_.height();
                ::SetWindowPlacement(hwnd, &wp);
            }
        } else {
            ::SetWindowPos(hwnd, nullptr, 0, 0, form_.width(), form_.height(),
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (changes & kTopMost) {
        SetTopMost(hwnd, form_.stayOnTop(), OwnedBy(hwnd));
    }
}

int FormWindow::FormDefaultId() {
    Button* def = DefaultButton(form_);
    return def ? def->id() : 0;
}

void FormWindow::SetDefaultId(int id) {
    if (id == defaultId_) return;
    // The default button wears the thick border.
    auto restyle = [this](int buttonId, LONG type) {
        Button* b = buttonId ? CommandButton(form_, buttonId) : nullptr;
        HWND h = b && b->peer ? static_cast<ChildPeer*>(b->peer)->hwnd : nullptr;
        if (!h) return;
        LONG style = static_cast<LONG>(::GetWindowLongPtrW(h, GWL_STYLE));
        ::SendMessageW(h, BM_SETSTYLE, static_cast<WPARAM>((style & ~BS_TYPEMASK) | type), TRUE);
    };
    restyle(defaultId_, BS_PUSHBUTTON);
    defaultId_ = id;
    restyle(defaultId_, BS_DEFPUSHBUTTON);
}

void FormWindow::ReadPosition(int& left, int& top) {
    if (!::IsWindow(hwnd)) return;
    if (::IsIconic(hwnd)) {
        // A minimized window parks far away; what counts is where it returns.
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        if (!::GetWindowPlacement(hwnd, &wp)) return;
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        HMONITOR mon = ::MonitorFromRect(&wp.rcNormalPosition, MONITOR_DEFAULTTONEAREST);
        ::GetMonitorInfoW(mon, &mi);
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

void FormWindow::RunModal() {
    inModal_ = true;
    endModal_ = false;
    HWND owner = owner_;
    if (owner) ::EnableWindow(owner, FALSE);
    // Closed while minimized, it must not come back as an icon with the
    // palette disabled behind it.
    ::ShowWindow(hwnd, ::IsIconic(hwnd) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(hwnd);
    HWND first = ::GetNextDlgTabItem(hwnd, nullptr, FALSE);
    if (first) ::SetFocus(first);
    MSG msg;
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
    if (owner) ::EnableWindow(owner, TRUE);
    ::ShowWindow(hwnd, SW_HIDE);
    if (owner) ::SetActiveWindow(owner);
    inModal_ = false;
    if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
}

void FormWindow::Destroy() {
    if (inModal_) {
        endModal_ = true;
        return;
    }
    if (main_) {
        ::DestroyWindow(hwnd);
    } else {
        ::ShowWindow(hwnd, SW_HIDE);
    }
}

bool FormWindow::PreTranslate(MSG& msg) {
    FormWindow* target = ForRoot(::GetAncestor(msg.hwnd, GA_ROOT));
    if (!target) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam >= VK_LEFT && msg.wParam <= VK_DOWN) {
        // Within a radio group the arrows keep to its items on every
        // Windows, whatever the dialog manager makes of the frame after them.
        for (auto& p : target->peers_)
            if (p->OnArrowKey(msg.hwnd, msg.wParam)) return true;
    }
    if (msg.message == WM_SYSCHAR) {
        for (auto& p : target->peers_)
            if (p->OnAccessKey(static_cast<wchar_t>(msg.wParam))) return true;
    }
    return ::IsDialogMessageW(target->hwnd, &msg) != 0;
}

LRESULT FormWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (RouteChildMessage(hwnd, msg, wp, lp, result)) {
        if (msg != WM_COMMAND || lp != 0) return result;
    }
    switch (msg) {
        case WM_COMMAND: {
            // Enter, Escape and access keys arrive from the dialog manager
            // with an ID only (IDOK, IDCANCEL or the button's own).
            if (lp != 0) return 0;
            if (Button* target = CommandButton(form_, LOWORD(wp))) target->Click();
            return 0;
        }
        case WM_NEXTDLGCTL: {
            // What a dialog's own window does; forms are plain windows.
            HWND next = LOWORD(lp) ? reinterpret_cast<HWND>(wp)
                                   : ::GetNextDlgTabItem(hwnd, ::GetFocus(), wp != 0 ? TRUE : FALSE);
            if (next && ::IsChild(hwnd, next)) {
                if (::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) ::SendMessageW(next, EM_SETSEL, 0, -1);
                ::SetFocus(next);
            }
            return 0;
        }
        // The dialog manager makes a focused push button the default and
        // asks which one is: the answer must follow, or Enter on a focused
        // button would press another.
        case DM_GETDEFID:
            return defaultId_ ? MAKELRESULT(defaultId_, DC_HASDEFID) : 0;
        case DM_SETDEFID:
            SetDefaultId(static_cast<int>(wp));
            return TRUE;
        case WM_ERASEBKGND: {
            RECT r;
            ::GetClientRect(hwnd, &r);
            ::FillRect(reinterpret_cast<HDC>(wp), &r, BrushFor(ThemeBackground(backgroundColor)));
            return 1;
        }
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            ThemeChanged(hwnd, msg);
            break;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND f = ::GetFocus();
                if (f && ::IsChild(hwnd, f)) lastFocus_ = f;
            } else if (lastFocus_ && ::IsWindow(lastFocus_)) {
                ::SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_CLOSE:
            // The title-bar close box, Alt+F4, the system menu.
            if (!::IsWindowEnabled(hwnd)) return 0;
            form_.Close();
            return 0;
        case WM_TIMER:
            if (onTimer) onTimer(static_cast<UINT_PTR>(wp));
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wp && onEndSession) onEndSession();
            return 0;
        case kLaterMessage:
            if (!later_.empty()) {
                // A step may queue others; it stays first until it is done.
                if (later_.front()()) later_.pop_front();
                if (!later_.empty()) ::PostMessageW(hwnd, kLaterMessage, 0, 0);
            }
            return 0;
        case WM_DESTROY:
            if (main_) ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace ui
