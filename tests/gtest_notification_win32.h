#pragma once
// MinGW's win32 thread model has no std::mutex, which GoogleTest's
// Notification is built on; this one, on a Win32 event, stands in for it.
// Force-included into the GoogleTest build for Windows.
#include <windows.h>

namespace testing::internal {
class Notification {
public:
    Notification() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { ::CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { ::SetEvent(event_); }
    void WaitForNotification() { ::WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};
}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
