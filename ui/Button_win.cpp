// The push button's peer.
#include "ui/Button.h"
#include "ui/Form_win.h"
#include "ui/WinPeer_win.h"

namespace ui {

class ButtonPeer final : public PeerOf<Button> {
public:
    using PeerOf::PeerOf;

    HWND Create(HWND parent) override {
        // BS_NOTIFY: focus changes reach the peer, which makes the focused
        // button the default, as the dialog manager expects.
        DWORD style =
            kChildStyle | WS_TABSTOP | WS_GROUP | BS_NOTIFY | (model.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        return CreateChild(0, WC_BUTTONW, W(model.caption()), style, model.bounds(), parent);
    }

    void Update(unsigned changes) override {
        if (changes & kCaption) ::SetWindowTextW(hwnd, W(model.caption()).c_str());
        if (changes & kFocus) ::SetFocus(hwnd);
    }

    void OnCommand(WORD code) override {
        switch (code) {
            case BN_CLICKED:
            case BN_DOUBLECLICKED:  // with BS_NOTIFY the second click of a double click
                if (!mirroring) model.Click();
                break;
            case BN_SETFOCUS:
            case BN_KILLFOCUS:
                if (FormWindow* form = FormWindow::ForRoot(::GetAncestor(hwnd, GA_ROOT))) {
                    if (code == BN_SETFOCUS)
                        form->SetDefaultId(model.id());
                    else
                        form->RestoreDefaultId();
                }
                break;
            default:
                break;
        }
    }
};

K307_DEFINE_PEER(Button, ButtonPeer)

}  // namespace ui
