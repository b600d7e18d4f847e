// The message-loop timer model.
#include "ui/Timer.h"

namespace ui {

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled)
        StartWait();
    else if (peer)
        peer->Stop();
}

void Timer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_) StartWait();
}

void Timer::StartWait() {
    ++starts;
    if (peer) peer->Restart(interval_);
}

}  // namespace ui
