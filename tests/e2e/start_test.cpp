// Starting the program: the first start in an empty folder, and the rule that
// only one copy runs.
#include "tests/e2e/Fixture.h"

namespace e2e {
namespace {

using std::chrono::seconds;

std::string Describe(HWND h) {
    wchar_t title[256] = L"";
    ::GetWindowTextW(h, title, 256);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    return "\"" + Cp932(title) + "\" of process " + std::to_string(pid);
}

std::string DefaultSelection() {
    return Lines({kSelectionHeader, kUnspecified, kUnspecified, L"0"});
}

TEST_F(PaletteTest, FirstStartShowsDefaultsAndWritesTheSelectionFile) {
    ASSERT_TRUE(palette.StartAndWait());
    HWND w = palette.window();

    RECT outer = OuterRect(w);
    EXPECT_EQ(outer.left, 196);
    EXPECT_EQ(outer.top, 104);
    SIZE client = ClientSize(w);
    EXPECT_EQ(client.cx, 346);
    EXPECT_EQ(client.cy, 43);
    EXPECT_TRUE(IsTopMost(w));

    for (int id : {101, 102, 201, 202, 301, 302, 401, 402}) EXPECT_NE(palette.Control(id), nullptr) << "ID " << id;
    E2E_CONTROL(combo1, w, 201);
    E2E_CONTROL(combo2, w, 202);
    E2E_CONTROL(radio1, w, 301);
    E2E_CONTROL(radio2, w, 302);
    const std::vector<std::string> onlyUnspecified{Cp932(kUnspecified)};
    EXPECT_EQ(ComboItems(combo1), onlyUnspecified);
    EXPECT_EQ(ComboItems(combo2), onlyUnspecified);
    EXPECT_EQ(TextOf(combo1), Cp932(kUnspecified));
    EXPECT_EQ(TextOf(combo2), Cp932(kUnspecified));
    EXPECT_TRUE(IsChecked(radio1));
    EXPECT_FALSE(IsChecked(radio2));
    EXPECT_EQ(TextOf(palette.Control(101)), Cp932(L"設定(&S)"));
    EXPECT_EQ(TextOf(palette.Control(102)), Cp932(L"閉じる(&X)"));

    // The panels: side by side, the selectors left.
    RECT p1 = OuterRect(palette.Control(401)), p2 = OuterRect(palette.Control(402));
    EXPECT_EQ(p1.right - p1.left, 185);
    EXPECT_EQ(p2.right - p2.left, 161);
    EXPECT_EQ(p2.left, p1.right);
    EXPECT_EQ(p2.top, p1.top);

    // The selection file, byte for byte; "(無指定)" spelled out in code page
    // 932 so that the check does not rest on the conversion alone.
    std::optional<std::string> bytes;
    ASSERT_TRUE(WaitFor([&] { return (bytes = ReadBytes(palette.selectionFile())) == DefaultSelection(); }))
        << "k307.dat holds: " << bytes.value_or("<missing>");
    EXPECT_NE(bytes->find("\r\n(\x96\xB3\x8E\x77\x92\xE8)\r\n(\x96\xB3\x8E\x77\x92\xE8)\r\n0\r\n"), std::string::npos);

    // Nothing else is written while the palette runs.
    EXPECT_FALSE(FileExists(ConfigurationFile()));
    EXPECT_FALSE(FileExists(palette.syncFile()));
    EXPECT_TRUE(palette.Running());
}

TEST_F(PaletteTest, SecondCopyLeavesAtOnceAndTouchesNothing) {
    // A configuration with a position of its own, so that both the file and
    // the window can be seen to stay as they were.
    const std::string config = Lines({L"300", L"200", L"30", L"40", L"0", L"1", L"5", L"0"});
    ASSERT_TRUE(WriteBytes(ConfigurationFile(), config));
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_TRUE(WaitFor([&] { return ReadBytes(palette.selectionFile()) == DefaultSelection(); }));
    const ULONGLONG selectionTime = LastWriteTime(palette.selectionFile());
    const ULONGLONG configTime = LastWriteTime(ConfigurationFile());
    const RECT before = OuterRect(palette.window());
    ASSERT_EQ(before.left, 300);
    ASSERT_EQ(before.top, 200);

    Decoy decoy;
    ASSERT_TRUE(decoy.TakeForeground()) << "the test cannot take the foreground";

    Palette second(folder);
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitForExit(seconds(15))) << "the second copy still runs";
    EXPECT_EQ(second.ExitCode(), 0u);

    EXPECT_TRUE(palette.Running());
    HWND foreground = ::GetForegroundWindow();
    EXPECT_NE(foreground, palette.window()) << "the second copy brought the first to the front";
    EXPECT_EQ(foreground, decoy.hwnd()) << "the second copy activated another window: " << Describe(foreground);
    EXPECT_EQ(ReadBytes(palette.selectionFile()), DefaultSelection());
    EXPECT_EQ(LastWriteTime(palette.selectionFile()), selectionTime);
    EXPECT_EQ(ReadBytes(ConfigurationFile()), config);
    EXPECT_EQ(LastWriteTime(ConfigurationFile()), configTime);
    RECT after = OuterRect(palette.window());
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_TRUE(IsTopMost(palette.window()));
    // Still one palette window, the first copy's.
    EXPECT_EQ(RunningPalettes(), std::vector<HWND>{palette.window()});
}

// A second and a third copy started together, while one runs: each counts
// two or more palettes and leaves; the first goes on untouched.
TEST_F(PaletteTest, SecondAndThirdCopyStartedAtOnceBothLeave) {
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_TRUE(WaitFor([&] { return ReadBytes(palette.selectionFile()) == DefaultSelection(); }));
    const ULONGLONG selectionTime = LastWriteTime(palette.selectionFile());

    TempFolder otherFolder;
    Palette second(folder), third(otherFolder);
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(third.Start());
    ASSERT_TRUE(second.WaitForExit(seconds(15))) << "the second copy still runs";
    ASSERT_TRUE(third.WaitForExit(seconds(15))) << "the third copy still runs";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(third.ExitCode(), 0u);

    EXPECT_TRUE(palette.Running());
    EXPECT_EQ(RunningPalettes(), std::vector<HWND>{palette.window()});
    EXPECT_EQ(LastWriteTime(palette.selectionFile()), selectionTime);
    EXPECT_FALSE(FileExists(ConfigurationFile()));
    EXPECT_FALSE(FileExists(third.selectionFile())) << "the third copy wrote a selection file";
    EXPECT_FALSE(FileExists(third.configurationFile()));
}

}  // namespace
}  // namespace e2e
