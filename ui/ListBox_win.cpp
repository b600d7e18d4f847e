// The list box's peer: a Win32 LISTBOX mirroring each typed change.
#include "ui/Accessibility_win.h"
#include "ui/ListBox.h"
#include "ui/ListFill_win.h"
#include "ui/WinPeer_win.h"

namespace ui {

class ListBoxPeer final : public PeerOf<ListBox> {
public:
    using PeerOf::PeerOf;

    HWND Create(HWND parent) override {
        HWND h = CreateChild(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                             kChildStyle | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                             model.bounds(), parent);
        if (h) NameAfterLabelAbove(h);
        return h;
    }

    void UpdateList(const ListChange& change) override;

    void Update(unsigned changes) override {
        if (changes & kItemIndex) {
            Mirroring guard(*this);
            ::SendMessageW(hwnd, LB_SETCURSEL, static_cast<WPARAM>(model.itemIndex()), 0);
        }
        if (changes & kFocus) ::SetFocus(hwnd);
    }

    void OnCommand(WORD code) override {
        if (code != LBN_SELCHANGE || mirroring) return;
        auto i = static_cast<int>(::SendMessageW(hwnd, LB_GETCURSEL, 0, 0));
        model.UserSelect(i);
    }

private:
    void Replace(int i) {
        std::wstring w = W(model.items()[static_cast<std::size_t>(i)]);
        ::SendMessageW(hwnd, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
        ::SendMessageW(hwnd, LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(w.c_str()));
    }
    int BoxCount() const { return static_cast<int>(::SendMessageW(hwnd, LB_GETCOUNT, 0, 0)); }
};

void ListBoxPeer::UpdateList(const ListChange& change) {
    Mirroring guard(*this);
    switch (change.what) {
        case ListChange::What::Reset:
            FillList(hwnd, model.items());
            break;
        case ListChange::What::Add:
            if (BoxCount() == model.count() - 1) {
                std::wstring w = W(model.items()[static_cast<std::size_t>(change.index)]);
                ::SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
            }
            break;
        case ListChange::What::Delete:
            ::SendMessageW(hwnd, LB_DELETESTRING, static_cast<WPARAM>(change.index), 0);
            break;
        case ListChange::What::Replace:
            Replace(change.index);
            break;
        case ListChange::What::Exchange:
            Replace(change.index);
            Replace(change.other);
            break;
    }
    // Whatever the window missed, it must not keep entries the list lacks.
    if (BoxCount() != model.count()) FillList(hwnd, model.items());
    ::SendMessageW(hwnd, LB_SETCURSEL, static_cast<WPARAM>(model.itemIndex()), 0);
}

K307_DEFINE_PEER(ListBox, ListBoxPeer)

}  // namespace ui
