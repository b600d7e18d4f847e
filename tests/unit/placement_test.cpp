// Saved window places against the screens: kept where a user could have put
// the window, brought back where its caption cannot be grabbed.
#include <gtest/gtest.h>

#include <climits>

#include "ui/Placement.h"

namespace {

struct Row {
    const char* what;
    int left, top;
    int expectedLeft, expectedTop;
};

// One 1280 x 1024 screen whose work area ends above a 40-pixel task bar, a
// second one to its right; the window is 352 x 72 with a 28-pixel caption.
const std::vector<ui::ScreenArea> kScreens{{0, 0, 1280, 984}, {1280, 0, 2560, 984}};
constexpr int kWidth = 352, kHeight = 72, kCaption = 28;

const Row kRows[] = {
    {"wholly on the first screen", 196, 104, 196, 104},
    {"on the second screen", 1500, 300, 1500, 300},
    {"across both screens", 1100, 300, 1100, 300},
    {"30 pixels of the caption left at the right edge", 2530, 100, 2530, 100},
    {"29 pixels of the caption left at the right edge", 2531, 100, 2208, 100},
    {"one pixel on the screen at the left", -351, 100, 0, 100},
    {"caption just fits above the task bar", 196, 956, 196, 956},
    {"caption reaches into the task bar", 196, 957, 196, 912},
    {"caption above the screen's top", 196, -1, 196, 0},
    {"largest place", INT_MAX, INT_MAX, 2208, 912},
    {"smallest place", INT_MIN, INT_MIN, 0, 0},
    {"far right, smallest top", INT_MAX, INT_MIN, 2208, 0},
};

TEST(Placement, SavedPlacesKeptOrBroughtOntoTheNearestScreen) {
    for (const Row& row : kRows) {
        int left = row.left, top = row.top;
        ui::KeepCaptionReachable(left, top, kWidth, kHeight, kCaption, kScreens);
        EXPECT_EQ(left, row.expectedLeft) << row.what;
        EXPECT_EQ(top, row.expectedTop) << row.what;
    }
}

TEST(Placement, WindowLargerThanTheScreenStartsAtItsCorner) {
    int left = 5000, top = 5000;
    ui::KeepCaptionReachable(left, top, 2000, 2000, kCaption, {{0, 0, 1280, 984}});
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);
}

}  // namespace
