#pragma once
// Pictures of windows as the screen shows them, PNG files through the
// Windows Imaging Component, and the comparison with the approved pictures
// kept in tests/e2e/pictures/.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Pixels as 0xRRGGBB, rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool operator==(const Picture&) const = default;
};

constexpr std::uint32_t PixelOf(COLORREF c) {
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}
// "RGB(r, g, b)", for failure messages.
std::string ColourText(std::uint32_t pixel);

// A window's picture with the part that may change by itself: the text
// caret, in the picture's coordinates (empty without one).
struct Capture {
    Picture picture;
    RECT caret{};
};

// What the screen shows in a rectangle of screen coordinates.
Picture CaptureScreen(const RECT& area);
// The window as the screen shows it, title bar and frame included, taken
// once its thread has done what it was asked and two pictures in a row
// agree; nothing when it keeps changing for seconds.
std::optional<Capture> CaptureWindow(HWND window);

bool WritePng(const std::wstring& path, const Picture& picture);
std::optional<Picture> ReadPng(const std::wstring& path);

// Removes what an earlier run left in the folder of pictures that differed.
void ClearFailedPictures();
// Compares the capture with tests/e2e/pictures/NAME.png. On a difference it
// writes the capture and a picture of the difference to pictures-failed/
// beside the test program, as LABEL.png and LABEL.diff.png, and names both.
// With K307_UPDATE_PICTURES=1 the first capture of each name in a run
// becomes its reference instead (the file is rewritten only when the
// comparison fails), and later ones are compared with it.
::testing::AssertionResult MatchesReference(const Capture& capture, const std::string& name, const std::string& label);

}  // namespace e2e
