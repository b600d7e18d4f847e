// Choosing in the palette by real keyboard input and clicks: every change
// reaches the selection file at once.
#include "tests/e2e/Fixture.h"

namespace e2e {
namespace {

using std::chrono::milliseconds;

// The edit field's selection of a combo box, in characters.
std::pair<int, int> EditSelection(HWND combo) {
    auto sel = static_cast<DWORD>(::SendMessageW(combo, CB_GETEDITSEL, 0, 0));
    return {LOWORD(sel), HIWORD(sel)};
}

// Selects the whole edit text and deletes it with Backspace.
void ClearByBackspace(HWND combo) {
    ::SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    PressKey(VK_BACK);
}

TEST_F(PaletteTest, TypingAndClickingRewriteTheSelectionFile) {
    ASSERT_TRUE(palette.StartAndWait());
    E2E_CONTROL(combo1, palette.window(), 201);
    E2E_CONTROL(radio1, palette.window(), 301);
    E2E_CONTROL(radio2, palette.window(), 302);
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 0));
    ASSERT_TRUE(Focus(combo1)) << "the radius box cannot get the keyboard focus";

    // Backspace in an emptied box still counts as a change: an empty radius.
    ClearByBackspace(combo1);
    ASSERT_TRUE(SelectionFileBecomes(L"", kUnspecified, 0));
    EXPECT_EQ(TextOf(combo1), "");
    // Even in the empty box, Backspace is a change: the file is written again.
    const ULONGLONG emptied = LastWriteTime(palette.selectionFile());
    PressKey(VK_BACK);
    EXPECT_TRUE(WaitFor([&] { return LastWriteTime(palette.selectionFile()) != emptied; }))
        << "Backspace in the empty box did not rewrite the selection file";
    ASSERT_TRUE(SelectionFileBecomes(L"", kUnspecified, 0));
    // Escape changes nothing.
    const ULONGLONG rewritten = LastWriteTime(palette.selectionFile());
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(HoldsFor([&] { return LastWriteTime(palette.selectionFile()) == rewritten; }, milliseconds(1000)));

    // No line of the list begins with "1": the characters go in as typed.
    TypeText(L"1");
    ASSERT_TRUE(SelectionFileBecomes(L"1", kUnspecified, 0));
    TypeText(L"2");
    ASSERT_TRUE(SelectionFileBecomes(L"12", kUnspecified, 0));
    EXPECT_EQ(TextOf(combo1), "12");
    EXPECT_TRUE(IsChecked(radio1));

    // The diameter button makes the diameter the active choice.
    ::SendMessageW(radio2, BM_CLICK, 0, 0);
    ASSERT_TRUE(SelectionFileBecomes(L"12", kUnspecified, 1));
    EXPECT_TRUE(IsChecked(radio2));
    EXPECT_FALSE(IsChecked(radio1));

    // Typing into the radius box makes the radius active again.
    ASSERT_TRUE(Focus(combo1));
    ::SendMessageW(combo1, CB_SETEDITSEL, 0, MAKELPARAM(2, 2));
    TypeText(L"3");
    ASSERT_TRUE(SelectionFileBecomes(L"123", kUnspecified, 0));
    EXPECT_TRUE(IsChecked(radio1));
    EXPECT_FALSE(IsChecked(radio2));

    // And the radius button, clicked back, writes mode 0 again after a 1.
    ::SendMessageW(radio2, BM_CLICK, 0, 0);
    ASSERT_TRUE(SelectionFileBecomes(L"123", kUnspecified, 1));
    ::SendMessageW(radio1, BM_CLICK, 0, 0);
    ASSERT_TRUE(SelectionFileBecomes(L"123", kUnspecified, 0));
}

TEST_F(PaletteTest, PickingFromTheDiameterListWritesThePickedLine) {
    ASSERT_TRUE(
        WriteBytes(ConfigurationFile(), Lines({L"196", L"104", L"193", L"115", L"0", L"0", L"2", L"3ｍ", L"8図寸ｍ"})));
    ASSERT_TRUE(palette.StartAndWait());
    E2E_CONTROL(combo2, palette.window(), 202);
    E2E_CONTROL(radio2, palette.window(), 302);
    ASSERT_EQ(ComboItems(combo2), (std::vector<std::string>{Cp932(kUnspecified), Cp932(L"3ｍ"), Cp932(L"8図寸ｍ")}));
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 0));
    ASSERT_TRUE(Focus(combo2));

    // The down arrow picks the next line of the list, as a user does
    // without opening it; each pick is a change.
    auto pickDown = [&](std::wstring_view wanted) {
        for (int i = 0; i < 4 && TextOf(combo2) != Cp932(wanted); ++i) {
            LRESULT before = ::SendMessageW(combo2, CB_GETCURSEL, 0, 0);
            PressKey(VK_DOWN);
            WaitFor([&] { return ::SendMessageW(combo2, CB_GETCURSEL, 0, 0) != before; });
        }
        return TextOf(combo2) == Cp932(wanted);
    };
    ASSERT_TRUE(pickDown(L"3ｍ")) << "the box shows " << Readable(TextOf(combo2));
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, L"3ｍ", 1));
    EXPECT_TRUE(IsChecked(radio2));
    ASSERT_TRUE(pickDown(L"8図寸ｍ"));
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, L"8図寸ｍ", 1));

    // Picked with the list open: the box's own list window takes the keys.
    ::SendMessageW(combo2, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(combo2, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
    PressKey(VK_UP);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(combo2, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, L"3ｍ", 1));
    EXPECT_EQ(TextOf(combo2), Cp932(L"3ｍ"));
}

TEST_F(PaletteTest, TheWheelChangesAChoiceOnlyInTheBoxTheUserWorksIn) {
    ASSERT_TRUE(
        WriteBytes(ConfigurationFile(), Lines({L"196", L"104", L"193", L"115", L"0", L"0", L"2", L"3ｍ", L"8図寸ｍ"})));
    ASSERT_TRUE(palette.StartAndWait());
    E2E_CONTROL(combo2, palette.window(), 202);
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 0));
    const std::string before = *ReadBytes(palette.selectionFile());
    RECT r = OuterRect(combo2);
    auto wheelDown = [&](HWND target) {
        ::SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                       MAKELPARAM(r.left + 10, r.top + 5));
    };

    // Another program is active; the pointer passes over the palette.
    Decoy decoy;
    ASSERT_TRUE(decoy.TakeForeground());
    wheelDown(combo2);
    EXPECT_TRUE(HoldsFor([&] { return TextOf(combo2) == Cp932(kUnspecified); }, milliseconds(300)));
    EXPECT_EQ(ReadBytes(palette.selectionFile()), before);

    // In the box the user clicked into, the wheel steps the list as usual:
    // from no current line to the first, then on.
    ASSERT_TRUE(Focus(combo2));
    wheelDown(combo2);
    EXPECT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 1));
    wheelDown(combo2);
    EXPECT_TRUE(SelectionFileBecomes(kUnspecified, L"3ｍ", 1));
    EXPECT_EQ(TextOf(combo2), Cp932(L"3ｍ"));
}

TEST_F(PaletteTest, TypingCompletesAgainstThePresets) {
    ASSERT_TRUE(WriteBytes(ConfigurationFile(),
                           Lines({L"196", L"104", L"193", L"115", L"0", L"2", L"10図寸mm", L"12.5図寸mm", L"0"})));
    ASSERT_TRUE(palette.StartAndWait());
    E2E_CONTROL(combo1, palette.window(), 201);
    ASSERT_EQ(ComboItems(combo1),
              (std::vector<std::string>{Cp932(kUnspecified), Cp932(L"10図寸mm"), Cp932(L"12.5図寸mm")}));
    ASSERT_TRUE(Focus(combo1));
    ClearByBackspace(combo1);
    ASSERT_TRUE(SelectionFileBecomes(L"", kUnspecified, 0));

    // "1" completes to the first line beginning with it, the rest selected.
    TypeText(L"1");
    ASSERT_TRUE(SelectionFileBecomes(L"10図寸mm", kUnspecified, 0));
    EXPECT_EQ(TextOf(combo1), Cp932(L"10図寸mm"));
    EXPECT_EQ(EditSelection(combo1), std::make_pair(1, 6));

    // "1" + "2" no longer fits the first line but fits the second.
    TypeText(L"2");
    ASSERT_TRUE(SelectionFileBecomes(L"12.5図寸mm", kUnspecified, 0));
    EXPECT_EQ(TextOf(combo1), Cp932(L"12.5図寸mm"));
    EXPECT_EQ(EditSelection(combo1), std::make_pair(2, 8));

    // "(" completes to "(無指定)", the first line.
    ClearByBackspace(combo1);
    ASSERT_TRUE(SelectionFileBecomes(L"", kUnspecified, 0));
    TypeText(L"(");
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 0));
    EXPECT_EQ(EditSelection(combo1), std::make_pair(1, 5));

    // A character no line continues with goes in where the selection was.
    TypeText(L"x");
    ASSERT_TRUE(SelectionFileBecomes(L"(x", kUnspecified, 0));
}

}  // namespace
}  // namespace e2e
