// The text field peer: typing, edits and the caret between model and window.
#include "ui/TextField_win.h"

// after windows.h, which it needs
#include <commctrl.h>

#include "os/Cp932_win.h"

namespace ui {

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

//--- Text fields (Edit and the combo boxes' edit part)

TextFieldPeer::TextFieldPeer(TextControl& model) : ChildPeer(model), model_(model) {}

void TextFieldPeer::AttachEdit(HWND edit) {
    edit_ = edit;
    ::SetWindowSubclass(edit_, EditSubclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

void TextFieldPeer::PushText() {
    Mirroring guard(*this);
    mirror_ = EditMirror::Of(model_.text(), Cp932Converter());
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
    if (!SpliceEdited(model_.text(), mirror_, now, Cp932Converter(), bytes)) {
        // Pasted text the file could not store: refuse it whole.
        ::MessageBeep(MB_OK);
        PushText();
        return;
    }
    DWORD start = 0, end = 0;
    ::SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    mirror_ = EditMirror::Of(bytes, Cp932Converter());
    EditState state;
    state.text = std::move(bytes);
    state.selStart = mirror_.ByteFromWide(start);
    std::size_t endByte = mirror_.ByteFromWide(end);
    state.selLength = endByte >= state.selStart ? endByte - state.selStart : 0;
    model_.UserEdited(std::move(state));
}

bool TextFieldPeer::TypedChar(WPARAM unit) {
    TypedKey typed = ClassifyTypedChar(static_cast<std::uint32_t>(unit), Cp932Converter());
    switch (typed.action) {
        case TypedAction::PassOn:
            return false;
        case TypedAction::Swallow:
            return true;
        case TypedAction::Refuse:
            ::MessageBeep(MB_OK);
            return true;
        case TypedAction::Send:
            break;
    }
    PullSelection();
    SendKey(typed.key);
    return true;
}

LRESULT CALLBACK TextFieldPeer::EditSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<TextFieldPeer*>(ref);
    switch (msg) {
        case WM_CHAR:
            if (self->TypedChar(wp)) return 0;
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, EditSubclass, 1);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace ui
