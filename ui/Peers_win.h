#pragma once
// Peer classes of the individual controls (see Window_win.h).
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include "ui/EditMirror_win.h"
#include "ui/Window_win.h"

namespace ui {

// A single-line text field whose model holds the code page 932 bytes: typed
// characters go through the model's typing rules, other edits (paste, cut,
// Delete, input methods) are spliced into the model's bytes.
class TextFieldPeer : public WinPeer {
public:
    explicit TextFieldPeer(TextControl& model);
    void AttachEdit(HWND edit);

protected:
    void PushText();
    void PushSelection();
    void PullSelection();
    void TextEdited();
    virtual void SendKey(const Key& key) = 0;
    bool TypedChar(wchar_t ch);
    static LRESULT CALLBACK EditSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);

    TextControl& model_;
    HWND edit_ = nullptr;
    EditMirror mirror_ = EditMirror::Of({});
};

class EditPeer final : public TextFieldPeer {
public:
    explicit EditPeer(Edit& model);
    void Update(unsigned changes) override;
    void OnCommand(WORD code) override;
    void Created() {
        AttachEdit(hwnd);
        PushText();
    }

private:
    void SendKey(const Key& key) override;
    Edit& edit;
};

class ComboPeer final : public TextFieldPeer {
public:
    explicit ComboPeer(ComboBox& model);
    void Created();
    void Update(unsigned changes) override;
    void OnCommand(WORD code) override;

private:
    void SendKey(const Key& key) override;
    void Settle();
    static LRESULT CALLBACK ComboSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    static constexpr UINT kSettleMessage = WM_APP + 2;
    bool pickPending_ = false;
    bool settlePending_ = false;
    void PushCurrentLine();
    std::wstring GetComboText() const;
    // Adds the next part of a long list; true when the list is complete.
    bool FillStep(std::size_t count);
    void CompleteFill() { FillStep(static_cast<std::size_t>(-1)); }
    ComboBox& combo;
    HWND list_ = nullptr;
    // The next entry to add, and which refill that is (a new one cancels it).
    std::size_t nextItem_ = 0;
    unsigned fill_ = 0;

public:
    // Set by the form: where the rest of a long list is added.
    std::function<void(std::function<bool()>)> later;
};

class ButtonPeer final : public WinPeer {
public:
    explicit ButtonPeer(Button& b) : button(b) {}
    void Update(unsigned changes) override;
    void OnCommand(WORD code) override;
    Button& button;
};

class RadioPeer final : public WinPeer {
public:
    explicit RadioPeer(RadioButton& r) : radio(r) {}
    void Update(unsigned changes) override;
    void OnCommand(WORD code) override;
    RadioButton& radio;
};

class ListBoxPeer final : public WinPeer {
public:
    explicit ListBoxPeer(ListBox& l) : list(l) {}
    void Update(unsigned changes) override;
    void OnCommand(WORD code) override;
    ListBox& list;
};

class RadioGroupPeer final : public WinPeer {
public:
    explicit RadioGroupPeer(RadioGroup& g) : group(g) {}
    void Update(unsigned changes) override;
    void ItemClicked(int k);
    // An arrow key pressed on one of the items; false when `from` is none.
    bool ArrowKey(HWND from, WPARAM key);
    RadioGroup& group;
    std::vector<HWND> items;
};

class PagePeer final : public WinPeer {
public:
    explicit PagePeer(PageControl& p) : pages(p) {}
    void Update(unsigned changes) override;
    bool OnNotify(NMHDR* hdr, LRESULT& result) override;
    bool SelectByAccessKey(wchar_t key);
    void ShowActive();
    PageControl& pages;
    std::vector<HWND> sheets;
};

// Panels, tab sheets, labels, memos: mirrored at creation, moved on demand.
class PlainPeer final : public WinPeer {
public:
    explicit PlainPeer(Control& c) : control(c) {}
    void Update(unsigned changes) override {
        if (changes & kBounds) {
            const Rect& r = control.bounds();
            ::SetWindowPos(hwnd, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (changes & kFocus) ::SetFocus(hwnd);
    }
    Control& control;
};

}  // namespace ui
