// The palette's files when something stands in their way: a selection file
// another program holds, a hand-made configuration, a configuration held at
// close for a moment or for long, a position off every screen, and a program
// file named so that its configuration would be the selection file.
#include "tests/e2e/Fixture.h"

namespace e2e {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

const std::vector<std::string> kOnlyUnspecified{Cp932(kUnspecified)};

// True when the window lies wholly inside the work area of some monitor.
bool OnScreen(HWND hwnd) {
    RECT r = OuterRect(hwnd);
    HMONITOR monitor = ::MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
    if (!monitor) return false;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(monitor, &info)) return false;
    const RECT& w = info.rcWork;
    return r.left >= w.left && r.top >= w.top && r.right <= w.right && r.bottom <= w.bottom;
}

TEST_F(PaletteTest, HeldSelectionFileGivesDefaultsAndGetsTheChangeOnceFree) {
    const std::string previous = Lines({kSelectionHeader, L"12図寸mm", L"5", L"1"});
    ASSERT_TRUE(WriteBytes(palette.selectionFile(), previous));
    HeldFile hold(palette.selectionFile(), false);
    ASSERT_TRUE(hold.held());

    ASSERT_TRUE(palette.StartAndWait());
    E2E_CONTROL(combo1, palette.window(), 201);
    E2E_CONTROL(combo2, palette.window(), 202);
    E2E_CONTROL(radio1, palette.window(), 301);
    E2E_CONTROL(radio2, palette.window(), 302);
    // The file could not be read: the defaults, not the file's choice.
    EXPECT_EQ(TextOf(combo1), Cp932(kUnspecified));
    EXPECT_EQ(TextOf(combo2), Cp932(kUnspecified));
    EXPECT_TRUE(IsChecked(radio1));
    EXPECT_FALSE(IsChecked(radio2));
    // Nor could it be written or deleted.
    EXPECT_EQ(ReadBytes(palette.selectionFile()), previous);

    // A change while it is held leaves it as it is ...
    ::SendMessageW(radio2, BM_CLICK, 0, 0);
    ASSERT_TRUE(IsChecked(radio2));
    EXPECT_EQ(ReadBytes(palette.selectionFile()), previous);

    // ... until it is free: then the change is written without another one.
    hold.Release();
    EXPECT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 1));
    ::SendMessageW(radio1, BM_CLICK, 0, 0);
    EXPECT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 0));
}

TEST_F(PaletteTest, PreviousChoiceComesBack) {
    ASSERT_TRUE(
        WriteBytes(palette.selectionFile(), Lines({L" \t[Vorna]k307：接円の作図\t ", L" 5 ", L"7図寸ｍ", L"2"})));
    ASSERT_TRUE(palette.StartAndWait());
    E2E_CONTROL(combo1, palette.window(), 201);
    E2E_CONTROL(combo2, palette.window(), 202);
    EXPECT_EQ(TextOf(combo1), " 5 ");
    EXPECT_EQ(TextOf(combo2), Cp932(L"7図寸ｍ"));
    EXPECT_TRUE(IsChecked(palette.Control(302)));
    // Any nonzero mode is the diameter, stored as 1.
    EXPECT_TRUE(SelectionFileBecomes(L" 5 ", L"7図寸ｍ", 1));
}

TEST_F(PaletteTest, HandMadeConfigurationIsShownAndWrittenBackUnchanged) {
    const std::string config = Lines({L"10", L"20", L"30", L"40", L"1", L"2", L"5", L"7図寸mm", L"1", L"3ｍ"});
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), config));
    ASSERT_TRUE(palette.StartAndWait());
    HWND w = palette.window();

    RECT outer = OuterRect(w);
    EXPECT_EQ(outer.left, 10);
    EXPECT_EQ(outer.top, 20);
    SIZE client = ClientSize(w);
    EXPECT_EQ(client.cx, 185);
    EXPECT_EQ(client.cy, 86);
    // Vertical: the buttons' panel right under the selectors'.
    RECT p1 = OuterRect(palette.Control(401)), p2 = OuterRect(palette.Control(402));
    EXPECT_EQ(p2.left, p1.left);
    EXPECT_EQ(p2.top, p1.bottom);

    EXPECT_EQ(ComboItems(palette.Control(201)),
              (std::vector<std::string>{Cp932(kUnspecified), "5", Cp932(L"7図寸mm")}));
    EXPECT_EQ(ComboItems(palette.Control(202)), (std::vector<std::string>{Cp932(kUnspecified), Cp932(L"3ｍ")}));
    // The dialog's window is made when it first opens, where the file says.
    ::PostMessageW(palette.Control(101), BM_CLICK, 0, 0);
    HWND dialog = palette.WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "no settings dialog showed";
    EXPECT_EQ(OuterRect(dialog).left, 30);
    EXPECT_EQ(OuterRect(dialog).top, 40);
    ::PostMessageW(FindControl(dialog, 102), BM_CLICK, 0, 0);  // キャンセル
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog) && ::IsWindowEnabled(palette.window()); }));

    ::PostMessageW(palette.Control(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(palette.WaitForExit());
    EXPECT_TRUE(FileBecomes(ConfigurationFile(), config, milliseconds(0)));
}

TEST_F(PaletteTest, HeldConfigurationSurvivesClose) {
    const std::string config = Lines({L"10", L"20", L"30", L"40", L"0", L"1", L"5", L"0"});
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), config));
    ASSERT_TRUE(palette.StartAndWait());
    // Moved, so that a save that went through would change the file.
    ASSERT_TRUE(::SetWindowPos(palette.window(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    {
        // Held until the palette has ended, however long it waits.
        HeldFile hold(ConfigurationFile(), false);
        ASSERT_TRUE(hold.held());
        ::PostMessageW(palette.Control(102), BM_CLICK, 0, 0);
        ASSERT_TRUE(palette.WaitForExit());
        EXPECT_EQ(palette.ExitCode(), 0u);
    }
    EXPECT_EQ(ReadBytes(ConfigurationFile()), config);
    EXPECT_FALSE(FileExists(TemporaryFile()));

    // The same close without the hold does save the new position.
    Palette again(folder);
    ASSERT_TRUE(again.StartAndWait());
    EXPECT_EQ(OuterRect(again.window()).left, 10);
    ASSERT_TRUE(::SetWindowPos(again.window(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ::PostMessageW(again.Control(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(again.WaitForExit());
    EXPECT_TRUE(
        FileBecomes(ConfigurationFile(), Lines({L"50", L"60", L"30", L"40", L"0", L"1", L"5", L"0"}), milliseconds(0)));
}

// A virus scanner or a backup program opens a file for a moment: a hold that
// ends soon after the close costs nothing.
TEST_F(PaletteTest, ConfigurationHeldForAMomentAtCloseStillGetsTheNewValues) {
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), Lines({L"10", L"20", L"30", L"40", L"0", L"1", L"5", L"0"})));
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_TRUE(::SetWindowPos(palette.window(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    HeldFile hold(ConfigurationFile(), false);
    ASSERT_TRUE(hold.held());
    ::PostMessageW(palette.Control(102), BM_CLICK, 0, 0);
    // The new content waiting beside the held file shows the palette is saving.
    ASSERT_TRUE(WaitFor([&] { return FileExists(TemporaryFile()); })) << "the close wrote nothing to replace it with";
    const auto release = std::chrono::steady_clock::now() + milliseconds(300);
    EXPECT_TRUE(WaitFor([&] {
        if (hold.held() && std::chrono::steady_clock::now() >= release) hold.Release();
        return !palette.Running();
    })) << "the palette still runs";
    EXPECT_EQ(palette.ExitCode(), 0u);
    EXPECT_TRUE(
        FileBecomes(ConfigurationFile(), Lines({L"50", L"60", L"30", L"40", L"0", L"1", L"5", L"0"}), milliseconds(0)));
    EXPECT_FALSE(FileExists(TemporaryFile()));
}

TEST_F(PaletteTest, PositionsOffEveryScreenComeBackOnScreen) {
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), Lines({L"-20000", L"-20000", L"30000", L"30000", L"0", L"0", L"0"})));
    ASSERT_TRUE(palette.StartAndWait());
    EXPECT_TRUE(OnScreen(palette.window()))
        << "palette at " << OuterRect(palette.window()).left << ", " << OuterRect(palette.window()).top;
    ::PostMessageW(palette.Control(101), BM_CLICK, 0, 0);
    HWND dialog = palette.WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "no settings dialog showed";
    EXPECT_TRUE(OnScreen(dialog)) << "dialog at " << OuterRect(dialog).left << ", " << OuterRect(dialog).top;
    ::PostMessageW(FindControl(dialog, 102), BM_CLICK, 0, 0);  // キャンセル
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog) && ::IsWindowEnabled(palette.window()); }));

    // Saved where it now stands.
    const RECT shown = OuterRect(palette.window());
    ::PostMessageW(palette.Control(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(palette.WaitForExit());
    std::optional<std::string> saved = ReadBytes(ConfigurationFile());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->substr(0, saved->find("\r\n", saved->find("\r\n") + 2) + 2),
              Lines({std::to_wstring(shown.left), std::to_wstring(shown.top)}));
}

TEST_F(PaletteTest, PartlyVisiblePositionIsKeptAsReadWhileTheCaptionCanBeGrabbed) {
    // Most of the palette off the left edge, the caption's end still on the
    // screen: where a user could have dragged it, so it stays there.
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), Lines({L"-300", L"900", L"193", L"115", L"0", L"0", L"0"})));
    ASSERT_TRUE(palette.StartAndWait());
    EXPECT_EQ(OuterRect(palette.window()).left, -300);
    EXPECT_EQ(OuterRect(palette.window()).top, 900);
}

TEST_F(PaletteTest, ProgramNamedAfterTheSelectionFileKeepsNoConfiguration) {
    // "k307.exe" would have "k307.dat", the selection file, as its
    // configuration file.
    Palette k307(folder, L"k307.exe");
    ASSERT_EQ(k307.configurationFile(), k307.selectionFile());
    ASSERT_TRUE(WriteBytes(k307.selectionFile(), Lines({kSelectionHeader, L"5", L"7", L"1"})));
    ASSERT_TRUE(k307.StartAndWait());
    // Read as a selection, not as a configuration (which would put the
    // palette at 0, 0 and list the lines as presets).
    EXPECT_EQ(OuterRect(k307.window()).left, 196);
    EXPECT_EQ(OuterRect(k307.window()).top, 104);
    EXPECT_EQ(ComboItems(k307.Control(201)), kOnlyUnspecified);
    EXPECT_EQ(TextOf(k307.Control(201)), "5");
    EXPECT_EQ(TextOf(k307.Control(202)), "7");
    const std::string selection = Lines({kSelectionHeader, L"5", L"7", L"1"});
    ASSERT_TRUE(FileBecomes(k307.selectionFile(), selection));

    ::PostMessageW(k307.Control(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(k307.WaitForExit());
    EXPECT_EQ(ReadBytes(k307.selectionFile()), selection);
    EXPECT_FALSE(FileExists(folder / L"k307.tmp"));
}

// Preset lists longer than a part (1024 entries) reach the boxes in parts
// after the palette is up; they end up whole and in order, and the first key
// already finds them there.
TEST_F(PaletteTest, LongPresetListsAreWholeAndInOrder) {
    std::vector<std::string> radius, diameter;
    std::string config = Lines({L"10", L"20", L"30", L"40", L"0"}) + "3000\r\n";
    for (int i = 1; i <= 3000; ++i) {
        radius.push_back(std::to_string(i) + Cp932(L"図寸mm"));
        config += radius.back() + "\r\n";
    }
    config += "2000\r\n";
    for (int i = 1; i <= 2000; ++i) {
        diameter.push_back(std::to_string(i * 2) + Cp932(L"ｍ"));
        config += diameter.back() + "\r\n";
    }
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), config));
    ASSERT_TRUE(palette.StartAndWait());
    E2E_CONTROL(combo1, palette.window(), 201);
    ASSERT_TRUE(Focus(combo1));
    // From no current line the first press picks "(無指定)", the next line 1.
    for (int i = 0; i < 3 && TextOf(combo1) != radius[0]; ++i) {
        LRESULT before = ::SendMessageW(combo1, CB_GETCURSEL, 0, 0);
        PressKey(VK_DOWN);
        WaitFor([&] { return ::SendMessageW(combo1, CB_GETCURSEL, 0, 0) != before; });
    }
    ASSERT_TRUE(SelectionFileBecomes(L"1図寸mm", kUnspecified, 0));

    radius.insert(radius.begin(), Cp932(kUnspecified));
    diameter.insert(diameter.begin(), Cp932(kUnspecified));
    EXPECT_TRUE(WaitFor([&] { return ComboItems(combo1).size() == radius.size(); }));
    EXPECT_EQ(ComboItems(combo1), radius);
    EXPECT_TRUE(WaitFor([&] { return ComboItems(palette.Control(202)).size() == diameter.size(); }));
    EXPECT_EQ(ComboItems(palette.Control(202)), diameter);
}

// Read-only files (Windows ignores a folder's read-only attribute, so the
// files carry it): nothing can be written, the palette goes on, and both
// files keep what they held.
TEST_F(PaletteTest, ReadOnlyFilesStayAsTheyWereAndThePaletteGoesOn) {
    const std::string selection = Lines({kSelectionHeader, L"12図寸mm", L"5", L"1"});
    const std::string config = Lines({L"10", L"20", L"30", L"40", L"0", L"1", L"5", L"0"});
    ASSERT_TRUE(WriteBytes(palette.selectionFile(), selection));
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), config));
    struct ReadOnly {
        std::vector<std::wstring> files;
        ~ReadOnly() {
            for (const auto& f : files) ::SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    } readOnly{{palette.selectionFile(), ConfigurationFile()}};
    for (const auto& f : readOnly.files) ASSERT_TRUE(::SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine keeps the attribute as missing write permission, which binds
    // every account but root.
    HANDLE probe = ::CreateFileW(palette.selectionFile().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        ::CloseHandle(probe);
        GTEST_SKIP() << "this account may write read-only files";
    }

    ASSERT_TRUE(palette.StartAndWait());
    E2E_CONTROL(radio1, palette.window(), 301);
    E2E_CONTROL(combo1, palette.window(), 201);
    EXPECT_EQ(TextOf(combo1), Cp932(L"12図寸mm")) << "a read-only file still reads";
    ::SendMessageW(radio1, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsChecked(radio1));
    ASSERT_TRUE(::SetWindowPos(palette.window(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ::PostMessageW(palette.Control(102), BM_CLICK, 0, 0);
    ASSERT_TRUE(palette.WaitForExit());
    EXPECT_EQ(palette.ExitCode(), 0u);
    EXPECT_EQ(ReadBytes(palette.selectionFile()), selection);
    EXPECT_EQ(ReadBytes(ConfigurationFile()), config);
    EXPECT_FALSE(FileExists(TemporaryFile()));
}

}  // namespace
}  // namespace e2e
