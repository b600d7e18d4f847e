// Closing the palette: every way of closing ends the program and saves the
// configuration; a session end saves it too.
#include <algorithm>

#include "tests/e2e/Fixture.h"

namespace e2e {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// The configuration that a palette with built-in positions and empty lists
// saves: four positions, the screen type and two counts of zero.
std::string BuiltInConfiguration() {
    return Lines({L"196", L"104", L"193", L"115", L"0", L"0", L"0"});
}

// The names of the files in the folder, sorted.
std::vector<std::wstring> FilesIn(const TempFolder& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW((folder.path() + L"*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (::FindNextFileW(h, &found));
    ::FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

void PressClose(HWND palette) {
    ::PostMessageW(FindControl(palette, 102), BM_CLICK, 0, 0);
}

class CloseTest : public PaletteTest {
protected:
    // Starts the palette, closes it by `close` and checks that the program
    // ends, leaves the selection file alone and saves `expected`.
    void CloseAndCheck(const std::function<void(HWND)>& close, const std::string& expected) {
        const std::optional<std::string> selection = ReadBytes(palette.selectionFile());
        const ULONGLONG selectionTime = LastWriteTime(palette.selectionFile());
        close(palette.window());
        ASSERT_TRUE(palette.WaitForExit()) << "the palette still runs";
        EXPECT_EQ(palette.ExitCode(), 0u);
        EXPECT_TRUE(FileBecomes(ConfigurationFile(), expected, milliseconds(0)));
        EXPECT_EQ(ReadBytes(palette.selectionFile()), selection);
        EXPECT_EQ(LastWriteTime(palette.selectionFile()), selectionTime) << "the selection file was written at close";
        // Nothing half-written stays behind.
        EXPECT_EQ(FilesIn(folder), (std::vector<std::wstring>{L"k307.dat", L"k307palette.dat", L"k307palette.exe"}));
    }
};

TEST_F(CloseTest, CloseButtonSavesTheConfiguration) {
    ASSERT_TRUE(palette.StartAndWait());
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 0));
    CloseAndCheck(PressClose, BuiltInConfiguration());
}

TEST_F(CloseTest, TitleBarCloseSavesTheConfiguration) {
    ASSERT_TRUE(palette.StartAndWait());
    CloseAndCheck([](HWND w) { ::PostMessageW(w, WM_CLOSE, 0, 0); }, BuiltInConfiguration());
}

TEST_F(CloseTest, SystemMenuCloseSavesWhereTheUserMovedThePalette) {
    ASSERT_TRUE(palette.StartAndWait());
    // Moved as a user drags it: the saved position is where it stands.
    ASSERT_TRUE(::SetWindowPos(palette.window(), nullptr, 250, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(WaitFor([&] { return OuterRect(palette.window()).left == 250; }));
    CloseAndCheck([](HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); },
                  Lines({L"250", L"300", L"193", L"115", L"0", L"0", L"0"}));
}

TEST_F(CloseTest, SessionEndSavesTheConfiguration) {
    ASSERT_TRUE(palette.StartAndWait());
    CloseAndCheck(
        [](HWND w) {
            DWORD_PTR agreed = 0;
            ASSERT_TRUE(::SendMessageTimeoutW(w, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &agreed));
            EXPECT_NE(agreed, 0u) << "the palette refused to let the session end";
            // The window may be gone before the answer comes back.
            ::SendMessageTimeoutW(w, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        },
        BuiltInConfiguration());
}

TEST_F(CloseTest, CancelledSessionEndChangesNothing) {
    ASSERT_TRUE(palette.StartAndWait());
    DWORD_PTR agreed = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(palette.window(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &agreed));
    ASSERT_TRUE(::SendMessageTimeoutW(palette.window(), WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG, 5000, nullptr));
    EXPECT_TRUE(HoldsFor([&] { return palette.Running() && !FileExists(ConfigurationFile()); }, milliseconds(1500)));
    // Still a working palette.
    E2E_CONTROL(radio2, palette.window(), 302);
    ::SendMessageW(radio2, BM_CLICK, 0, 0);
    ASSERT_TRUE(SelectionFileBecomes(kUnspecified, kUnspecified, 1));
    CloseAndCheck(PressClose, BuiltInConfiguration());
}

}  // namespace
}  // namespace e2e
