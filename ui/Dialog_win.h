// A form as a Windows dialog: the form's window is a dialog made from an
// in-memory template, and each panel, page and radio group a child dialog
// (DS_CONTROL, WS_EX_CONTROLPARENT) that the dialog manager walks into, so
// Tab, Enter, Escape, access keys and the arrows within a group are Windows'
// own. The controls are made in pixels when the dialog is made. One dialog
// procedure decodes the notifications of every control of the form into its
// model's calls, and the model's changes are mirrored onto the controls
// (ui/Mirror_win.cpp).
#pragma once
#include <windows.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/EditMirror.h"

namespace ui {

class DialogWindow final : public FormPeer, public TimerPeer {
public:
    // `owner` is the palette for the settings dialog, nullptr for the palette.
    DialogWindow(Form& form, HWND owner, bool mainWindow);
    ~DialogWindow() override;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    void Update(Control& control, unsigned changes) override;
    void UpdateList(Control& list, const ListChange& change) override;
    void RunModal() override;
    void Destroy() override;
    void ReadPosition(int& left, int& top) override;

    // Runs `timer` on this window's message-loop timers.
    void AttachTimer(Timer& timer);
    void Restart(Timer& timer) override;

    // The frame this window system gives a form, set on the form before any
    // window exists.
    static void MeasureFrame(Form& form);

    // One control's window and what the mirror keeps of it.
    struct Bound {
        Control* model = nullptr;
        HWND hwnd = nullptr;
        HWND edit = nullptr;       // text fields: the edit window (a combo box's edit part)
        HWND list = nullptr;       // combo boxes: the drop-down list
        std::vector<HWND> parts;   // a radio group's items; a page control's pages
        COLORREF color = 0;        // a container's background, for the controls on it
        EditMirror mirror;         // text fields: what the edit window shows
        std::size_t nextItem = 0;  // combo boxes: the next entry of a long list to add
        unsigned fill = 0;         // which refill that is (a new one cancels it)
    };

    HWND hwnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool HandleMessage(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result);
    void Command(HWND from, WORD id, WORD code);
    HWND MakeDialog(HWND parent, DWORD style, DWORD exStyle, const std::wstring& title);
    void CreateChildren(Container& container, HWND parent, COLORREF color);
    Bound& Create(Control& c, HWND parent, COLORREF color);
    Bound* Find(const Control& c);
    Bound* BoundOf(HWND h);
    void PlaceWindow();
    void UpdateForm(unsigned changes);
    void ShowActivePage(Bound& pages);
    void LayOutPages(Bound& pages);
    void FocusControl(HWND target);
    void SetDefaultButton(int id);
    // The default border where the focus says: on a focused push button,
    // else on the form's default button.
    void ShowDefaultButton();
    static LRESULT CALLBACK AfterDialogManager(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    // Work that can wait until the window is up: each step runs from a
    // message of its own, in order, and is run again until it returns true.
    void Later(std::function<bool()> step);

    // The mirror (ui/Mirror_win.cpp).
    void PushText(Bound& b);
    void PushSelection(Bound& b);
    void TextEdited(Bound& b);
    void FillCombo(Bound& b);
    bool FillStep(Bound& b, std::size_t count);
    void AttachTextField(Bound& b, HWND edit);

    Form& form_;
    HWND owner_;
    bool main_;
    bool inModal_ = false;
    bool endModal_ = false;
    bool ownerMinimized_ = false;  // by this dialog's own minimizing
    // The combo box whose list the user picked from: it shows the pick itself.
    Bound* picking_ = nullptr;
    std::vector<std::unique_ptr<Bound>> bound_;
    std::vector<Timer*> timers_;
    std::deque<std::function<bool()>> later_;

    static void SetTopMost(HWND hwnd, bool on);
    // The program's own top-level windows that `owner` owns.
    static std::vector<HWND> OwnedBy(HWND owner);
    // Every form's window, for the message loop and the owned windows.
    static std::vector<DialogWindow*> all_;
    friend bool PreTranslate(MSG& msg);
};

// The common controls and the program instance; once, before any window.
void InitWindows(HINSTANCE instance);
// The dialog manager's keyboard handling for whichever form `msg` is for,
// plus the page keys the tab control lacks; true when the message was used.
bool PreTranslate(MSG& msg);
// The program's message loop; returns the exit code.
int RunMessageLoop();

}  // namespace ui
