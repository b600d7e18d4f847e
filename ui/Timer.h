// The message-loop timer model. Enabling a stopped timer starts a fresh wait
// of the full interval; enabling a running one, or setting the interval it
// has, changes nothing.
#pragma once
#include <functional>

namespace ui {

class TimerPeer {
public:
    virtual ~TimerPeer() = default;
    virtual void Restart(unsigned intervalMs) = 0;
    virtual void Stop() = 0;
};

class Timer {
public:
    bool enabled() const { return enabled_; }
    unsigned interval() const { return interval_; }
    void SetEnabled(bool enabled);
    void SetInterval(unsigned ms);
    std::function<void()> OnTimer;
    // A tick arrived (from the peer, or from a test).
    void Fire() {
        if (enabled_ && OnTimer) OnTimer();
    }
    // The peer that runs the timer; it clears this when it goes.
    TimerPeer* peer = nullptr;
    // Headless bookkeeping: how often a fresh wait was started.
    int starts = 0;

private:
    void StartWait();
    bool enabled_ = false;
    unsigned interval_ = 1000;
};

}  // namespace ui
