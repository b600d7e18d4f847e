#pragma once
// Each test gets a fresh folder with its own copy of the palette program, so
// that its three files start from nothing (or from what the test puts there).
#include <gtest/gtest.h>

#include "tests/e2e/Harness.h"

namespace e2e {

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder.path().empty()) << "no temporary folder";
        // The program refuses to run beside another copy, wherever that one
        // lives: a palette left over from elsewhere would fail every test.
        ASSERT_TRUE(WaitFor([] { return RunningPalettes().empty(); }, std::chrono::seconds(10)))
            << "another palette is running in this Wine session or desktop";
    }

    // Waits until the selection file holds exactly these four lines.
    ::testing::AssertionResult SelectionFileBecomes(std::wstring_view radius,
                                                    std::wstring_view diameter,
                                                    int mode,
                                                    std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const std::string expected = Lines({kSelectionHeader, radius, diameter, std::to_wstring(mode)});
        return FileBecomes(palette.selectionFile(), expected, timeout);
    }

    static ::testing::AssertionResult FileBecomes(const std::wstring& path,
                                                  const std::string& expected,
                                                  std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        std::optional<std::string> bytes;
        if (WaitFor([&] { return (bytes = ReadBytes(path)) == expected; }, timeout))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected \"" << Readable(expected) << "\", the file holds "
                                             << (bytes ? "\"" + Readable(*bytes) + "\"" : std::string("nothing"));
    }

    // The configuration file's path for the copy in this folder.
    std::wstring ConfigurationFile() const { return folder / L"k307palette.dat"; }
    // Where the palette writes the configuration before it replaces the file.
    std::wstring TemporaryFile() const { return folder / L"k307palette.tmp"; }

    TempFolder folder;
    Palette palette{folder};
};

// A control of a window, failing the test when it is missing.
#define E2E_CONTROL(var, root, id)           \
    HWND var = ::e2e::FindControl(root, id); \
    ASSERT_NE(var, nullptr) << "no control with ID " << (id)

}  // namespace e2e
