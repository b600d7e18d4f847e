// Where a top-level window may stand: a place read from the configuration
// file is kept when the user could have put the window there, that is when
// its caption can still be grabbed; otherwise the window moves onto a screen.
// Computed in 64 bits, as saved places may lie anywhere in the 32-bit range.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace ui {

struct ScreenArea {
    int64_t left = 0, top = 0, right = 0, bottom = 0;
};

// How much of the caption's width must lie inside one work area for the
// user to grab it.
constexpr int64_t kCaptionGrip = 30;

// A window of the outer size `width` x `height` at (left, top), whose caption
// strip is the top `captionHeight` pixels, stays where it is when one work
// area holds at least kCaptionGrip pixels of the caption's width (all of it
// when narrower) and the whole caption's height. Otherwise it moves, keeping
// its size, into the work area nearest to it, as far inside as it fits.
void KeepCaptionReachable(int& left,
                          int& top,
                          int width,
                          int height,
                          int captionHeight,
                          const std::vector<ScreenArea>& workAreas);

// Moves a window of the outer size `width` x `height` at (left, top) as
// KeepCaptionReachable does on this machine's screens.
using ReachableRule = std::function<void(int& left, int& top, int width, int height)>;

}  // namespace ui
