// The push button's peer.
#include "ui/Button.h"
#include "ui/WinPeer_win.h"

namespace ui {

class ButtonPeer final : public PeerOf<Button> {
public:
    using PeerOf::PeerOf;

    HWND Create(HWND parent) override {
        DWORD style = kChildStyle | WS_TABSTOP | WS_GROUP | (model.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        return CreateChild(0, WC_BUTTONW, W(model.caption()), style, model.bounds(), parent);
    }

    void Update(unsigned changes) override {
        if (changes & kCaption) ::SetWindowTextW(hwnd, W(model.caption()).c_str());
        if (changes & kFocus) ::SetFocus(hwnd);
    }

    void OnCommand(WORD code) override {
        if (UserClicked(code)) model.Click();
    }
};

K307_DEFINE_PEER(Button, ButtonPeer)

}  // namespace ui
