#include <windows.h>

#include <string>

#include "tests/helpers/Platform.h"

namespace testkit::platform {

struct Process {
    HANDLE handle;
};

unsigned long CurrentProcessId() {
    return ::GetCurrentProcessId();
}

os::Path HelperProgramName(const char* base) {
    return os::PathFromAscii(base) + L".exe";
}

namespace {
// Quoting by the rules CommandLineToArgvW undoes; test paths hold no quotes.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
    if (!line.empty()) line.push_back(L' ');
    line.push_back(L'"');
    line.append(arg);
    line.push_back(L'"');
}
}  // namespace

Process* Spawn(const os::Path& program, const std::vector<os::Path>& args) {
    std::wstring line;
    AppendQuoted(line, program);
    for (const auto& a : args) AppendQuoted(line, a);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    return new Process{pi.hProcess};
}

bool HasEnded(Process* p, int& exitCode) {
    if (::WaitForSingleObject(p->handle, 0) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    ::GetExitCodeProcess(p->handle, &code);
    exitCode = static_cast<int>(code);
    return true;
}

void Kill(Process* p) {
    ::TerminateProcess(p->handle, 137);
    ::WaitForSingleObject(p->handle, 30000);
}

void Free(Process* p) {
    ::CloseHandle(p->handle);
    delete p;
}

bool SetLocalWriteTime(const os::Path& path,
                       int year,
                       int month,
                       int day,
                       int hour,
                       int minute,
                       int second,
                       int millisecond) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = static_cast<WORD>(millisecond);
    FILETIME local, utc;
    if (!::SystemTimeToFileTime(&st, &local) || !::LocalFileTimeToFileTime(&local, &utc)) return false;
    HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BOOL ok = ::SetFileTime(h, nullptr, nullptr, &utc);
    ::CloseHandle(h);
    return ok != 0;
}

}  // namespace testkit::platform
