// The base of every control model, and of the models that hold others. A
// thin form framework: each control is a model that owns its state and its
// event rules; a peer (ui/<Kind>_win.cpp) mirrors it onto a real window and
// feeds user input back through the model's User* calls. Without a peer the
// same model runs headless, which is how the forms' logic is tested.
//
// Event rules, kept once for every form:
// - A text or index set by program runs no change or click handling.
// - Checking a radio button runs its click handling when it was unchecked;
//   unchecking runs none. Radio buttons of one parent are one group.
// - A user pick from a combo box list makes that line current and runs the
//   change handling; refilling the list leaves no line current.
//
// Getters are named after what they give (text(), itemIndex(), left()),
// setters Set + that name (SetText, SetItemIndex, SetPosition).
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace ui {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

enum class Kind {
    Form,
    Button,
    ComboBox,
    RadioButton,
    Panel,
    ListBox,
    Edit,
    RadioGroup,
    PageControl,
    TabSheet,
    Memo,
    Label
};

// The stable control ID (GetDlgCtrlID) of a control: Button n is 100+n,
// ComboBox 200+n, RadioButton 300+n, Panel 400+n, ListBox 500+n, Edit 600+n,
// RadioGroup 700+n, PageControl 800+n, TabSheet 900+n, Memo 1000+n,
// Label 1100+n. Item k of RadioGroup n is (700+n)*10+k.
int ControlId(Kind kind, int number);
int RadioItemId(int groupNumber, int item);

// What changed in a model, for its peer to mirror.
enum Change : unsigned {
    kText = 1u << 0,       // text of an edit field or combo box
    kSelection = 1u << 1,  // selected part of the text
    kItems = 1u << 2,      // list contents
    kItemIndex = 1u << 3,  // selected or current list line, radio item
    kChecked = 1u << 4,
    kBounds = 1u << 5,
    kFocus = 1u << 6,
    kCaption = 1u << 7,
    kActivePage = 1u << 8,
    kTopMost = 1u << 9,
    kSize = 1u << 10,  // a form's size, its place unchanged
};

class Container;
class Form;
struct ListChange;
class ChildPeer;

// In each control kind with a window: declares the Win32 peer's factory,
// defined beside the peer in ui/<Kind>_win.cpp. Host builds have no peers.
#ifdef _WIN32
#define K307_DECLARE_PEER() std::unique_ptr<ChildPeer> MakePeer() override
#else
#define K307_DECLARE_PEER() static_assert(true)
#endif

class ControlPeer {
public:
    virtual ~ControlPeer() = default;
    virtual void Update(unsigned changes) = 0;
    // A list's entries changed as `change` says (ui/ListBox.h).
    virtual void UpdateList(const ListChange& change) { (void)change; }
};

class Control {
public:
    Control(Container* parent, Kind kind, int number, Rect bounds, std::string caption = {});
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    Kind kind() const { return kind_; }
    int number() const { return number_; }
    int id() const { return ControlId(kind_, number_); }
    Container* parent() const { return parent_; }
    Form* form();
    // This control as a holder of others, or nullptr.
    virtual Container* asContainer() { return nullptr; }

    const Rect& bounds() const { return bounds_; }
    void SetBounds(const Rect& r);
    void SetPosition(int left, int top) { SetBounds({left, top, bounds_.width, bounds_.height}); }
    const std::string& caption() const { return caption_; }
    void SetCaption(std::string caption);

    int tag = 0;
    // The peer that mirrors this model; it clears this when it goes.
    ControlPeer* peer = nullptr;

    // Moves the keyboard focus here (the peer follows).
    void SetFocus();
    bool hasFocus();

#ifdef _WIN32
    // The Win32 peer of this kind, defined beside it in ui/<Kind>_win.cpp;
    // nullptr for a model without a window of its own.
    virtual std::unique_ptr<ChildPeer> MakePeer();
#endif

protected:
    void Notify(unsigned changes) {
        if (peer) peer->Update(changes);
    }

private:
    Kind kind_;
    int number_;
    Container* parent_;
    Rect bounds_;
    std::string caption_;
};

// A control whose constructor needs nothing but its kind.
template <Kind K>
class ControlOf : public Control {
public:
    ControlOf(Container* parent, int number, Rect bounds, std::string caption = {})
        : Control(parent, K, number, bounds, std::move(caption)) {}
};

// A control that holds others; children are kept in creation order, which is
// also their keyboard tab order.
class Container : public Control {
public:
    using Control::Control;
    Container* asContainer() override { return this; }
    const std::vector<Control*>& children() const { return children_; }
    void AddChild(Control* c) { children_.push_back(c); }

    uint32_t color = 0xFFFFFF;  // RGB
    bool raisedBevel = false;

private:
    std::vector<Control*> children_;
};

}  // namespace ui
