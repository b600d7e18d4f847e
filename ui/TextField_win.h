// The peer base of the single-line text fields (Edit and the combo boxes'
// edit part), whose models hold the code page 932 bytes: typed characters go
// through the model's typing rules, other edits (paste, cut, Delete, input
// methods) are spliced into the model's bytes.
#pragma once
#include <windows.h>

#include "ui/EditMirror.h"
#include "ui/TextField.h"
#include "ui/WinPeer_win.h"

namespace ui {

// Code page 932 by number, one character at a time.
const CharConverter& Cp932Converter();

class TextFieldPeer : public ChildPeer {
public:
    explicit TextFieldPeer(TextControl& model);
    void AttachEdit(HWND edit);

protected:
    void PushText();
    void PushSelection();
    void PullSelection();
    void TextEdited();
    virtual void SendKey(const Key& key) = 0;
    bool TypedChar(WPARAM unit);
    static LRESULT CALLBACK EditSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);

    TextControl& model_;
    HWND edit_ = nullptr;
    EditMirror mirror_ = EditMirror::Of({}, Cp932Converter());
};

}  // namespace ui
