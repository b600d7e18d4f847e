// The one type behind GWLP_USERDATA of every window the program creates
// (forms, containers, controls), and the base of the controls' peers.
#pragma once
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string>
#include <string_view>

#include "ui/Control.h"

namespace ui {

class FormWindow;

class WinPeer {
public:
    virtual ~WinPeer() = default;
    HWND hwnd = nullptr;
    // Background for WM_CTLCOLOR* and erasing: the colour of the window
    // itself, or of the container it stands on.
    COLORREF backgroundColor = RGB(255, 255, 255);
    // While set, echoes of what the peer itself pushes are ignored.
    int mirroring = 0;

    // A notification from this window (WM_COMMAND with its code).
    virtual void OnCommand(WORD code) { (void)code; }
    // A button's click, and not the echo of what the peer itself set.
    bool UserClicked(WORD code) const { return code == BN_CLICKED && !mirroring; }
    // A notification from a child window that has no peer of its own (the
    // items of a radio group); true when this window handled it.
    virtual bool OnChildCommand(HWND child, WORD code) {
        (void)child, (void)code;
        return false;
    }
    virtual bool OnNotify(NMHDR* hdr, LRESULT& result) {
        (void)hdr, (void)result;
        return false;
    }
    // Alt + `key` (WM_SYSCHAR) in the form; true when it was this window's.
    virtual bool OnAccessKey(wchar_t key) {
        (void)key;
        return false;
    }
    // An arrow key pressed on `from`, a window of this peer's own (the
    // items of a radio group); true when this peer handled it.
    virtual bool OnArrowKey(HWND from, WPARAM key) {
        (void)from, (void)key;
        return false;
    }
    // What a container draws over its background.
    virtual void PaintContainer(HDC dc, const RECT& client) { (void)dc, (void)client; }

    // Ties the window to this peer: from now on FromHwnd finds it.
    void Bind(HWND h);
    static WinPeer* FromHwnd(HWND h);
};

// Pushes to the window that must not come back as user input.
struct Mirroring {
    explicit Mirroring(WinPeer& p) : peer(p) { ++peer.mirroring; }
    ~Mirroring() { --peer.mirroring; }
    Mirroring(const Mirroring&) = delete;
    Mirroring& operator=(const Mirroring&) = delete;
    WinPeer& peer;
};

// The peer of one control: it makes its own window under the parent's and
// mirrors the model onto it.
class ChildPeer : public ControlPeer, public WinPeer {
public:
    explicit ChildPeer(Control& model) : control(model) {}
    ~ChildPeer() override;
    ChildPeer(const ChildPeer&) = delete;
    ChildPeer& operator=(const ChildPeer&) = delete;

    // Makes the window under `parent` (and attaches it to the model); false
    // when the window could not be made.
    bool Open(HWND parent, FormWindow& form);
    // After the children of a container got their windows.
    virtual void ChildrenCreated() {}
    // Panels, tab sheets, labels, memos: moved and focused on demand.
    void Update(unsigned changes) override;

    Control& control;

protected:
    // The window of this kind, `backgroundColor` already the parent's.
    virtual HWND Create(HWND parent) = 0;
    // After the window is bound and has the font.
    virtual void Created(FormWindow& form) { (void)form; }
    // Creates a child window of this control with its control ID.
    HWND CreateChild(DWORD exStyle,
                     const wchar_t* windowClass,
                     const std::wstring& text,
                     DWORD style,
                     const Rect& r,
                     HWND parent) const;
};

// The peer of a control of the kind `Model`.
template <class Model>
class PeerOf : public ChildPeer {
public:
    explicit PeerOf(Model& m) : ChildPeer(m), model(m) {}

protected:
    Model& model;
};

// Defines the factory that K307_DECLARE_PEER declares in the model.
#define K307_DEFINE_PEER(Model, Peer)              \
    std::unique_ptr<ChildPeer> Model::MakePeer() { \
        return std::make_unique<Peer>(*this);      \
    }

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

std::wstring W(std::string_view cp932);

HINSTANCE ProgramInstance();
void SetProgramInstance(HINSTANCE instance);

}  // namespace ui
