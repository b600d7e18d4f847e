// The radio group's peer: a container holding a group box and one radio
// button per item; the items have no peers of their own.
#include <vector>

#include "ui/Container_win.h"
#include "ui/RadioGroup.h"
#include "ui/Theme_win.h"
#include "ui/WinPeer_win.h"

namespace ui {

class RadioGroupPeer final : public PeerOf<RadioGroup> {
public:
    using PeerOf::PeerOf;

    HWND Create(HWND parent) override {
        const Rect& b = model.bounds();
        HWND h = CreateChild(WS_EX_CONTROLPARENT, kContainerClass, L"", kChildStyle, b, parent);
        if (!h) return nullptr;
        HINSTANCE instance = ProgramInstance();
        HWND box = ::CreateWindowExW(0, WC_BUTTONW, W(model.caption()).c_str(),
                                     WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX, 0, 0, b.width, b.height, h,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), instance, nullptr);
        ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
        ::SetWindowLongPtrW(box, GWLP_USERDATA, 0);
        for (int k = 0; k < static_cast<int>(model.items().size()); ++k) {
            Rect ib = model.itemBounds(k);
            DWORD style =
                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_RADIOBUTTON | (k == 0 ? WS_GROUP | WS_TABSTOP : 0);
            HWND item = ::CreateWindowExW(0, WC_BUTTONW, W(model.items()[static_cast<std::size_t>(k)]).c_str(), style,
                                          ib.left, ib.top, ib.width, ib.height, h,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(RadioItemId(model.number(), k))),
                                          instance, nullptr);
            ::SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
            items.push_back(item);
        }
        // Children created first stack on top; the frame goes beneath the
        // items, and after them in the dialog manager's order, where its
        // WS_GROUP ends their group: the arrow keys cycle through the items
        // and never step onto the frame.
        ::SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return h;
    }

    void Created(FormWindow&) override {
        for (HWND item : items) ::SetWindowLongPtrW(item, GWLP_USERDATA, 0);
        Update(kItemIndex);
    }

    void Update(unsigned changes) override {
        if (changes & kItemIndex) {
            Mirroring guard(*this);
            // Tab enters a group at its checked item (the first when none is).
            const std::size_t stop = model.itemIndex() < 0 ? 0 : static_cast<std::size_t>(model.itemIndex());
            for (std::size_t k = 0; k < items.size(); ++k) {
                bool on = static_cast<int>(k) == model.itemIndex();
                ::SendMessageW(items[k], BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
                LONG_PTR style = ::GetWindowLongPtrW(items[k], GWL_STYLE);
                LONG_PTR wanted = k == stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
                if (wanted != style) ::SetWindowLongPtrW(items[k], GWL_STYLE, wanted);
            }
        }
        if (changes & kFocus) {
            int i = model.itemIndex() < 0 ? 0 : model.itemIndex();
            if (!items.empty()) ::SetFocus(items[static_cast<std::size_t>(i)]);
        }
    }

    bool OnChildCommand(HWND child, WORD code) override {
        if (code == BN_CLICKED) {
            for (std::size_t k = 0; k < items.size(); ++k)
                if (items[k] == child) ItemClicked(static_cast<int>(k));
        }
        return true;
    }

    bool OnArrowKey(HWND from, WPARAM key) override {
        const auto n = static_cast<int>(items.size());
        for (int k = 0; k < n; ++k) {
            if (items[static_cast<std::size_t>(k)] != from) continue;
            // Down and right go on, up and left back, round within the
            // group; the item reached is checked, as the dialog manager does.
            const bool forward = key == VK_DOWN || key == VK_RIGHT;
            const int next = (k + (forward ? 1 : n - 1)) % n;
            ::SetFocus(items[static_cast<std::size_t>(next)]);
            ItemClicked(next);
            return true;
        }
        return false;
    }

    std::vector<HWND> items;

private:
    void ItemClicked(int k) {
        if (mirroring) return;
        model.UserSelect(k);
        // A click on the selected item leaves it selected, as Windows' own
        // handling might have cleared the mark meanwhile.
        Update(kItemIndex);
    }
};

K307_DEFINE_PEER(RadioGroup, RadioGroupPeer)

}  // namespace ui
