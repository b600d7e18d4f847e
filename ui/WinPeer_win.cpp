// The window base type behind GWLP_USERDATA and the controls' peer base.
#include "ui/WinPeer_win.h"

#include "os/Cp932_win.h"
#include "ui/Theme_win.h"

namespace ui {

namespace {
HINSTANCE gInstance = nullptr;
}  // namespace

HINSTANCE ProgramInstance() {
    return gInstance;
}

void SetProgramInstance(HINSTANCE instance) {
    gInstance = instance;
}

std::wstring W(std::string_view cp932) {
    return os::WideFrom932(cp932);
}

void WinPeer::Bind(HWND h) {
    hwnd = h;
    ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinPeer* WinPeer::FromHwnd(HWND h) {
    if (!h) return nullptr;
    return reinterpret_cast<WinPeer*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
}

std::unique_ptr<ChildPeer> Control::MakePeer() {
    return nullptr;
}

ChildPeer::~ChildPeer() {
    if (control.peer == this) control.peer = nullptr;
}

bool ChildPeer::Open(HWND parent, FormWindow& form) {
    if (WinPeer* container = FromHwnd(parent)) backgroundColor = container->backgroundColor;
    HWND h = Create(parent);
    if (!h) return false;
    Bind(h);
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
    control.peer = this;
    Created(form);
    return true;
}

void ChildPeer::Update(unsigned changes) {
    if (changes & kBounds) {
        const Rect& r = control.bounds();
        ::SetWindowPos(hwnd, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (changes & kFocus) ::SetFocus(hwnd);
}

HWND ChildPeer::CreateChild(DWORD exStyle,
                            const wchar_t* windowClass,
                            const std::wstring& text,
                            DWORD style,
                            const Rect& r,
                            HWND parent) const {
    auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id()));
    return ::CreateWindowExW(exStyle, windowClass, text.c_str(), style, r.left, r.top, r.width, r.height, parent, id,
                             ProgramInstance(), nullptr);
}

}  // namespace ui
