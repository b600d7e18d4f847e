// The edit's peer: a Win32 EDIT control.
#include "ui/Edit.h"
#include "ui/TextField_win.h"
// after windows.h, which it needs
#include <imm.h>

namespace ui {

class EditPeer final : public TextFieldPeer {
public:
    explicit EditPeer(Edit& model) : TextFieldPeer(model), edit(model) {}

    HWND Create(HWND parent) override {
        HWND h = CreateChild(WS_EX_CLIENTEDGE, WC_EDITW, L"", kChildStyle | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL,
                             edit.bounds(), parent);
        // Number fields: an input method left on would turn digits full-width.
        if (h) ::ImmAssociateContextEx(h, nullptr, 0);
        return h;
    }

    void Created(FormWindow&) override {
        AttachEdit(hwnd);
        PushText();
    }

    void Update(unsigned changes) override {
        if (changes & kText) {
            PushText();
        } else if (changes & kSelection) {
            PushSelection();
        }
        if (changes & kFocus) ::SetFocus(hwnd);
    }

    void OnCommand(WORD code) override {
        if (code == EN_CHANGE) TextEdited();
    }

private:
    void SendKey(const Key& key) override { edit.UserKey(key); }
    Edit& edit;
};

K307_DEFINE_PEER(Edit, EditPeer)

}  // namespace ui
