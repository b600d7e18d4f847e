// Where a saved window place may stay: the caption within reach, in 64 bits.
#include "ui/Placement.h"

#include <algorithm>
#include <limits>

namespace ui {

namespace {

bool CaptionReachable(const ScreenArea& window, int64_t captionHeight, const ScreenArea& area) {
    int64_t inside = std::min(window.right, area.right) - std::max(window.left, area.left);
    int64_t needed = std::min(kCaptionGrip, window.right - window.left);
    return inside >= needed && window.top >= area.top && window.top + captionHeight <= area.bottom;
}

// The gap between two rectangles, across plus down; zero when they touch.
// Squares of gaps near 2^32 would overflow even 64 bits.
int64_t Distance(const ScreenArea& a, const ScreenArea& b) {
    int64_t dx = std::max<int64_t>({0, b.left - a.right, a.left - b.right});
    int64_t dy = std::max<int64_t>({0, b.top - a.bottom, a.top - b.bottom});
    return dx + dy;
}

// `start` moved so that [start, start + length) lies inside [low, high), or
// begins at `low` when it is longer than that.
int64_t Fit(int64_t start, int64_t length, int64_t low, int64_t high) {
    return std::max(low, std::min(start, high - length));
}

}  // namespace

void KeepCaptionReachable(int& left,
                          int& top,
                          int width,
                          int height,
                          int captionHeight,
                          const std::vector<ScreenArea>& workAreas) {
    const ScreenArea window{left, top, int64_t{left} + width, int64_t{top} + height};
    const ScreenArea* nearest = nullptr;
    int64_t best = std::numeric_limits<int64_t>::max();
    for (const ScreenArea& area : workAreas) {
        if (CaptionReachable(window, captionHeight, area)) return;
        int64_t d = Distance(window, area);
        if (d < best) {
            best = d;
            nearest = &area;
        }
    }
    if (!nearest) return;  // no screen known: nothing to measure against
    left = static_cast<int>(Fit(window.left, width, nearest->left, nearest->right));
    top = static_cast<int>(Fit(window.top, height, nearest->top, nearest->bottom));
}

}  // namespace ui
