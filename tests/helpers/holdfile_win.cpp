// holdfile read|write FILE READY RELEASE
// Holds FILE open as another Windows program would: for writing sharing it
// with readers only (as the OS layer's writers do), or for reading sharing it
// with readers only. Creates READY once it has the file and closes it when
// RELEASE appears. Exits 3 when FILE cannot be opened so, 2 on bad arguments,
// 4 when never released.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) return 2;
    bool write = std::wcscmp(argv[1], L"write") == 0;
    if (!write && std::wcscmp(argv[1], L"read") != 0) return 2;
    HANDLE h = ::CreateFileW(argv[2], write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, nullptr,
                             write ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 3;
    HANDLE ready = ::CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE) return 2;
    ::CloseHandle(ready);
    // Bounded, so that a test that died never leaves this behind for long.
    for (int i = 0; i < 24000; ++i) {
        if (::GetFileAttributesW(argv[4]) != INVALID_FILE_ATTRIBUTES) {
            ::CloseHandle(h);
            return 0;
        }
        ::Sleep(5);
    }
    return 4;
}
