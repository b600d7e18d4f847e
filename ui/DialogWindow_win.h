// A form as a Windows dialog: the form's window is a dialog made from an
// in-memory template, and each panel, page and radio group a child dialog
// (DS_CONTROL, WS_EX_CONTROLPARENT) that the dialog manager walks into, so
// Tab, Enter, Escape, access keys and the arrows within a group are Windows'
// own. Its code is cut by the way data flows:
//   ui/DialogMake_win.cpp    making the dialogs and their controls in pixels
//   ui/DialogInput_win.cpp   messages in: the one dialog procedure, the typing
//                            and wheel procedures, timers and message loops
//   ui/DialogOutput_win.cpp  the models' changes out onto the controls: text,
//                            lists, the page shown, focus, the default button
#pragma once
#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "os/Cp932_win.h"
#include "ui/Controls.h"
#include "ui/EditMirror.h"

namespace ui {

class DialogWindow final : public FormWindow {
public:
    // `owner` is the palette for the settings dialog, nullptr for the palette.
    // `hwnd` stays null when Windows could make no window (no window handles
    // or desktop heap left); the form then has no window.
    DialogWindow(Form& form, HWND owner, bool mainWindow);
    ~DialogWindow() override;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    void Update(Control& control, unsigned changes) override;
    void UpdateList(Control& list, const ListChange& change) override;
    void Restart(Timer& timer) override;
    void RunModal() override;
    void Destroy() override;
    void ReadPosition(int& left, int& top) override;

    // Runs `timer` on this window's message-loop timers.
    void AttachTimer(Timer& timer);

    // The frame this window system gives a form, set on the form before any
    // window exists.
    static void MeasureFrame(Form& form);

    // One control's window and what is kept of it.
    struct Bound {
        Control* model = nullptr;
        HWND hwnd = nullptr;
        HWND edit = nullptr;         // text fields: the edit window (a combo box's edit part)
        std::vector<HWND> parts;     // a radio group's items; a page control's pages
        COLORREF color = 0;          // a container's background, for the controls on it
        EditMirror mirror;           // text fields: what the edit window shows
        WNDPROC editProc = nullptr;  // text fields: the edit window's class procedure
        // A key being typed: what the edit window would show if it typed the
        // key itself, and whether the model's outcome is just that.
        bool typing = false, typesItself = false;
        std::wstring typed;
        std::size_t typedCaret = 0;
        std::size_t nextItem = 0;  // combo boxes: the next entry of a long list to add
    };

    HWND hwnd = nullptr;

private:
    // Making.
    HWND MakeDialog(HWND parent, DWORD style, DWORD exStyle, const std::wstring& title);
    Bound& Create(Control& c, HWND parent, COLORREF color);
    void AttachTextField(Bound& b, HWND edit);
    // The controls by the control ID Windows names them with: every control
    // under its own, a radio group under its items' too, the default and
    // cancel buttons under IDOK and IDCANCEL too (CommandIds).
    Bound* BoundOf(int id) {
        auto found = byId_.find(id);
        return found == byId_.end() ? nullptr : found->second;
    }
    Bound* BoundOf(HWND h) {  // the control whose window `h` is
        Bound* b = h ? BoundOf(::GetDlgCtrlID(h)) : nullptr;
        return b && b->hwnd == h ? b : nullptr;
    }
    Bound* BoundOf(const Control& c) {
        Bound* b = BoundOf(c.id());
        return b && b->model == &c ? b : nullptr;
    }

    // Messages in.
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Subclass procedures, each handing on to the class's own procedure
    // (SetWindowSubclass would look its data up in a window property on
    // every message: under Wine a call into the window server each, thirty
    // for one keystroke). A text field's window keeps its Bound in
    // GWLP_USERDATA, the others their class's procedure (ClassProc).
    static LRESULT CALLBACK TextFieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK ComboProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK ReadOnlyMemoProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool HandleMessage(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result);
    void Command(WORD id, WORD code);
    void TextEdited(Bound& b);
    // Work that can wait until the window is up, each step posted as a
    // message of its own: the next part of a long list, and the pages laid
    // out again after a change of theme.
    static constexpr UINT kFillMessage = WM_APP + 1, kLayOutMessage = WM_APP + 3;
    static constexpr std::size_t kFillPart = 1024;  // entries of a long list added at once

    // Model out.
    static LRESULT CALLBACK AfterDialogManager(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void PlaceWindow();
    void UpdateForm(unsigned changes);
    void LayOutPages(Bound& pages);
    void ShowActivePage(Bound& pages);
    // The default border where the focus says: on the focused control when
    // it is a push button, else on the form's default button.
    void ShowDefaultButton(Bound* focused);
    static void PushText(Bound& b);
    static void PushSelection(Bound& b);
    void FillCombo(Bound& b);
    bool FillStep(Bound& b, std::size_t count);
    static void SetTopMost(HWND hwnd, bool on);

    Form& form_;
    HWND owner_;
    bool main_;
    bool inModal_ = false;
    bool endModal_ = false;
    bool ownerMinimized_ = false;  // by this dialog's own minimizing
    int defaultId_ = 0;            // the ID last given with DM_SETDEFID
    // The combo box whose list the user picked from: it shows the pick itself.
    Bound* picking_ = nullptr;
    std::vector<std::unique_ptr<Bound>> bound_;
    std::unordered_map<int, Bound*> byId_;
    Bound* pages_ = nullptr;  // the form's page control, for the page keys
    WNDPROC dialogClassProc_ = nullptr;
    std::vector<Timer*> timers_;
    std::vector<unsigned> periods_;  // each timer's period as last set with SetTimer
    Timer* ticking_ = nullptr;       // the timer whose tick is being handled

    // Every form's window, for the message loop and the owned windows.
    static std::vector<DialogWindow*> all_;
    friend bool PreTranslate(MSG& msg);
};

// Puts `proc` in the place of `h`'s window procedure and returns the one
// it replaces.
WNDPROC Subclass(HWND h, WNDPROC proc);
// The class procedure a subclassed window without a Bound keeps in
// GWLP_USERDATA.
inline WNDPROC ClassProc(HWND h) {
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(h, GWLP_USERDATA));
}

// Code page 932 by number, one character at a time, for the typing rules and
// the edit mirror.
inline constexpr CharConverter kCp932Chars{os::WideUnitFrom932, os::Append932FromWide};

// The common controls and the program instance; once, before any window.
void InitWindows(HINSTANCE instance);
// The dialog manager's keyboard handling for whichever form `msg` is for,
// plus the page keys the tab control lacks; true when the message was used.
bool PreTranslate(MSG& msg);
// Waits for one message and hands it on; false on WM_QUIT or an error.
bool PumpMessage(MSG& msg);
// The program's message loop; returns the exit code.
int RunMessageLoop();

}  // namespace ui
