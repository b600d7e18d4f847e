// The system environment with the monitors, for the Win32 program.
#pragma once
#include "os/Os.h"

namespace ui {

// The system's services plus the monitors: a window saved on a monitor that
// is gone is brought back onto the nearest one.
class DesktopEnvironment final : public os::Environment {
public:
    os::LocalTime Now() override { return os::SystemEnvironment().Now(); }
    std::vector<os::TopWindow> TopLevelWindows() override { return os::SystemEnvironment().TopLevelWindows(); }
    os::Path ProgramPath() override { return os::SystemEnvironment().ProgramPath(); }
    void KeepReachable(int& left, int& top, int width, int height) override;
};

}  // namespace ui
