// The timer's peer: a message-loop timer on a window.
#pragma once
#include <windows.h>

#include "ui/Timer.h"

namespace ui {

// Every handler stops and restarts its timer, so a stop is only noted: the
// restart's SetTimer replaces the pending wait with a fresh one of the full
// interval, and a tick that comes while the model is stopped is dropped and
// ends the system timer then. Each tick thus costs one call into the window
// system instead of two.
class WinTimer final : public TimerPeer {
public:
    WinTimer(Timer& timer, HWND hwnd, UINT_PTR id) : timer_(timer), hwnd_(hwnd), id_(id) { timer.peer = this; }
    ~WinTimer() override { timer_.peer = nullptr; }
    WinTimer(const WinTimer&) = delete;
    WinTimer& operator=(const WinTimer&) = delete;
    void Restart(unsigned intervalMs) override { ::SetTimer(hwnd_, id_, intervalMs, nullptr); }
    void Stop() override {}
    void Tick() {
        if (timer_.enabled())
            timer_.Fire();
        else
            ::KillTimer(hwnd_, id_);
    }
    UINT_PTR id() const { return id_; }

private:
    Timer& timer_;
    HWND hwnd_;
    UINT_PTR id_;
};

}  // namespace ui
