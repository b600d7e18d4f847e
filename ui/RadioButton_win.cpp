// The radio button's peer.
#include "ui/RadioButton.h"
#include "ui/WinPeer_win.h"

namespace ui {

class RadioPeer final : public PeerOf<RadioButton> {
public:
    using PeerOf::PeerOf;

    HWND Create(HWND parent) override {
        HWND h = CreateChild(0, WC_BUTTONW, W(model.caption()), kChildStyle | WS_TABSTOP | WS_GROUP | BS_RADIOBUTTON,
                             model.bounds(), parent);
        if (h) ::SendMessageW(h, BM_SETCHECK, model.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        return h;
    }

    void Update(unsigned changes) override {
        if (changes & kChecked) {
            Mirroring guard(*this);
            ::SendMessageW(hwnd, BM_SETCHECK, model.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        if (changes & kFocus) ::SetFocus(hwnd);
    }

    void OnCommand(WORD code) override {
        if (UserClicked(code)) model.UserClick();
    }
};

K307_DEFINE_PEER(RadioButton, RadioPeer)

}  // namespace ui
