// The label's peer: a Win32 STATIC control.
#include "ui/Label.h"
#include "ui/Theme_win.h"
#include "ui/WinPeer_win.h"

namespace ui {

class LabelPeer final : public PeerOf<Label> {
public:
    using PeerOf::PeerOf;

    HWND Create(HWND parent) override {
        // Labels size themselves to their text, as a substitute font may
        // run wider than the one the layout was drawn for.
        const Rect& b = model.bounds();
        std::wstring caption = W(model.caption());
        SIZE extent{};
        HDC dc = ::GetDC(parent);
        HGDIOBJ old = ::SelectObject(dc, UiFont());
        ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        ::SelectObject(dc, old);
        ::ReleaseDC(parent, dc);
        int width = extent.cx > b.width ? extent.cx : b.width;
        int height = extent.cy > b.height ? extent.cy : b.height;
        return CreateChild(0, WC_STATICW, caption, kChildStyle | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                           {b.left, b.top, width, height}, parent);
    }
};

std::unique_ptr<ChildPeer> Label::MakePeer() {
    return std::make_unique<LabelPeer>(*this);
}

}  // namespace ui
