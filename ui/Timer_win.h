// The timer's peer: a message-loop timer on a window.
#pragma once
#include <windows.h>

#include "ui/Timer.h"

namespace ui {

class WinTimer final : public TimerPeer {
public:
    WinTimer(Timer& timer, HWND hwnd, UINT_PTR id) : timer_(timer), hwnd_(hwnd), id_(id) { timer.peer = this; }
    ~WinTimer() override { timer_.peer = nullptr; }
    WinTimer(const WinTimer&) = delete;
    WinTimer& operator=(const WinTimer&) = delete;
    void Restart(unsigned intervalMs) override { ::SetTimer(hwnd_, id_, intervalMs, nullptr); }
    void Stop() override { ::KillTimer(hwnd_, id_); }
    void Tick() { timer_.Fire(); }
    UINT_PTR id() const { return id_; }

private:
    Timer& timer_;
    HWND hwnd_;
    UINT_PTR id_;
};

}  // namespace ui
