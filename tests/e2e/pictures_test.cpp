// What a user sees of both windows, state by state: no control and no tab
// is covered, every surface shows its colour, exactly one button of the
// dialog wears the default border, and the whole picture is the approved one.
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <set>

#include "tests/e2e/Fixture.h"
#include "tests/e2e/Pictures.h"

namespace e2e {
namespace {

using Result = ::testing::AssertionResult;

// Pages and the palette's panels are white; the dialog's bottom bar and its
// entry panels light grey (settings/Unit2z.cpp, app/Unit1z.cpp).
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kLightGrey = 0xE8E8E8;

bool IsA(HWND h, const wchar_t* cls) {
    wchar_t name[64] = L"";
    ::GetClassNameW(h, name, 64);
    return ::lstrcmpiW(name, cls) == 0;
}

LONG ButtonType(HWND h) {
    return IsA(h, WC_BUTTONW) ? static_cast<LONG>(::GetWindowLongPtrW(h, GWL_STYLE) & BS_TYPEMASK) : -1;
}

bool IsPushButton(HWND h) {
    return ButtonType(h) == BS_PUSHBUTTON || ButtonType(h) == BS_DEFPUSHBUTTON;
}

std::string Name(HWND h) {
    wchar_t cls[64] = L"";
    ::GetClassNameW(h, cls, 64);
    return "control " + std::to_string(::GetDlgCtrlID(h)) + " (" + Readable(Cp932(cls)) + ")";
}

std::string At(POINT p) {
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")";
}

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::vector<HWND> Descendants(HWND root, bool visibleOnly) {
    std::pair<std::vector<HWND>, bool> found{{}, visibleOnly};
    ::EnumChildWindows(
        root,
        [](HWND h, LPARAM p) -> BOOL {
            auto* f = reinterpret_cast<std::pair<std::vector<HWND>, bool>*>(p);
            if (!f->second || ::IsWindowVisible(h)) f->first.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.first;
}

// A window of this process laid over part of the screen without taking the
// activation, as a notification or another program's tool window does.
class Cover {
public:
    explicit Cover(const RECT& r) {
        static const ATOM kClass = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
            wc.lpszClassName = L"K307E2ECover";
            return ::RegisterClassW(&wc);
        }();
        hwnd = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, MAKEINTATOM(kClass), L"",
                                 WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    }
    ~Cover() { ::DestroyWindow(hwnd); }
    Cover(const Cover&) = delete;
    Cover& operator=(const Cover&) = delete;
    HWND hwnd;
};

class PicturesTest : public PaletteTest {
protected:
    void SetUp() override {
        PaletteTest::SetUp();
        ParkPointer();
        ClearFailedPictures();
    }

    HWND Get(int id) const { return FindControl(dialog_, id); }
    int ActivePage() const { return static_cast<int>(::SendMessageW(Get(801), TCM_GETCURSEL, 0, 0)); }

    // Waits for the state and for `window` to be the active one, whose
    // title bar is drawn so.
    Result Reached(HWND window, const std::function<bool()>& done, const std::string& what) const {
        if (WaitFor([&] { return window && done() && ::GetForegroundWindow() == window; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << what << "; the focus is on " << Name(FocusOfThread(window))
                                             << (::GetForegroundWindow() == window ? "" : ", another window is active");
    }
    Result Focused(int id) const {
        return Reached(
            dialog_, [&] { return FocusOfThread(dialog_) == Get(id); }, "no focus on " + std::to_string(id));
    }
    Result OnPage(int page) const {
        Result r = Reached(
            dialog_,
            [&] {
                return ActivePage() == page && ::IsWindowVisible(Get(901 + page)) && FocusOfThread(dialog_) == Get(801);
            },
            "page " + std::to_string(page) + " does not show with the focus on the tabs");
        return r ? r : r << "; page " << ActivePage() << " is active";
    }
    Result ChooseEntry(int listId, int index) const {
        if (!Focus(Get(listId))) return ::testing::AssertionFailure() << "no focus on " << listId;
        PressKey(VK_HOME);
        for (int i = 0; i < index; ++i) PressKey(VK_DOWN);
        return Reached(
            dialog_, [&] { return ListSelection(Get(listId)) == index; }, "the entry is not chosen");
    }

    // A tab's rectangle on the screen. The tab control writes it into the
    // palette's memory, where alone the message's pointer means anything.
    std::optional<RECT> TabRect(int index) const {
        void* remote = ::VirtualAllocEx(palette.process(), nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
        RECT r{};
        DWORD_PTR ok = 0;
        SIZE_T got = 0;
        if (!remote) return std::nullopt;
        const bool read = ::SendMessageTimeoutW(Get(801), TCM_GETITEMRECT, static_cast<WPARAM>(index),
                                                reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &ok) &&
                          ok && ::ReadProcessMemory(palette.process(), remote, &r, sizeof r, &got) && got == sizeof r;
        ::VirtualFreeEx(palette.process(), remote, 0, MEM_RELEASE);
        if (!read) return std::nullopt;
        ::MapWindowPoints(Get(801), nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    Result ClickTab(int page) const {
        std::optional<RECT> r = TabRect(page);
        if (!r) return ::testing::AssertionFailure() << "tab " << page << " has no rectangle";
        const POINT p = Centre(*r);
        const HWND under = ::WindowFromPoint(p);
        Click(p);
        return OnPage(page) << " after a click at " << At(p) << ", on " << Name(under);
    }

    Result CoverHalf() const {
        RECT half = OuterRect(dialog_);
        half.right = (half.left + half.right) / 2;
        const HWND focus = FocusOfThread(dialog_);
        {
            Cover cover(half);
            const POINT p = Centre(half);
            if (!WaitFor([&] {
                    return ::WindowFromPoint(p) == cover.hwnd &&
                           CaptureScreen({p.x, p.y, p.x + 1, p.y + 1}).at(0, 0) == 0;
                }))
                return ::testing::AssertionFailure() << "the covering window did not show";
        }
        return Reached(
            dialog_, [&] { return FocusOfThread(dialog_) == focus; }, "the focus moved");
    }

    // The centre of every control shows that control: nothing lies over it.
    // Not the tab control, whose middle the pages take (its tabs follow),
    // nor a group's frame, which lies under the group's items.
    void CheckNothingCovered(HWND window) const {
        for (HWND c : Descendants(window, true)) {
            if (IsA(c, WC_TABCONTROLW) || ButtonType(c) == BS_GROUPBOX) continue;
            const POINT p = Centre(OuterRect(c));
            const HWND hit = ::WindowFromPoint(p);
            EXPECT_TRUE(hit == c || ::IsChild(c, hit))
                << "the centre " << At(p) << " of " << Name(c) << " shows " << Name(hit);
        }
    }

    // Each tab shows whole inside the tab control and a click there reaches it.
    void CheckTabs() const {
        const HWND tabs = Get(801);
        ASSERT_EQ(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
        for (int i = 0; i < 3; ++i) {
            std::optional<RECT> r = TabRect(i);
            ASSERT_TRUE(r && !::IsRectEmpty(&*r)) << "tab " << i << " has no rectangle";
            const POINT spots[] = {Centre(*r), {r->left + 2, r->top + 2}, {r->right - 3, r->bottom - 3}};
            const POINT* off =
                std::find_if(std::begin(spots), std::end(spots), [&](POINT p) { return ::WindowFromPoint(p) != tabs; });
            EXPECT_TRUE(off == std::end(spots))
                << "tab " << i << " at " << At({r->left, r->top}) << "-" << At({r->right, r->bottom}) << ": the point "
                << At(*off) << " shows " << Name(::WindowFromPoint(*off));
        }
    }

    // Where no control stands, a panel, page or group shows its colour: a
    // group inside its frame below the caption line, the others inside
    // their edge.
    void CheckBackgrounds(HWND window, const Picture& picture) const {
        const RECT outer = OuterRect(window);
        for (HWND c : Descendants(window, true)) {
            if (!IsA(c, L"#32770")) continue;
            HWND colourOf = ::GetDlgCtrlID(c) / 100 == 7 ? ::GetParent(c) : c;  // a group shows its parent's
            const std::uint32_t expected =
                window == dialog_ && ::GetDlgCtrlID(colourOf) / 100 == 4 ? kLightGrey : kWhite;
            RECT area = OuterRect(c);
            ::InflateRect(&area, -2, -2);
            std::vector<RECT> controls;
            HWND frame = nullptr;
            for (HWND h = ::GetWindow(c, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
                if (!::IsWindowVisible(h)) continue;
                if (ButtonType(h) == BS_GROUPBOX)
                    frame = h;
                else
                    controls.push_back(OuterRect(h));
            }
            if (frame) {
                area = OuterRect(frame);
                ::InflateRect(&area, -3, -3);
                LONG itemsTop = area.bottom;
                for (const RECT& item : controls) itemsTop = std::min(itemsTop, item.top);
                area.top = std::max(area.top, itemsTop);
            }
            int wrong = 0;
            POINT first{};
            for (LONG y = area.top; y < area.bottom; ++y) {
                for (LONG x = area.left; x < area.right; ++x) {
                    const POINT p{x, y};
                    if (std::any_of(controls.begin(), controls.end(), [&](const RECT& r) { return ::PtInRect(&r, p); }))
                        continue;
                    if (picture.at(x - outer.left, y - outer.top) != expected && wrong++ == 0) first = p;
                }
            }
            EXPECT_EQ(wrong, 0) << wrong << " pixels of " << Name(c) << " where no control stands are not "
                                << ColourText(expected) << ": the first, at " << At(first) << ", is "
                                << ColourText(picture.at(first.x - outer.left, first.y - outer.top));
        }
    }

    // The focused push button is the default, otherwise ＯＫ: Enter presses
    // the button that wears the border.
    void CheckDefaultButton() const {
        const HWND focus = FocusOfThread(dialog_);
        const int expected = IsPushButton(focus) ? ::GetDlgCtrlID(focus) : 101;
        std::vector<int> defaults;
        for (HWND h : Descendants(dialog_, false))
            if (ButtonType(h) == BS_DEFPUSHBUTTON) defaults.push_back(::GetDlgCtrlID(h));
        EXPECT_EQ(defaults, std::vector<int>{expected})
            << "the push buttons that wear the default border, with the focus on " << Name(focus);
    }

    HWND dialog_ = nullptr;
};

struct State {
    const char* picture;  // tests/e2e/pictures/*.png
    const char* how;
    bool dialog;  // which window is pictured: the dialog or the palette
    std::function<Result()> reach;
};

TEST_F(PicturesTest, EveryStateLooksAsApproved) {
    // The palette at (40, 40) and the dialog at (40, 160), apart; five radius
    // and three diameter presets, as the documentation shows them.
    ASSERT_TRUE(WriteBytes(ConfigurationFile(),
                           Lines({L"40", L"40", L"40", L"160", L"0", L"5", L"5", L"10図寸mm", L"12.5図寸mm", L"2ｍ",
                                  L"3図寸ｍ", L"3", L"20", L"25図寸mm", L"1.5ｍ"})));
    ASSERT_TRUE(WriteBytes(palette.selectionFile(), Lines({kSelectionHeader, L"10図寸mm", kUnspecified, L"0"})));
    ASSERT_TRUE(palette.StartAndWait());
    const auto keys = [&](WORD modifier, WORD vk, int focus) {
        return [=, this] {
            modifier ? PressWith(modifier, vk) : PressKey(vk);
            return Focused(focus);
        };
    };
    const State states[] = {
        {"palette", "as started", false,
         [&] {
             return Reached(
                 palette.window(), [] { return true; }, "not active");
         }},
        {"settings-general", "opened with a click on 設定(&S)", true,
         [&] {
             ::PostMessageW(palette.Control(101), BM_CLICK, 0, 0);
             dialog_ = palette.WaitForDialog();
             return Reached(
                 dialog_, [&] { return ::IsChild(dialog_, FocusOfThread(dialog_)); }, "no dialog");
         }},
        {"settings-general-cancel", "Shift+Tab from the tabs onto キャンセル", true, keys(VK_SHIFT, VK_TAB, 102)},
        {"settings-radius-tabs", "Alt+1", true,
         [&] {
             PressAltKey('1');
             return OnPage(1);
         }},
        {"settings-radius", "the third entry chosen with the keys", true, [&] { return ChooseEntry(501, 2); }},
        {"settings-radius-up", "Tab onto ▲", true, keys(0, VK_TAB, 103)},
        {"settings-radius", "Shift+Tab from ▲ back onto the list", true, keys(VK_SHIFT, VK_TAB, 501)},
        {"settings-diameter-tabs", "a click on the tab 直径入力(&2)", true, [&] { return ClickTab(2); }},
        {"settings-diameter", "the second entry chosen with the keys", true, [&] { return ChooseEntry(502, 1); }},
        {"settings-diameter-add", "the focus on 追加登録", true,
         [&] {
             Focus(Get(111));
             return Focused(111);
         }},
        {"settings-diameter-add", "after another window covered half of it and went away", true,
         [&] { return CoverHalf(); }},
        {"settings-general", "Ctrl+Tab from the last page round to the first", true,
         [&] {
             PressWith(VK_CONTROL, VK_TAB);
             return OnPage(0);
         }},
        {"palette-vertical", "縦型 chosen with the arrow key, Enter", false,
         [&] {
             if (!Focus(Get(7010))) return ::testing::AssertionFailure() << "no focus on 横型";
             PressKey(VK_DOWN);
             if (!WaitFor([&] { return IsChecked(Get(7011)); }))
                 return ::testing::AssertionFailure() << "縦型 unchecked";
             PressKey(VK_RETURN);
             return Reached(
                 palette.window(), [&] { return !::IsWindowVisible(dialog_) && ClientSize(palette.window()).cy == 86; },
                 "the palette did not turn vertical");
         }},
    };
    std::set<std::string> seen;
    for (std::size_t i = 0; i < std::size(states); ++i) {
        const State& s = states[i];
        SCOPED_TRACE(std::string(s.picture) + ", " + s.how);
        ASSERT_TRUE(s.reach());
        const HWND window = s.dialog ? dialog_ : palette.window();
        const std::optional<Capture> capture = CaptureWindow(window);
        ASSERT_TRUE(capture) << "the window kept changing";
        CheckNothingCovered(window);
        CheckBackgrounds(window, capture->picture);
        if (s.dialog) {
            CheckTabs();
            CheckDefaultButton();
        }
        const std::string label = seen.insert(s.picture).second ? s.picture : s.picture + ("-" + std::to_string(i + 1));
        EXPECT_TRUE(MatchesReference(*capture, s.picture, label));
    }
}

}  // namespace
}  // namespace e2e
