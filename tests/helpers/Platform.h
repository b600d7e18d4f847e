#pragma once
// The platform-dependent half of TestSupport: processes and file times.
#include <vector>

#include "os/Os.h"

namespace testkit::platform {

struct Process;

unsigned long CurrentProcessId();
// The helper program's file name as built beside the tests.
os::Path HelperProgramName(const char* base);
// Null when the program cannot be started.
Process* Spawn(const os::Path& program, const std::vector<os::Path>& args);
// True once the process has ended, with its exit code.
bool HasEnded(Process* p, int& exitCode);
// Ends a process this test program started, and waits for it.
void Kill(Process* p);
void Free(Process* p);

bool SetLocalWriteTime(const os::Path& path,
                       int year,
                       int month,
                       int day,
                       int hour,
                       int minute,
                       int second,
                       int millisecond);

}  // namespace testkit::platform
