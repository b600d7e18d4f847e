// The memo's peer: a read-only multi-line Win32 EDIT control.
#include "ui/Memo.h"
#include "ui/WinPeer_win.h"

namespace ui {

namespace {
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
}  // namespace

class MemoPeer final : public PeerOf<Memo> {
public:
    using PeerOf::PeerOf;

    HWND Create(HWND parent) override {
        std::string joined;
        for (std::size_t i = 0; i < model.lines().size(); ++i) {
            if (i) joined += "\r\n";
            joined += model.lines()[i];
        }
        HWND h = CreateChild(WS_EX_CLIENTEDGE, WC_EDITW, W(joined),
                             kChildStyle | WS_TABSTOP | WS_GROUP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                 ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                             model.bounds(), parent);
        if (h) ::SetWindowSubclass(h, ReadOnlyMemoSubclass, 1, 0);
        return h;
    }
};

K307_DEFINE_PEER(Memo, MemoPeer)

}  // namespace ui
