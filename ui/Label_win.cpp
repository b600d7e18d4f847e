// The label's peer: a Win32 STATIC control.
#include "ui/Label.h"
#include "ui/Theme_win.h"
#include "ui/WinPeer_win.h"

namespace ui {

class LabelPeer final : public PeerOf<Label> {
public:
    using PeerOf::PeerOf;

    // Labels size themselves to their text, as a substitute font may run
    // wider than the one the layout was drawn for.
    HWND Create(HWND parent) override {
        std::wstring caption = W(model.caption());
        SIZE extent = TextExtent(parent, caption);
        Rect r = model.bounds();
        if (extent.cx > r.width) r.width = extent.cx;
        if (extent.cy > r.height) r.height = extent.cy;
        return CreateChild(0, WC_STATICW, caption, kChildStyle | SS_LEFTNOWORDWRAP | SS_NOPREFIX, r, parent);
    }
};

K307_DEFINE_PEER(Label, LabelPeer)

}  // namespace ui
