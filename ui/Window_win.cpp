// The top-level windows and the containers (panels, tab sheets, radio groups)
// that hold the controls, and the message loop that serves them.
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <imm.h>

#include <algorithm>

#include "os/Cp932_win.h"
#include "ui/Accessibility_win.h"
#include "ui/Peers_win.h"
#include "ui/Theme_win.h"

namespace ui {

namespace {

const wchar_t kFormClass[] = L"K307Form";
const wchar_t kContainerClass[] = L"K307Container";
HINSTANCE gInstance = nullptr;
std::vector<FormWindow*> gForms;

std::wstring W(std::string_view cp932) {
    return os::WideFrom932(cp932);
}

COLORREF ToColorRef(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Per colour, one brush for the life of the program.
HBRUSH BrushFor(COLORREF c) {
    static std::vector<std::pair<COLORREF, HBRUSH>> brushes;
    for (auto& [color, brush] : brushes)
        if (color == c) return brush;
    HBRUSH b = ::CreateSolidBrush(c);
    brushes.emplace_back(c, b);
    return b;
}

LRESULT CtlColor(HDC dc, HWND child, HWND parent) {
    WinPeer* p = WinPeer::FromHwnd(child);
    COLORREF c = p ? p->backgroundColor : RGB(255, 255, 255);
    if (!p) {
        if (WinPeer* pp = WinPeer::FromHwnd(parent)) c = pp->backgroundColor;
    }
    ThemeText(dc, c);
    c = ThemeBackground(c);
    ::SetBkColor(dc, c);
    ::SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(BrushFor(c));
}

// Messages every window that holds controls handles alike: notifications go
// to the peer of the child that sent them.
bool RouteChildMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_COMMAND: {
            HWND child = reinterpret_cast<HWND>(lp);
            if (!child) return false;
            WinPeer* peer = WinPeer::FromHwnd(child);
            if (peer && peer->hwnd == child) {
                peer->OnCommand(HIWORD(wp));
            } else if (auto* group = dynamic_cast<RadioGroupPeer*>(WinPeer::FromHwnd(hwnd))) {
                // An item of a radio group: the group is this container.
                if (HIWORD(wp) == BN_CLICKED) {
                    for (std::size_t k = 0; k < group->items.size(); ++k)
                        if (group->items[k] == child) group->ItemClicked(static_cast<int>(k));
                }
            } else if (peer) {
                peer->OnCommand(HIWORD(wp));  // the edit part of a combo box
            }
            result = 0;
            return true;
        }
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (WinPeer* peer = WinPeer::FromHwnd(hdr->hwndFrom)) return peer->OnNotify(hdr, result);
            return false;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            result = CtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), hwnd);
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (RouteChildMessage(hwnd, msg, wp, lp, result)) return result;
    switch (msg) {
        // What a control sends its parent to reach the dialog it sits in
        // (a multi-line edit's Tab, Enter and Escape, the dialog manager's
        // commands) belongs to the form: a container is no dialog, and the
        // default handling of WM_CLOSE would destroy it with its controls.
        case WM_CLOSE:
            ::SendMessageW(::GetAncestor(hwnd, GA_ROOT), WM_COMMAND, IDCANCEL, 0);
            return 0;
        case WM_COMMAND:  // lParam 0: from the dialog manager, not a child
        case WM_NEXTDLGCTL:
        case DM_GETDEFID:
        case DM_SETDEFID:
            return ::SendMessageW(::GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT: {
            RECT r;
            ::GetClientRect(hwnd, &r);
            WinPeer* p = WinPeer::FromHwnd(hwnd);
            ::FillRect(reinterpret_cast<HDC>(wp), &r,
                       BrushFor(ThemeBackground(p ? p->backgroundColor : RGB(255, 255, 255))));
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd, &ps);
            auto* p = dynamic_cast<PlainPeer*>(WinPeer::FromHwnd(hwnd));
            if (p && p->control.kind() == Kind::Panel && static_cast<Container&>(p->control).raisedBevel) {
                RECT r;
                ::GetClientRect(hwnd, &r);
                ::DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
            }
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<FormWindow*>(cs->lpCreateParams)->Attach(hwnd);
    }
    FormWindow* self = FormWindow::FromHwnd(hwnd);
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    return self->HandleMessage(msg, wp, lp);
}

// A multi-line edit asks for every key, so Tab, Enter and Escape would stay
// in it. Read-only, it has no use for them: the dialog manager gets them and
// they move the focus, press OK and cancel, as everywhere in the dialog.
LRESULT CALLBACK ReadOnlyMemoSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
        case WM_GETDLGCODE:
            return ::DefSubclassProc(hwnd, msg, wp, lp) & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, ReadOnlyMemoSubclass, 1);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

// The installed Japanese gothic that comes closest to "ＭＳ ゴシック".
struct FontSearch {
    std::wstring best;
    int score = -1;
};

int CALLBACK ScoreFont(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM param) {
    auto* s = reinterpret_cast<FontSearch*>(param);
    std::wstring name = lf->lfFaceName;
    if (name.empty() || name[0] == L'@') return 1;  // vertical variants
    int score = 1;
    if (name == L"ＭＳ ゴシック" || name == L"MS Gothic")
        score = 100;
    else if (name.find(L"Gothic") != std::wstring::npos || name.find(L"ゴシック") != std::wstring::npos)
        score = (lf->lfPitchAndFamily & 0x3) == FIXED_PITCH ? 60 : 50;
    else if (name.find(L"Sans") != std::wstring::npos && name.find(L"CJK") != std::wstring::npos)
        score = 40;
    if (score > s->score) {
        s->score = score;
        s->best = name;
    }
    return 1;
}

// Sets or clears the stay-on-top state of a top-level window. Wine keeps a
// window that owns others from becoming topmost (it files it under its owned
// windows and takes their state), and an owned window from leaving the state
// it inherited from a topmost owner; with the ownership set aside for the
// call both work, here as on Windows, and the owned windows stay as they are.
// Only the program's own forms are set aside: the thread also owns windows
// it did not make (an input method's hidden ones), which are not ours to touch.
void SetTopMost(HWND hwnd, bool on) {
    std::vector<HWND> owned;
    for (FormWindow* f : gForms)
        if (::GetWindow(f->hwnd(), GW_OWNER) == hwnd) owned.push_back(f->hwnd());
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    for (HWND w : owned) ::SetWindowLongPtrW(w, GWLP_HWNDPARENT, 0);
    if (owner) ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, 0);
    ::SetWindowPos(hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (owner) ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    for (HWND w : owned) ::SetWindowLongPtrW(w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hwnd));
}

}  // namespace

HFONT UiFont() {
    static HFONT font = [] {
        LOGFONTW lf{};
        lf.lfHeight = -13;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = SHIFTJIS_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        // Named faces first: a Japanese Windows has the first, and the
        // common free gothics stand in for it elsewhere (Wine has none of
        // its own). Under Wine enumerating every Shift-JIS font added about
        // 10 ms to the start, a face asked for by name 1 to 4 ms, so only
        // where none of these is installed is the closest one sought.
        const std::wstring named = L"ＭＳ ゴシック";
        HDC dc = ::GetDC(nullptr);
        for (const wchar_t* candidate : {L"ＭＳ ゴシック", L"IPAGothic", L"VL Gothic", L"TakaoGothic"}) {
            std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), L'\0');
            std::wstring(candidate).copy(lf.lfFaceName, LF_FACESIZE - 1);
            HFONT f = ::CreateFontIndirectW(&lf);
            HGDIOBJ old = ::SelectObject(dc, f);
            wchar_t face[LF_FACESIZE] = L"";
            ::GetTextFaceW(dc, LF_FACESIZE, face);
            ::SelectObject(dc, old);
            // An English Windows names the first face in English.
            if (std::wstring(face) == candidate || (candidate == named && std::wstring(L"MS Gothic") == face)) {
                ::ReleaseDC(nullptr, dc);
                return f;
            }
            ::DeleteObject(f);
        }
        FontSearch search;
        LOGFONTW query{};
        query.lfCharSet = SHIFTJIS_CHARSET;
        ::EnumFontFamiliesExW(dc, &query, ScoreFont, reinterpret_cast<LPARAM>(&search), 0);
        ::ReleaseDC(nullptr, dc);
        LOGFONTW found = lf;
        std::wstring best = search.best.empty() ? named : search.best;
        std::fill(std::begin(found.lfFaceName), std::end(found.lfFaceName), L'\0');
        best.copy(found.lfFaceName, LF_FACESIZE - 1);
        return ::CreateFontIndirectW(&found);
    }();
    return font;
}

WinPeer* WinPeer::FromHwnd(HWND h) {
    if (!h) return nullptr;
    wchar_t cls[32];
    if (::GetClassNameW(h, cls, 32) && ::lstrcmpW(cls, kFormClass) == 0) return nullptr;
    return reinterpret_cast<WinPeer*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
}

void RegisterWindowClasses(HINSTANCE instance) {
    gInstance = instance;
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
    WNDCLASSEXW cc{};
    cc.cbSize = sizeof cc;
    cc.lpfnWndProc = ContainerProc;
    cc.hInstance = instance;
    cc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cc.lpszClassName = kContainerClass;
    ::RegisterClassExW(&cc);
}

//--- FormWindow

namespace {
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr UINT kLaterMessage = WM_APP + 1;

DWORD FormExStyle(const Form& form) {
    return WS_EX_CONTROLPARENT | (form.stayOnTop() ? WS_EX_TOPMOST : 0);
}
}  // namespace

void FormWindow::MeasureFrame(Form& form) {
    RECT r{0, 0, form.ClientWidth(), form.ClientHeight()};
    ::AdjustWindowRectEx(&r, kFormStyle, FALSE, FormExStyle(form));
    form.frameWidth = (r.right - r.left) - form.ClientWidth();
    form.frameHeight = (r.bottom - r.top) - form.ClientHeight();
}

void FormWindow::Later(std::function<bool()> step) {
    later_.push_back(std::move(step));
    if (later_.size() == 1) ::PostMessageW(hwnd_, kLaterMessage, 0, 0);
}

FormWindow::FormWindow(Form& form, HWND owner, bool mainWindow) : form_(form), owner_(owner), main_(mainWindow) {
    const DWORD style = kFormStyle;
    const DWORD exStyle = FormExStyle(form);
    MeasureFrame(form);
    brush_ = BrushFor(ToColorRef(form.color));
    hwnd_ = ::CreateWindowExW(exStyle, kFormClass, W(form.caption()).c_str(), style, form.Left(), form.Top(),
                              form.Width(), form.Height(), owner, nullptr, gInstance, this);
    // The frame as this window system really draws it.
    RECT outer, client;
    ::GetWindowRect(hwnd_, &outer);
    ::GetClientRect(hwnd_, &client);
    int fw = (outer.right - outer.left) - client.right, fh = (outer.bottom - outer.top) - client.bottom;
    if (fw != form.frameWidth || fh != form.frameHeight) {
        form.frameWidth = fw;
        form.frameHeight = fh;
        PlaceWindow();
    }
    // An owned window inherits the stay-on-top state of a topmost owner.
    if (!form.stayOnTop() && (::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST)) SetTopMost(hwnd_, false);
    CreateChildren(form, hwnd_);
    defaultId_ = FormDefaultId();
    form.peer = this;
    gForms.push_back(this);
}

FormWindow::~FormWindow() {
    form_.peer = nullptr;
    for (auto& p : peers_) {
        // Models outlive their windows only at program end; detach them.
        (void)p;
    }
    std::erase(gForms, this);
    if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

FormWindow* FormWindow::FromHwnd(HWND h) {
    return reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
}

void FormWindow::Show(bool activate) {
    ::ShowWindow(hwnd_, activate ? SW_SHOW : SW_SHOWNA);
    ::UpdateWindow(hwnd_);
}

void FormWindow::Activate() {
    ::SetForegroundWindow(hwnd_);
}

WinPeer* FormWindow::CreatePeer(Control& c, HWND parent) {
    const Rect& b = c.bounds();
    std::wstring caption = W(c.caption());
    auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.Id()));
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    WinPeer* peer = nullptr;
    HWND h = nullptr;
    COLORREF bg = RGB(255, 255, 255);
    if (WinPeer* pp = WinPeer::FromHwnd(parent))
        bg = pp->backgroundColor;
    else
        bg = ToColorRef(form_.color);
    switch (c.kind()) {
        case Kind::Panel:
        case Kind::TabSheet: {
            auto& cont = static_cast<Container&>(c);
            auto* p = new PlainPeer(c);
            peer = p;
            Rect r = b;
            if (c.kind() == Kind::TabSheet) {
                RECT display;
                ::GetClientRect(parent, &display);
                TabCtrl_AdjustRect(parent, FALSE, &display);
                r = {display.left, display.top, display.right - display.left, display.bottom - display.top};
                c.SetBounds(r);
            }
            h = ::CreateWindowExW(WS_EX_CONTROLPARENT, kContainerClass, L"", (child & ~WS_VISIBLE) | WS_CLIPCHILDREN,
                                  r.left, r.top, r.width, r.height, parent, id, gInstance, nullptr);
            bg = ToColorRef(cont.color);
            break;
        }
        case Kind::PageControl: {
            auto* p = new PagePeer(static_cast<PageControl&>(c));
            peer = p;
            h = ::CreateWindowExW(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                                  child | WS_TABSTOP | WS_GROUP | WS_CLIPCHILDREN, b.left, b.top, b.width, b.height,
                                  parent, id, gInstance, nullptr);
            ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
            int i = 0;
            for (Control* sheet : p->pages.children()) {
                std::wstring text = W(sheet->caption());
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = text.data();
                TabCtrl_InsertItem(h, i++, &item);
            }
            break;
        }
        case Kind::Button: {
            auto& btn = static_cast<Button&>(c);
            peer = new ButtonPeer(btn);
            // BS_NOTIFY: focus changes reach the peer, which makes the
            // focused button the default, as the dialog manager expects.
            DWORD style =
                child | WS_TABSTOP | WS_GROUP | BS_NOTIFY | (btn.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            h = ::CreateWindowExW(0, WC_BUTTONW, caption.c_str(), style, b.left, b.top, b.width, b.height, parent, id,
                                  gInstance, nullptr);
            break;
        }
        case Kind::RadioButton: {
            auto& radio = static_cast<RadioButton&>(c);
            peer = new RadioPeer(radio);
            h = ::CreateWindowExW(0, WC_BUTTONW, caption.c_str(), child | WS_TABSTOP | WS_GROUP | BS_RADIOBUTTON,
                                  b.left, b.top, b.width, b.height, parent, id, gInstance, nullptr);
            ::SendMessageW(h, BM_SETCHECK, radio.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        }
        case Kind::ComboBox: {
            auto& combo = static_cast<ComboBox&>(c);
            peer = new ComboPeer(combo);
            int dropHeight = b.height + combo.visibleLines * combo.itemHeight + 2;
            h = ::CreateWindowExW(0, WC_COMBOBOXW, L"",
                                  child | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, b.left,
                                  b.top, b.width, dropHeight, parent, id, gInstance, nullptr);
            NameAfterPrecedingButton(h);
            break;
        }
        case Kind::Edit:
            peer = new EditPeer(static_cast<Edit&>(c));
            h = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"", child | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL,
                                  b.left, b.top, b.width, b.height, parent, id, gInstance, nullptr);
            // Number fields: an input method left on would turn digits full-width.
            ::ImmAssociateContextEx(h, nullptr, 0);
            break;
        case Kind::ListBox:
            peer = new ListBoxPeer(static_cast<ListBox&>(c));
            h = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                                  child | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                  b.left, b.top, b.width, b.height, parent, id, gInstance, nullptr);
            NameAfterLabelAbove(h);
            break;
        case Kind::Label: {
            peer = new PlainPeer(c);
            // Labels size themselves to their text, as a substitute font may
            // run wider than the one the layout was drawn for.
            SIZE extent{};
            HDC dc = ::GetDC(parent);
            HGDIOBJ old = ::SelectObject(dc, UiFont());
            ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
            ::SelectObject(dc, old);
            ::ReleaseDC(parent, dc);
            int width = extent.cx > b.width ? extent.cx : b.width;
            int height = extent.cy > b.height ? extent.cy : b.height;
            h = ::CreateWindowExW(0, WC_STATICW, caption.c_str(), child | SS_LEFTNOWORDWRAP | SS_NOPREFIX, b.left,
                                  b.top, width, height, parent, id, gInstance, nullptr);
            break;
        }
        case Kind::Memo: {
            auto& memo = static_cast<Memo&>(c);
            peer = new PlainPeer(c);
            std::string joined;
            for (std::size_t i = 0; i < memo.lines().size(); ++i) {
                if (i) joined += "\r\n";
                joined += memo.lines()[i];
            }
            h = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, W(joined).c_str(),
                                  child | WS_TABSTOP | WS_GROUP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                      ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                                  b.left, b.top, b.width, b.height, parent, id, gInstance, nullptr);
            if (h) ::SetWindowSubclass(h, ReadOnlyMemoSubclass, 1, 0);
            break;
        }
        case Kind::RadioGroup: {
            auto& group = static_cast<RadioGroup&>(c);
            auto* p = new RadioGroupPeer(group);
            peer = p;
            h = ::CreateWindowExW(WS_EX_CONTROLPARENT, kContainerClass, L"", child, b.left, b.top, b.width, b.height,
                                  parent, id, gInstance, nullptr);
            HWND box = ::CreateWindowExW(0, WC_BUTTONW, caption.c_str(), WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX,
                                         0, 0, b.width, b.height, h, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                                         gInstance, nullptr);
            ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
            ::SetWindowLongPtrW(box, GWLP_USERDATA, 0);
            for (int k = 0; k < static_cast<int>(group.items().size()); ++k) {
                Rect ib = group.ItemBounds(k);
                DWORD style =
                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_RADIOBUTTON | (k == 0 ? WS_GROUP | WS_TABSTOP : 0);
                HWND item = ::CreateWindowExW(0, WC_BUTTONW, W(group.items()[static_cast<std::size_t>(k)]).c_str(),
                                              style, ib.left, ib.top, ib.width, ib.height, h,
                                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(RadioItemId(c.number(), k))),
                                              gInstance, nullptr);
                ::SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
                p->items.push_back(item);
            }
            // Children created first stack on top; the frame goes beneath the
            // items, and after them in the dialog manager's order, where its
            // WS_GROUP ends their group: the arrow keys cycle through the
            // items and never step onto the frame.
            ::SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        }
        case Kind::Form:
            return nullptr;
    }
    if (!h) {
        delete peer;
        return nullptr;
    }
    peer->hwnd = h;
    peer->backgroundColor = bg;
    ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
    peers_.emplace_back(peer);
    c.peer = peer;
    if (auto* combo = dynamic_cast<ComboPeer*>(peer)) {
        combo->later = [this](std::function<bool()> step) { Later(std::move(step)); };
        combo->Created();
    }
    if (auto* edit = dynamic_cast<EditPeer*>(peer)) edit->Created();
    if (auto* group = dynamic_cast<RadioGroupPeer*>(peer)) {
        for (HWND item : group->items) ::SetWindowLongPtrW(item, GWLP_USERDATA, 0);
        group->Update(kItemIndex);
    }
    return peer;
}

void FormWindow::CreateChildren(Container& container, HWND parent) {
    for (Control* c : container.children()) {
        WinPeer* peer = CreatePeer(*c, parent);
        if (!peer) continue;
        if (c->kind() == Kind::Panel || c->kind() == Kind::TabSheet || c->kind() == Kind::PageControl) {
            CreateChildren(static_cast<Container&>(*c), peer->hwnd);
        }
        if (auto* pages = dynamic_cast<PagePeer*>(peer)) {
            for (Control* sheet : pages->pages.children())
                if (sheet->peer) pages->sheets.push_back(static_cast<WinPeer*>(sheet->peer)->hwnd);
            TabCtrl_SetCurSel(peer->hwnd, pages->pages.activePage());
            pages->ShowActive();
        }
        if (c->kind() == Kind::Panel) ::ShowWindow(peer->hwnd, SW_SHOW);
    }
}

// The first control in tab order, panels and pages included, that matches.
Control* FormWindow::Find(Container& c, const std::function<bool(const Control&)>& match) {
    for (Control* child : c.children()) {
        if (match(*child)) return child;
        if (child->kind() == Kind::Panel || child->kind() == Kind::TabSheet || child->kind() == Kind::PageControl) {
            if (Control* found = Find(static_cast<Container&>(*child), match)) return found;
        }
    }
    return nullptr;
}

int FormWindow::FormDefaultId() {
    Control* def = Find(
        form_, [](const Control& c) { return c.kind() == Kind::Button && static_cast<const Button&>(c).isDefault; });
    return def ? def->Id() : 0;
}

void FormWindow::SetDefaultId(int id) {
    if (id == defaultId_) return;
    // The default button wears the thick border.
    auto restyle = [this](int buttonId, LONG type) {
        Control* c =
            Find(form_, [buttonId](const Control& b) { return b.kind() == Kind::Button && b.Id() == buttonId; });
        if (!c || !c->peer) return;
        HWND h = static_cast<WinPeer*>(c->peer)->hwnd;
        LONG style = static_cast<LONG>(::GetWindowLongPtrW(h, GWL_STYLE));
        ::SendMessageW(h, BM_SETSTYLE, static_cast<WPARAM>((style & ~BS_TYPEMASK) | type), TRUE);
    };
    restyle(defaultId_, BS_PUSHBUTTON);
    defaultId_ = id;
    restyle(defaultId_, BS_DEFPUSHBUTTON);
}

void FormWindow::PlaceWindow() {
    ::SetWindowPos(hwnd_, nullptr, form_.StoredLeft(), form_.StoredTop(), form_.Width(), form_.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::Update(unsigned changes) {
    if (changes & kBounds) {
        PlaceWindow();
    } else if (changes & kSize) {
        // A new size only: the window stays wherever the user has put it.
        if (::IsIconic(hwnd_)) {
            WINDOWPLACEMENT wp{};
            wp.length = sizeof wp;
            if (::GetWindowPlacement(hwnd_, &wp)) {
                wp.rcNormalPosition.right = wp.rcNormalPosition.left + form_.Width();
                wp.rcNormalPosition.bottom = wp.rcNormalPosition.top + form_.Height();
                ::SetWindowPlacement(hwnd_, &wp);
            }
        } else {
            ::SetWindowPos(hwnd_, nullptr, 0, 0, form_.Width(), form_.Height(),
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (changes & kTopMost) {
        SetTopMost(hwnd_, form_.stayOnTop());
    }
}

void FormWindow::ReadPosition(int& left, int& top) {
    if (!::IsWindow(hwnd_)) return;
    if (::IsIconic(hwnd_)) {
        // A minimized window parks far away; what counts is where it returns.
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        if (!::GetWindowPlacement(hwnd_, &wp)) return;
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
    if (::GetWindowRect(hwnd_, &r)) {
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
    ::ShowWindow(hwnd_, ::IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    HWND first = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE);
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
    ::ShowWindow(hwnd_, SW_HIDE);
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
        ::DestroyWindow(hwnd_);
    } else {
        ::ShowWindow(hwnd_, SW_HIDE);
    }
}

bool FormWindow::PreTranslate(MSG& msg) {
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    FormWindow* target = nullptr;
    for (FormWindow* f : gForms)
        if (f->hwnd_ == root) target = f;
    if (!target) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam >= VK_LEFT && msg.wParam <= VK_DOWN) {
        // Within a radio group the arrows keep to its items on every
        // Windows, whatever the dialog manager makes of the frame after them.
        for (auto& p : target->peers_) {
            if (auto* group = dynamic_cast<RadioGroupPeer*>(p.get()))
                if (group->ArrowKey(msg.hwnd, msg.wParam)) return true;
        }
    }
    if (msg.message == WM_SYSCHAR) {
        // Alt + a page's access key selects the page.
        for (auto& p : target->peers_) {
            if (auto* pages = dynamic_cast<PagePeer*>(p.get()))
                if (pages->SelectByAccessKey(static_cast<wchar_t>(msg.wParam))) return true;
        }
    }
    return ::IsDialogMessageW(target->hwnd_, &msg) != 0;
}

LRESULT FormWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (RouteChildMessage(hwnd_, msg, wp, lp, result)) {
        if (msg != WM_COMMAND || lp != 0) return result;
    }
    switch (msg) {
        case WM_COMMAND: {
            // Enter, Escape and access keys arrive from the dialog manager
            // with an ID only (IDOK, IDCANCEL or the button's own).
            if (lp != 0) return 0;
            int id = LOWORD(wp);
            auto isButton = [](const Control& c, bool Button::*flag) {
                return c.kind() == Kind::Button && static_cast<const Button&>(c).*flag;
            };
            Control* target = nullptr;
            if (id == IDOK)
                target = Find(form_, [&](const Control& c) { return isButton(c, &Button::isDefault); });
            else if (id == IDCANCEL)
                target = Find(form_, [&](const Control& c) { return isButton(c, &Button::isCancel); });
            else
                target = Find(form_, [id](const Control& c) { return c.Id() == id; });
            if (target && target->kind() == Kind::Button) static_cast<Button*>(target)->Click();
            return 0;
        }
        case WM_NEXTDLGCTL: {
            // What a dialog's own window does; forms are plain windows.
            HWND next = LOWORD(lp) ? reinterpret_cast<HWND>(wp)
                                   : ::GetNextDlgTabItem(hwnd_, ::GetFocus(), wp != 0 ? TRUE : FALSE);
            if (next && ::IsChild(hwnd_, next)) {
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
            ::GetClientRect(hwnd_, &r);
            ::FillRect(reinterpret_cast<HDC>(wp), &r, BrushFor(ThemeBackground(ToColorRef(form_.color))));
            return 1;
        }
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND f = ::GetFocus();
                if (f && ::IsChild(hwnd_, f)) lastFocus_ = f;
            } else if (lastFocus_ && ::IsWindow(lastFocus_)) {
                ::SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_CLOSE:
            // The title-bar close box, Alt+F4, the system menu.
            if (!::IsWindowEnabled(hwnd_)) return 0;
            form_.Close();
            return 0;
        case WM_TIMER:
            if (onTimer) onTimer(static_cast<UINT_PTR>(wp));
            return 0;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            ThemeChanged(hwnd_, msg);
            break;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wp && onEndSession) onEndSession();
            return 0;
        case kLaterMessage:
            if (!later_.empty()) {
                // A step may queue others; it stays first until it is done.
                if (later_.front()()) later_.pop_front();
                if (!later_.empty()) ::PostMessageW(hwnd_, kLaterMessage, 0, 0);
            }
            return 0;
        case WM_DESTROY:
            if (main_) ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

int RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        bool handled = false;
        for (FormWindow* f : gForms) {
            if (f->hwnd() == ::GetAncestor(msg.hwnd, GA_ROOT)) {
                handled = f->PreTranslate(msg);
                break;
            }
        }
        if (!handled) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace ui
