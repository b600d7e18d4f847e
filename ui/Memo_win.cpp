// The memo's peer: a read-only multi-line Win32 EDIT control.
#include "ui/Memo.h"
#include "ui/WinPeer_win.h"

namespace ui {

class MemoPeer final : public PeerOf<Memo> {
public:
    using PeerOf::PeerOf;

    HWND Create(HWND parent) override {
        std::string joined;
        for (std::size_t i = 0; i < model.lines().size(); ++i) {
            if (i) joined += "\r\n";
            joined += model.lines()[i];
        }
        return CreateChild(WS_EX_CLIENTEDGE, WC_EDITW, W(joined),
                           kChildStyle | WS_TABSTOP | WS_GROUP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                               ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                           model.bounds(), parent);
    }
};

K307_DEFINE_PEER(Memo, MemoPeer)

}  // namespace ui
