// The panel's peer: a container window, shown once its controls are made.
#include "ui/Container_win.h"
#include "ui/Panel.h"
#include "ui/Theme_win.h"
#include "ui/WinPeer_win.h"

namespace ui {

class PanelPeer final : public PeerOf<Panel> {
public:
    using PeerOf::PeerOf;

    HWND Create(HWND parent) override {
        backgroundColor = ToColorRef(model.color);
        return CreateChild(WS_EX_CONTROLPARENT, kContainerClass, L"", (kChildStyle & ~WS_VISIBLE) | WS_CLIPCHILDREN,
                           model.bounds(), parent);
    }

    void ChildrenCreated() override { ::ShowWindow(hwnd, SW_SHOW); }

    void PaintContainer(HDC dc, const RECT& client) override {
        if (!model.raisedBevel) return;
        RECT r = client;
        ::DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
};

K307_DEFINE_PEER(Panel, PanelPeer)

}  // namespace ui
