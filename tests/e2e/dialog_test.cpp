// The settings dialog, opened from the palette and worked with the keyboard
// and buttons: pages, the preset lists, the screen type, OK and cancel.
#include <commctrl.h>

#include "tests/e2e/Fixture.h"

namespace e2e {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using Items = std::vector<std::string>;

Items Cp932Items(std::initializer_list<std::wstring_view> texts) {
    Items items;
    for (std::wstring_view t : texts) items.push_back(Cp932(t));
    return items;
}

class DialogTest : public PaletteTest {
protected:
    // Presses "設定(&S)"; the dialog is modal, so the press is posted.
    HWND OpenDialog() {
        ::PostMessageW(palette.Control(101), BM_CLICK, 0, 0);
        HWND dialog = palette.WaitForDialog();
        if (dialog) dialog_ = dialog;
        // Shown, the dialog puts the focus on its first control: a focus set
        // before that would be lost.
        if (dialog && !WaitFor([&] { return ::IsChild(dialog, FocusOfThread(dialog)) != 0; })) return nullptr;
        return dialog;
    }

    HWND Get(int id) const { return FindControl(dialog_, id); }

    int ActivePage() const { return static_cast<int>(::SendMessageW(Get(801), TCM_GETCURSEL, 0, 0)); }

    // Alt + the page's access key ("0", "1", "2"), typed into the dialog.
    ::testing::AssertionResult SelectPage(int page) {
        // A key pressed while Wine is still settling the activation of a
        // window just shown can go astray on a loaded machine: a user would
        // press it again, and so does this, a few times at most.
        bool selected = false;
        for (int attempt = 0; attempt < 3 && !selected; ++attempt) {
            if (!Focus(Get(801))) return ::testing::AssertionFailure() << "the dialog cannot get the keyboard focus";
            PressAltKey(static_cast<WORD>('0' + page));
            selected =
                WaitFor([&] { return ActivePage() == page && ::IsWindowVisible(Get(901 + page)); }, milliseconds(2000));
        }
        if (!selected) return ::testing::AssertionFailure() << "page " << ActivePage() << " is active, not " << page;
        for (int other = 0; other < 3; ++other)
            if (other != page && ::IsWindowVisible(Get(901 + other)))
                return ::testing::AssertionFailure() << "page " << other << " still shows";
        return ::testing::AssertionSuccess();
    }

    // Replaces the text of an edit field by typing.
    ::testing::AssertionResult TypeInto(int editId, std::wstring_view text) {
        HWND edit = Get(editId);
        if (!Focus(edit)) return ::testing::AssertionFailure() << "no focus for " << editId;
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        TypeText(text);
        if (!WaitFor([&] { return TextOf(edit) == Cp932(text); }))
            return ::testing::AssertionFailure() << "the field shows " << Readable(TextOf(edit));
        return ::testing::AssertionSuccess();
    }

    void Click(int id) { ::SendMessageW(Get(id), BM_CLICK, 0, 0); }

    // The unit group's item that is checked, -1 for none.
    int CheckedItem(int firstItemId, int count) const {
        int checked = -1;
        for (int k = 0; k < count; ++k)
            if (IsChecked(Get(firstItemId + k))) checked = checked == -1 ? k : -2;
        return checked;
    }

    // Selects a list entry with a key, as a user does.
    ::testing::AssertionResult SelectWithKey(int listId, WORD key, int expected) {
        if (!Focus(Get(listId))) return ::testing::AssertionFailure() << "no focus for " << listId;
        PressKey(key);
        if (!WaitFor([&] { return ListSelection(Get(listId)) == expected; }))
            return ::testing::AssertionFailure() << "entry " << ListSelection(Get(listId)) << " is selected";
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult ClosedBack() {
        if (!WaitFor([&] { return !::IsWindowVisible(dialog_); }))
            return ::testing::AssertionFailure() << "the dialog still shows";
        if (!WaitFor([&] { return IsTopMost(palette.window()) && ::IsWindowEnabled(palette.window()); }))
            return ::testing::AssertionFailure()
                   << "the palette is not back on top and enabled: topmost " << IsTopMost(palette.window())
                   << ", enabled " << (::IsWindowEnabled(palette.window()) != 0) << ", dialog topmost "
                   << IsTopMost(dialog_);
        return ::testing::AssertionSuccess();
    }

    HWND dialog_ = nullptr;
};

TEST_F(DialogTest, EditedListsGoToThePaletteOnOk) {
    const std::string config = Lines({L"10", L"20", L"30", L"40", L"0", L"2", L"5", L"7図寸mm", L"1", L"3ｍ"});
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), config));
    ASSERT_TRUE(WriteBytes(palette.selectionFile(), Lines({kSelectionHeader, L"12.5図寸mm", kUnspecified, L"0"})));
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_TRUE(SelectionFileBecomes(L"12.5図寸mm", kUnspecified, 0));
    const ULONGLONG selectionTime = LastWriteTime(palette.selectionFile());
    ASSERT_TRUE(IsTopMost(palette.window()));

    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr) << "no settings dialog showed";
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), palette.window());
    EXPECT_FALSE(IsTopMost(palette.window())) << "the palette stays on top of its own dialog";
    EXPECT_FALSE(IsTopMost(dialog));
    EXPECT_TRUE(IsAbove(dialog, palette.window())) << "the dialog is under the palette";
    EXPECT_FALSE(::IsWindowEnabled(palette.window())) << "the palette takes input while the dialog is open";
    EXPECT_EQ(OuterRect(dialog).left, 30);
    EXPECT_EQ(OuterRect(dialog).top, 40);
    EXPECT_EQ(ClientSize(dialog).cx, 338);
    EXPECT_EQ(ClientSize(dialog).cy, 283);
    // Still one counted window: the dialog is owned.
    EXPECT_EQ(RunningPalettes(), std::vector<HWND>{palette.window()});

    // What the dialog starts with: the store's lists, the palette's texts.
    EXPECT_EQ(ActivePage(), 0);
    EXPECT_EQ(CheckedItem(7010, 2), 0);
    E2E_CONTROL(list1, dialog, 501);
    E2E_CONTROL(list2, dialog, 502);
    EXPECT_EQ(ListItems(list1), Cp932Items({L"5", L"7図寸mm"}));
    EXPECT_EQ(ListSelection(list1), -1);
    EXPECT_EQ(ListItems(list2), Cp932Items({L"3ｍ"}));
    EXPECT_EQ(TextOf(Get(601)), "12.5");
    EXPECT_EQ(CheckedItem(7020, 4), 1);
    EXPECT_EQ(TextOf(Get(602)), Cp932(kUnspecified));
    EXPECT_EQ(CheckedItem(7030, 4), 0);

    // Add "25" in actual metres.
    ASSERT_TRUE(SelectPage(1));
    ASSERT_TRUE(TypeInto(601, L"25"));
    Click(7022);
    EXPECT_EQ(CheckedItem(7020, 4), 2);
    Click(106);
    EXPECT_EQ(ListItems(list1), Cp932Items({L"5", L"7図寸mm", L"25ｍ"}));
    EXPECT_EQ(ListSelection(list1), -1);
    EXPECT_EQ(TextOf(Get(601)), "25");

    // No digit: nothing is added and the field gets the focus back.
    ASSERT_TRUE(TypeInto(601, L"abc"));
    Click(106);
    EXPECT_EQ(ListItems(list1), Cp932Items({L"5", L"7図寸mm", L"25ｍ"}));
    EXPECT_TRUE(WaitFor([&] { return FocusOfThread(dialog) == Get(601); }));

    // Selecting an entry shows it split into number and unit.
    ASSERT_TRUE(SelectWithKey(501, VK_HOME, 0));
    EXPECT_TRUE(WaitFor([&] { return TextOf(Get(601)) == "5"; }));
    EXPECT_EQ(CheckedItem(7020, 4), 0);
    ASSERT_TRUE(SelectWithKey(501, VK_DOWN, 1));
    EXPECT_TRUE(WaitFor([&] { return TextOf(Get(601)) == "7"; }));
    EXPECT_EQ(CheckedItem(7020, 4), 1);

    // ▲ moves the selected entry up and keeps it selected; not past the top.
    Click(103);
    EXPECT_EQ(ListItems(list1), Cp932Items({L"7図寸mm", L"5", L"25ｍ"}));
    EXPECT_EQ(ListSelection(list1), 0);
    Click(103);
    EXPECT_EQ(ListItems(list1), Cp932Items({L"7図寸mm", L"5", L"25ｍ"}));
    // ▼ down to the end, not past it; the field is not refreshed by moves.
    Click(104);
    Click(104);
    EXPECT_EQ(ListItems(list1), Cp932Items({L"5", L"25ｍ", L"7図寸mm"}));
    EXPECT_EQ(ListSelection(list1), 2);
    Click(104);
    EXPECT_EQ(ListItems(list1), Cp932Items({L"5", L"25ｍ", L"7図寸mm"}));
    EXPECT_EQ(TextOf(Get(601)), "7");
    EXPECT_EQ(CheckedItem(7020, 4), 1);

    // 削除 removes it and leaves nothing selected.
    Click(105);
    EXPECT_EQ(ListItems(list1), Cp932Items({L"5", L"25ｍ"}));
    EXPECT_EQ(ListSelection(list1), -1);
    Click(105);
    EXPECT_EQ(ListItems(list1), Cp932Items({L"5", L"25ｍ"}));

    // 編集登録 replaces the selected entry, which stays selected.
    ASSERT_TRUE(SelectWithKey(501, VK_END, 1));
    EXPECT_TRUE(WaitFor([&] { return TextOf(Get(601)) == "25"; }));
    EXPECT_EQ(CheckedItem(7020, 4), 2);
    ASSERT_TRUE(TypeInto(601, L"30"));
    Click(7023);
    Click(107);
    EXPECT_EQ(ListItems(list1), Cp932Items({L"5", L"30図寸ｍ"}));
    EXPECT_EQ(ListSelection(list1), 1);

    // The diameter page has its own list.
    ASSERT_TRUE(SelectPage(2));
    ASSERT_TRUE(TypeInto(602, L"8"));
    Click(7033);
    Click(111);
    EXPECT_EQ(ListItems(list2), Cp932Items({L"3ｍ", L"8図寸ｍ"}));

    // OK: the palette's lists follow; its texts and the selection file stay.
    ::PostMessageW(Get(101), BM_CLICK, 0, 0);
    ASSERT_TRUE(ClosedBack());
    // The lists are refilled just after the palette is back on top.
    EXPECT_TRUE(WaitFor([&] {
        return ComboItems(palette.Control(201)) == Cp932Items({kUnspecified, L"5", L"30図寸ｍ"}) &&
               ComboItems(palette.Control(202)) == Cp932Items({kUnspecified, L"3ｍ", L"8図寸ｍ"});
    }));
    EXPECT_EQ(ComboItems(palette.Control(201)), Cp932Items({kUnspecified, L"5", L"30図寸ｍ"}));
    EXPECT_EQ(TextOf(palette.Control(201)), Cp932(L"12.5図寸mm"));
    EXPECT_EQ(TextOf(palette.Control(202)), Cp932(kUnspecified));
    EXPECT_EQ(ClientSize(palette.window()).cx, 346);
    EXPECT_EQ(LastWriteTime(palette.selectionFile()), selectionTime);

    // The lists are in the configuration at close.
    ::PostMessageW(palette.Control(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(palette.WaitForExit());
    EXPECT_TRUE(FileBecomes(
        ConfigurationFile(),
        Lines({L"10", L"20", L"30", L"40", L"0", L"2", L"5", L"30図寸ｍ", L"2", L"3ｍ", L"8図寸ｍ"}), milliseconds(0)));
}

TEST_F(DialogTest, CancelDropsTheEditsAndTheWatcherWaits) {
    const std::string config = Lines({L"196", L"104", L"193", L"115", L"0", L"1", L"5", L"0"});
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), config));
    ASSERT_TRUE(palette.StartAndWait());
    const Items paletteList = Cp932Items({kUnspecified, L"5"});
    ASSERT_EQ(ComboItems(palette.Control(201)), paletteList);

    ASSERT_NE(OpenDialog(), nullptr);
    ASSERT_TRUE(SelectPage(1));
    ASSERT_TRUE(TypeInto(601, L"9"));
    Click(106);
    ASSERT_EQ(ListItems(Get(501)), Cp932Items({L"5", L"9"}));

    // A sync file written meanwhile waits for the dialog to close.
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    FILETIME ft, epoch;
    SYSTEMTIME e{};
    e.wYear = 1899;
    e.wMonth = 12;
    e.wDay = 30;
    ::SystemTimeToFileTime(&now, &ft);
    ::SystemTimeToFileTime(&e, &epoch);
    auto ticks = [](FILETIME f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    double stamp = static_cast<double>(ticks(ft) - ticks(epoch)) / 864000000000.0;
    ASSERT_TRUE(WriteBytes(palette.syncFile(), Lines({std::to_wstring(stamp), L"77", L"88"})));
    EXPECT_TRUE(HoldsFor([&] { return TextOf(palette.Control(201)) == Cp932(kUnspecified); }, milliseconds(2500)));

    // キャンセル: the palette's lists stay.
    ::PostMessageW(Get(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(ClosedBack());
    EXPECT_EQ(ComboItems(palette.Control(201)), paletteList);
    EXPECT_TRUE(WaitFor([&] { return TextOf(palette.Control(201)) == "77"; }, seconds(10)))
        << "the watcher did not resume";

    // The next showing starts from the store again, on the page last used.
    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_EQ(ActivePage(), 1);
    EXPECT_EQ(ListItems(Get(501)), Cp932Items({L"5"}));
    EXPECT_EQ(TextOf(Get(601)), "77");
    Click(106);
    ASSERT_EQ(ListItems(Get(501)), Cp932Items({L"5", L"77"}));
    // The title-bar close box is a cancel too.
    ::PostMessageW(dialog_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(ClosedBack());
    EXPECT_EQ(ComboItems(palette.Control(201)), paletteList);

    // And so is Escape.
    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_EQ(ListItems(Get(501)), Cp932Items({L"5"}));
    Click(106);
    ASSERT_TRUE(Focus(Get(501)));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(ClosedBack());
    EXPECT_EQ(ComboItems(palette.Control(201)), paletteList);

    ::PostMessageW(palette.Control(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(palette.WaitForExit());
    EXPECT_TRUE(FileBecomes(ConfigurationFile(), config, milliseconds(0)));
}

TEST_F(DialogTest, VerticalLayoutAndThePlacesTheUserChoseAreKept) {
    ASSERT_TRUE(palette.StartAndWait());
    // Moved by the user: a new layout changes its size, not its place.
    ASSERT_TRUE(::SetWindowPos(palette.window(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_NE(OpenDialog(), nullptr);
    ASSERT_TRUE(SelectPage(1));
    ASSERT_TRUE(SelectPage(0));
    Click(7011);
    EXPECT_EQ(CheckedItem(7010, 2), 1);
    // Moved by the user while open: remembered.
    ASSERT_TRUE(::SetWindowPos(dialog_, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    // Enter presses the default button, ＯＫ.
    ASSERT_TRUE(Focus(Get(7011)));
    PressKey(VK_RETURN);
    ASSERT_TRUE(ClosedBack());
    // The window and its panels are moved one after the other.
    EXPECT_TRUE(WaitFor([&] {
        RECT p1 = OuterRect(palette.Control(401)), p2 = OuterRect(palette.Control(402));
        SIZE client = ClientSize(palette.window());
        return client.cx == 185 && client.cy == 86 && p2.left == p1.left && p2.top == p1.bottom;
    })) << "client "
        << ClientSize(palette.window()).cx << " x " << ClientSize(palette.window()).cy;
    EXPECT_EQ(OuterRect(palette.window()).left, 300);
    EXPECT_EQ(OuterRect(palette.window()).top, 200);

    // Shown again where it was left: vertical is selected; minimized and
    // closed with the close box, which is a cancel.
    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_EQ(OuterRect(dialog_).left, 400);
    EXPECT_EQ(OuterRect(dialog_).top, 300);
    EXPECT_EQ(CheckedItem(7010, 2), 1);
    Click(7010);
    ::SendMessageW(dialog_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(dialog_) != 0; }));
    ::PostMessageW(dialog_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(ClosedBack());
    EXPECT_EQ(ClientSize(palette.window()).cy, 86);

    // It comes back restored, in its place, and the palette waits for it.
    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_FALSE(::IsIconic(dialog_));
    EXPECT_EQ(OuterRect(dialog_).left, 400);
    EXPECT_EQ(OuterRect(dialog_).top, 300);
    EXPECT_FALSE(::IsWindowEnabled(palette.window()));
    ::PostMessageW(Get(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(ClosedBack());

    ::PostMessageW(palette.Control(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(palette.WaitForExit());
    EXPECT_TRUE(
        FileBecomes(ConfigurationFile(), Lines({L"300", L"200", L"400", L"300", L"1", L"0", L"0"}), milliseconds(0)));
}

TEST_F(DialogTest, TabEnterAndEscapeInTheMemoWorkAsEverywhereInTheDialog) {
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_NE(OpenDialog(), nullptr);
    HWND memo = Get(1001);
    ASSERT_TRUE(Focus(memo));
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return FocusOfThread(dialog_) == Get(101); })) << "Tab stays in the memo";
    PressKey(VK_TAB);
    ASSERT_TRUE(WaitFor([&] { return FocusOfThread(dialog_) == Get(102); }));
    PressWith(VK_SHIFT, VK_TAB);
    PressWith(VK_SHIFT, VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return FocusOfThread(dialog_) == memo; })) << "Shift+Tab does not come back";

    // Escape cancels, and the page keeps its controls.
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(ClosedBack());
    ASSERT_NE(OpenDialog(), nullptr);
    ASSERT_TRUE(::IsWindow(memo));
    ASSERT_NE(Get(7011), nullptr);
    Click(7011);

    // Enter is ＯＫ: the palette takes the vertical layout.
    ASSERT_TRUE(Focus(memo));
    PressKey(VK_RETURN);
    ASSERT_TRUE(ClosedBack());
    EXPECT_TRUE(WaitFor([&] { return ClientSize(palette.window()).cy == 86; }));
}

TEST_F(DialogTest, EnterPressesTheFocusedButtonAndArrowsCycleInAGroup) {
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_NE(OpenDialog(), nullptr);
    ASSERT_TRUE(SelectPage(1));
    ASSERT_TRUE(TypeInto(601, L"25"));
    auto isDefault = [&](int id) { return (::GetWindowLongW(Get(id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; };

    // A focused push button is the default: it wears the border, Enter presses it.
    ASSERT_TRUE(Focus(Get(106)));
    EXPECT_TRUE(WaitFor([&] { return isDefault(106) && !isDefault(101); }));
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return ListItems(Get(501)) == Cp932Items({L"25"}); })) << "追加登録 was not pressed";
    EXPECT_TRUE(::IsWindowVisible(dialog_)) << "Enter pressed ＯＫ";
    // Elsewhere ＯＫ is the default again.
    ASSERT_TRUE(Focus(Get(501)));
    EXPECT_TRUE(WaitFor([&] { return isDefault(101) && !isDefault(106); }));

    // The arrows go round the unit group's items, checking each.
    ASSERT_TRUE(Focus(Get(7023)));
    PressKey(VK_DOWN);
    EXPECT_TRUE(WaitFor([&] { return FocusOfThread(dialog_) == Get(7020) && CheckedItem(7020, 4) == 0; }))
        << "focus on " << ::GetDlgCtrlID(FocusOfThread(dialog_)) << ", item " << CheckedItem(7020, 4) << " checked";
    PressKey(VK_UP);
    EXPECT_TRUE(WaitFor([&] { return FocusOfThread(dialog_) == Get(7023) && CheckedItem(7020, 4) == 3; }));
    ::PostMessageW(Get(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(ClosedBack());
}

TEST_F(DialogTest, ScreenTypeTwoShowsVerticalAndIsStoredAsOne) {
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), Lines({L"196", L"104", L"193", L"115", L"2", L"0", L"0"})));
    ASSERT_TRUE(palette.StartAndWait());
    EXPECT_EQ(ClientSize(palette.window()).cy, 86);
    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_EQ(CheckedItem(7010, 2), 1);
    ::PostMessageW(Get(101), BM_CLICK, 0, 0);
    ASSERT_TRUE(ClosedBack());
    ::PostMessageW(palette.Control(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(palette.WaitForExit());
    EXPECT_TRUE(
        FileBecomes(ConfigurationFile(), Lines({L"196", L"104", L"193", L"115", L"1", L"0", L"0"}), milliseconds(0)));
}

TEST_F(DialogTest, TabGoesFromTheTabsThroughThePageToTheButtonsAndRound) {
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_NE(OpenDialog(), nullptr);
    ASSERT_TRUE(SelectPage(1));
    ASSERT_TRUE(Focus(Get(801)));
    // The unit group is entered at its checked item, 実寸mm for "(無指定)".
    const std::vector<int> cycle{501, 103, 104, 105, 601, 7020, 106, 107, 101, 102, 801};
    for (int id : cycle) {
        PressKey(VK_TAB);
        ASSERT_TRUE(WaitFor([&] { return FocusOfThread(dialog_) == Get(id); }))
            << "Tab reached " << ::GetDlgCtrlID(FocusOfThread(dialog_)) << ", not " << id;
    }
    for (auto id = cycle.rbegin() + 1; id != cycle.rend(); ++id) {
        PressWith(VK_SHIFT, VK_TAB);
        ASSERT_TRUE(WaitFor([&] { return FocusOfThread(dialog_) == Get(*id); }))
            << "Shift+Tab reached " << ::GetDlgCtrlID(FocusOfThread(dialog_)) << ", not " << *id;
    }
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(ClosedBack());
}

TEST_F(DialogTest, CtrlTabAndCtrlPageKeysTurnThePagesFromAnyControl) {
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_NE(OpenDialog(), nullptr);
    auto shows = [&](int page) {
        return WaitFor([&] {
            return ActivePage() == page && ::IsWindowVisible(Get(901 + page)) &&
                   !::IsWindowVisible(Get(901 + (page + 1) % 3)) && !::IsWindowVisible(Get(901 + (page + 2) % 3));
        });
    };
    ASSERT_TRUE(Focus(Get(1001)));
    PressWith(VK_CONTROL, VK_TAB);
    EXPECT_TRUE(shows(1)) << "Ctrl+Tab from the memo";
    ASSERT_TRUE(Focus(Get(601)));
    PressWith(VK_CONTROL, VK_NEXT);
    EXPECT_TRUE(shows(2)) << "Ctrl+PageDown from Edit1";
    ASSERT_TRUE(Focus(Get(102)));
    PressWith(VK_CONTROL, VK_TAB);
    EXPECT_TRUE(shows(0)) << "Ctrl+Tab from the last page goes round to the first";
    EXPECT_EQ(FocusOfThread(dialog_), Get(801)) << "the focus is on the tabs, as after a click on one";
    PressWith(VK_CONTROL, VK_PRIOR);
    EXPECT_TRUE(shows(2)) << "Ctrl+PageUp from the first page goes round to the last";
    std::vector<INPUT> keys(6);
    const WORD order[] = {VK_CONTROL, VK_SHIFT, VK_TAB};
    for (int i = 0; i < 3; ++i) {
        keys[i].type = keys[5 - i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = keys[5 - i].ki.wVk = order[i];
        keys[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    ::SendInput(6, keys.data(), sizeof(INPUT));
    EXPECT_TRUE(shows(1)) << "Ctrl+Shift+Tab";
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(ClosedBack());
}

// The dialog has no task-bar button and the palette under it is disabled:
// minimized, it goes down with the palette, and the palette's button (a
// restore) brings it back, active.
TEST_F(DialogTest, AMinimizedDialogComesBackWithThePalette) {
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_NE(OpenDialog(), nullptr);
    ::SendMessageW(dialog_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(palette.window()) != 0; })) << "the palette stays up alone";
    ::SendMessageW(palette.window(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(WaitFor([&] {
        return !::IsIconic(palette.window()) && ::IsWindowVisible(dialog_) && !::IsIconic(dialog_) &&
               ::GetForegroundWindow() == dialog_;
    })) << "palette iconic "
        << (::IsIconic(palette.window()) != 0) << ", dialog visible " << (::IsWindowVisible(dialog_) != 0)
        << ", iconic " << (::IsIconic(dialog_) != 0);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(ClosedBack()) << "the dialog does not answer the keyboard";
}

}  // namespace
}  // namespace e2e
