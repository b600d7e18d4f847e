// Making a form's dialogs and their controls, in pixels.
#include "ui/DialogWindow_win.h"

// after windows.h, which they need
#include <commctrl.h>
#include <imm.h>

#include <algorithm>

#include "os/Cp932_win.h"
#include "ui/Theme_win.h"

namespace ui {

namespace {

HINSTANCE gInstance = nullptr;

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kTabStop = kChild | WS_TABSTOP | WS_GROUP;

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

}  // namespace

WNDPROC Subclass(HWND h, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

void InitWindows(HINSTANCE instance) {
    gInstance = instance;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
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
    all_.push_back(this);
    hwnd = MakeDialog(owner, kFormStyle, FormExStyle(form), os::WideFrom932(form.caption()));
    if (!hwnd) return;
    dialogClassProc_ = Subclass(hwnd, AfterDialogManager);
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
    byId_[form.id()] = self.get();
    for (Control* c : form.children()) Create(*c, hwnd, self->color);
    ShowDefaultButton(nullptr);
    form.window = this;
}

DialogWindow::~DialogWindow() {
    for (auto& b : bound_) b->model->window = nullptr;
    for (Timer* t : timers_) t->window = nullptr;
    std::erase(all_, this);
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

DialogWindow::Bound& DialogWindow::Create(Control& c, HWND parent, COLORREF color) {
    Bound& b = *bound_.emplace_back(std::make_unique<Bound>());
    b.model = &c;
    b.color = color;
    for (int id : CommandIds(c)) byId_[id] = &b;
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
            // A group box paints its frame and caption only: the dialog
            // holding one must erase under it, so it may not clip it away.
            const DWORD clip = c.kind() == Kind::RadioGroup ? 0 : WS_CLIPCHILDREN;
            h = MakeDialog(parent, WS_CHILD | WS_CLIPSIBLINGS | clip | DS_CONTROL, WS_EX_CONTROLPARENT, L"");
            ::SetWindowLongPtrW(h, GWLP_ID, c.id());
            ::SetWindowPos(h, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
            if (c.kind() != Kind::RadioGroup) {
                b.color = ToColorRef(c.asContainer()->color);
                for (Control* child : c.asContainer()->children()) Create(*child, h, b.color);
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
            ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Subclass(h, ReadOnlyMemoProc)));
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
            const int line = std::max<int>(combo.itemHeight, TextExtent(parent, L"0").cy);
            const int closed = r.height + (line - combo.itemHeight);
            // Screen readers name a box after the static text just before
            // it, and a radio button is none: a hidden label repeats it.
            Bound* before = BoundOf(::GetWindow(::GetWindow(parent, GW_CHILD), GW_HWNDLAST));
            if (before && before->model->kind() == Kind::RadioButton)
                MakeControl(0, WC_STATICW, os::WideFrom932(before->model->caption()), WS_CHILD, {}, parent, -1);
            h = MakeControl(0, WC_COMBOBOXW, L"", kTabStop | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                            {r.left, r.top, r.width, closed + combo.visibleLines * line + 2}, parent, c.id());
            b.hwnd = h;
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            if (::GetComboBoxInfo(h, &info)) AttachTextField(b, info.hwndItem);
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
            break;
        case Kind::PageControl: {
            h = MakeControl(0, WC_TABCONTROLW, L"", kTabStop, r, parent, c.id());
            b.hwnd = h;
            auto& pages = static_cast<PageControl&>(c);
            for (Control* sheet : pages.children()) {
                std::wstring text = os::WideFrom932(sheet->caption());
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = text.data();
                TabCtrl_InsertItem(h, TabCtrl_GetItemCount(h), &item);
            }
            LayOutPages(b);
            for (Control* sheet : pages.children()) b.parts.push_back(Create(*sheet, parent, color).hwnd);
            pages_ = &b;
            ShowActivePage(b);
            break;
        }
    }
    b.hwnd = h;
    c.window = this;
    Update(c, kItems | kItemIndex | kText | kChecked);
    return b;
}

void DialogWindow::AttachTextField(Bound& b, HWND edit) {
    b.edit = edit;
    b.mirror = EditMirror::Of({}, kCp932Chars);
    ::SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&b));
    b.editProc = Subclass(edit, TextFieldProc);
    if (b.model->kind() == Kind::ComboBox)
        ::SetWindowLongPtrW(b.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Subclass(b.hwnd, ComboProc)));
}

}  // namespace ui
