// The page control's peer (a Win32 tab control) and its tab sheets' peers
// (container windows in the tab control's display area).
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <vector>

#include "ui/Container_win.h"
#include "ui/PageControl.h"
#include "ui/Theme_win.h"
#include "ui/WinPeer_win.h"

namespace ui {

class PagePeer final : public PeerOf<PageControl> {
public:
    using PeerOf::PeerOf;

    HWND Create(HWND parent) override {
        HWND h = CreateChild(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                             kChildStyle | WS_TABSTOP | WS_GROUP | WS_CLIPCHILDREN, model.bounds(), parent);
        if (!h) return nullptr;
        ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
        int i = 0;
        for (Control* sheet : model.children()) {
            std::wstring text = W(sheet->caption());
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            TabCtrl_InsertItem(h, i++, &item);
        }
        return h;
    }

    void ChildrenCreated() override {
        for (Control* sheet : model.children())
            if (sheet->peer) sheets.push_back(static_cast<ChildPeer*>(sheet->peer)->hwnd);
        TabCtrl_SetCurSel(hwnd, model.activePage());
        ShowActive();
    }

    void Update(unsigned changes) override {
        if (changes & kActivePage) {
            Mirroring guard(*this);
            TabCtrl_SetCurSel(hwnd, model.activePage());
            ShowActive();
        }
    }

    bool OnNotify(NMHDR* hdr, LRESULT& result) override {
        if (hdr->code == TCN_SELCHANGE) {
            model.UserSelectPage(TabCtrl_GetCurSel(hwnd));
            ShowActive();
            result = 0;
            return true;
        }
        return false;
    }

    // Alt + a page's access key selects the page.
    bool OnAccessKey(wchar_t key) override {
        for (std::size_t i = 0; i < model.children().size(); ++i) {
            const std::string& caption = model.children()[i]->caption();
            std::size_t amp = caption.find('&');
            if (amp == std::string::npos || amp + 1 >= caption.size()) continue;
            wchar_t c = static_cast<wchar_t>(static_cast<unsigned char>(caption[amp + 1]));
            if (::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c))) ==
                ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(key)))) {
                model.UserSelectPage(static_cast<int>(i));
                TabCtrl_SetCurSel(hwnd, model.activePage());
                ShowActive();
                ::SetFocus(hwnd);
                return true;
            }
        }
        return false;
    }

    std::vector<HWND> sheets;

private:
    void ShowActive() {
        for (std::size_t i = 0; i < sheets.size(); ++i)
            ::ShowWindow(sheets[i], static_cast<int>(i) == model.activePage() ? SW_SHOW : SW_HIDE);
    }
};

class TabSheetPeer final : public PeerOf<TabSheet> {
public:
    using PeerOf::PeerOf;

    // Fills the display area of the tab control it stands in, hidden until
    // its page is the active one.
    HWND Create(HWND parent) override {
        RECT display;
        ::GetClientRect(parent, &display);
        TabCtrl_AdjustRect(parent, FALSE, &display);
        model.SetBounds({display.left, display.top, display.right - display.left, display.bottom - display.top});
        backgroundColor = ToColorRef(model.color);
        return CreateChild(WS_EX_CONTROLPARENT, kContainerClass, L"", (kChildStyle & ~WS_VISIBLE) | WS_CLIPCHILDREN,
                           model.bounds(), parent);
    }
};

K307_DEFINE_PEER(PageControl, PagePeer)

K307_DEFINE_PEER(TabSheet, TabSheetPeer)

}  // namespace ui
