// Win32 implementation of the OS layer, W APIs only.
#include <windows.h>
// <windows.h> maps these names to DeleteFileW and ReplaceFileW; left defined
// they would rename the layer's own functions and break the link.
#undef DeleteFile
#undef ReplaceFile

#include <string>
#include <utility>

#include "os/Cp932_win.h"
#include "os/Faults.h"
#include "os/Os.h"

namespace os {

namespace {
constexpr UINT kCp932 = 932;

// Windows refuses a path of MAX_PATH (260) characters or more unless it comes
// in the extended form, "\\?\C:\..." or "\\?\UNC\server\share\...", or the
// machine has long paths switched on (Windows 10 1607 and later, for a
// program whose manifest asks for them). A folder deep in a project tree
// reaches that length, and "k307.dat" is longer than a short program name.
// Paths well below the limit go as they are, so that what Windows makes of
// them stays as it always was, and cost no copy: the watcher's idle tick asks
// for a file stamp every second.
class Win32Path {
public:
    explicit Win32Path(const Path& path) : path_(path) {
        if (path.size() < MAX_PATH - 12 || StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) return;
        // The extended form is taken as it stands, so the full path is made
        // first: "/" turned into backslashes, "." and ".." resolved.
        DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
        if (size == 0) return;
        Path full(size, L'\0');
        DWORD n = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
        if (n == 0 || n >= size) return;
        full.resize(n);
        if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) {
            extended_ = std::move(full);
        } else if (StartsWith(full, L"\\\\")) {
            extended_ = L"\\\\?\\UNC\\" + full.substr(2);
        } else {
            extended_ = L"\\\\?\\" + full;
        }
    }
    const wchar_t* c_str() const { return extended_.empty() ? path_.c_str() : extended_.c_str(); }

private:
    static bool StartsWith(const Path& p, const wchar_t* prefix) { return p.rfind(prefix, 0) == 0; }
    const Path& path_;
    Path extended_;
};

// Another program has the file open without sharing what this one asks for,
// or has it locked or mapped (a reader mapping the file makes a truncating
// open fail with ERROR_USER_MAPPED_FILE): it is there, whole, and free again
// once that program lets go.
bool HeldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE;
}
}  // namespace

void WideFrom932(std::string_view text, std::wstring& out) {
    out.clear();
    // Plain ASCII reads the same in code page 932 and needs no call at all;
    // otherwise one call for the whole text, which succeeds only when every
    // character is valid and then gives what the careful way below gives.
    // Lists of 32766 presets go through here at start and in the dialog.
    std::size_t ascii = 0;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
    if (ascii == text.size()) {
        out.assign(text.begin(), text.end());
        return;
    }
    if (text.size() <= 0x7FFFFFFF) {
        out.resize(text.size());
        int n = ::MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                      out.data(), static_cast<int>(out.size()));
        if (n > 0) {
            out.resize(static_cast<std::size_t>(n));
            return;
        }
        out.clear();
    }
    out.reserve(text.size());
    // Character by character, so that one invalid byte spoils only itself.
    std::size_t i = 0;
    while (i < text.size()) {
        // The system's own table of code page 932 lead bytes.
        const std::size_t len = ::IsDBCSLeadByteEx(kCp932, static_cast<BYTE>(text[i])) && i + 1 < text.size() ? 2 : 1;
        wchar_t w[2];
        int n = ::MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, text.data() + i, static_cast<int>(len), w, 2);
        if (n == 1) {
            out.push_back(w[0]);
        } else {
            for (std::size_t k = 0; k < len; ++k) out.push_back(L'\xFFFD');
        }
        i += len;
    }
}

std::wstring WideFrom932(std::string_view text) {
    std::wstring out;
    WideFrom932(text, out);
    return out;
}

bool Cp932FromWide(std::wstring_view wide, std::string& out) {
    if (wide.empty()) {
        out.clear();
        return true;
    }
    int n = ::WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                  nullptr, nullptr);
    if (n <= 0) return false;
    std::string bytes(static_cast<std::size_t>(n), '\0');
    BOOL usedDefault = FALSE;
    ::WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), bytes.data(), n,
                          nullptr, &usedDefault);
    if (usedDefault) return false;
    out = std::move(bytes);
    return true;
}

bool WideUnitFrom932(std::string_view character, wchar_t& unit) {
    std::wstring w = WideFrom932(character);
    if (w.size() != 1) return false;
    unit = w[0];
    return true;
}

bool Append932FromWide(wchar_t unit, std::string& out) {
    std::string bytes;
    if (!Cp932FromWide(std::wstring_view(&unit, 1), bytes)) return false;
    out += bytes;
    return true;
}

std::string Cp932FromWideLossy(std::wstring_view wide) {
    if (wide.empty()) return {};
    int n = ::WideCharToMultiByte(kCp932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string bytes(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(kCp932, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::string PathToUtf8(const Path& path) {
    if (path.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), out.data(), n, nullptr, nullptr);
    return out;
}

Path PathFromUtf8(std::string_view utf8) {
    if (utf8.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    Path out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

bool SamePathIgnoringCase(const Path& a, const Path& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

File File::OpenRead(const Path& path) {
    if (FaultHit(Op::Open)) return File();
    HANDLE h = ::CreateFileW(Win32Path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return File();
    CountOpenFiles(1);
    return File(h);
}

File File::CreateWrite(const Path& path) {
    if (FaultHit(Op::Open)) return File();
    const Win32Path native(path);
    auto create = [&](DWORD attributes) {
        return ::CreateFileW(native.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, attributes,
                             nullptr);
    };
    HANDLE h = create(FILE_ATTRIBUTE_NORMAL);
    DWORD error = h == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
    if (error == ERROR_ACCESS_DENIED) {
        // Windows truncates a hidden or system file only for an open that
        // gives the same attributes; the file stays as the user made it.
        const DWORD existing = ::GetFileAttributesW(native.c_str());
        const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) && (existing & kept)) {
            h = create(existing & kept);
            error = h == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
        }
    }
    if (h == INVALID_HANDLE_VALUE) return HeldByAnother(error) ? HeldElsewhere() : File();
    CountOpenFiles(1);
    return File(h);
}

bool File::Read(char* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    if (!IsOpen() || FaultHit(Op::Read)) return false;
    DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD n = 0;
    if (!::ReadFile(handle_, buffer, chunk, &n, nullptr)) return false;
    got = n;
    return true;
}

bool File::Write(std::string_view data) {
    if (!IsOpen() || FaultHit(Op::Write)) return false;
    while (!data.empty()) {
        DWORD chunk = data.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(data.size());
        DWORD n = 0;
        if (!::WriteFile(handle_, data.data(), chunk, &n, nullptr) || n == 0) return false;
        data.remove_prefix(n);
    }
    return true;
}

bool File::Flush() {
    if (!IsOpen() || FaultHit(Op::Flush)) return false;
    return ::FlushFileBuffers(handle_) != 0;
}

bool File::Close() {
    if (!IsOpen()) return true;
    bool ok = !FaultHit(Op::Close);
    if (!::CloseHandle(handle_)) ok = false;
    handle_ = kInvalid;
    CountOpenFiles(-1);
    return ok;
}

bool DeleteFile(const Path& path) {
    if (FaultHit(Op::Delete)) return false;
    return ::DeleteFileW(Win32Path(path).c_str()) != 0;
}

ReplaceOutcome TryReplaceFile(const Path& source, const Path& target) {
    if (FaultHit(Op::Replace)) return ReplaceOutcome::Failed;
    if (FaultHeld(Op::Replace)) return ReplaceOutcome::Held;
    const Win32Path to(target);
    // Windows refuses to replace a read-only file; Wine, which keeps the
    // attribute as a missing write permission, renames over it. Read-only
    // is no hold: waiting would not change it.
    const DWORD attributes = ::GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ReplaceOutcome::Failed;
    if (::MoveFileExW(Win32Path(source).c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ReplaceOutcome::Done;
    // A target that another program has open without sharing deletion
    // cannot be renamed over: Windows says access denied for that, as it
    // does for a file a reader has mapped.
    const DWORD error = ::GetLastError();
    return error == ERROR_ACCESS_DENIED || HeldByAnother(error) ? ReplaceOutcome::Held : ReplaceOutcome::Failed;
}

void Pause(int milliseconds) {
    ::Sleep(static_cast<DWORD>(milliseconds));
}

int32_t FileStamp(const Path& path) {
    if (FaultHit(Op::Stamp)) return -1;
    // One metadata query, no handle, no allocation: the watcher's idle tick
    // is nothing but this.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(Win32Path(path).c_str(), GetFileExInfoStandard, &data)) return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    // The local time asks for the time zone (under Wine, two looks at
    // /etc/localtime): a file written when it was last asked about keeps
    // the stamp it had then.
    thread_local Path lastPath;
    thread_local FILETIME lastWrite{};
    thread_local int32_t lastStamp = -1;
    if (lastStamp != -1 && path == lastPath && ::CompareFileTime(&data.ftLastWriteTime, &lastWrite) == 0)
        return lastStamp;
    FILETIME local;
    WORD date = 0, time = 0;
    if (!::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local)) return -1;
    // Wine's FileTimeToDosDateTime does not refuse years after 2107: their
    // year field wraps round to the 1980s and a file from 2108 would pass
    // for one from 1980.
    SYSTEMTIME st;
    if (!::FileTimeToSystemTime(&local, &st) || st.wYear < 1980 || st.wYear > 2107) return -1;
    if (!::FileTimeToDosDateTime(&local, &date, &time)) return -1;
    lastPath = path;
    lastWrite = data.ftLastWriteTime;
    lastStamp = static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
    return lastStamp;
}

bool SetFileStamp(const Path& path, int32_t dosStamp) {
    auto packed = static_cast<uint32_t>(dosStamp);
    FILETIME local, utc;
    if (!::DosDateTimeToFileTime(static_cast<WORD>(packed >> 16), static_cast<WORD>(packed & 0xFFFF), &local))
        return false;
    if (!::LocalFileTimeToFileTime(&local, &utc)) return false;
    HANDLE h = ::CreateFileW(Win32Path(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BOOL ok = ::SetFileTime(h, nullptr, nullptr, &utc);
    ::CloseHandle(h);
    return ok != 0;
}

namespace {
BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    auto* list = reinterpret_cast<std::vector<TopWindow>*>(param);
    TopWindow w;
    w.hasOwner = ::GetWindow(hwnd, GW_OWNER) != nullptr;
    w.visible = ::IsWindowVisible(hwnd) != 0;
    if (!w.hasOwner && w.visible) {
        wchar_t title[256];
        int n = ::GetWindowTextW(hwnd, title, 256);
        w.title = Cp932FromWideLossy(std::wstring_view(title, n > 0 ? static_cast<std::size_t>(n) : 0));
        if (w.title.size() > 254) w.title.resize(254);
    }
    list->push_back(std::move(w));
    return TRUE;  // always on to the last window
}

class WinEnvironment final : public Environment {
public:
    LocalTime Now() override {
        SYSTEMTIME st;
        ::GetLocalTime(&st);
        return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
    }
    std::vector<TopWindow> TopLevelWindows() override {
        std::vector<TopWindow> list;
        ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&list));
        return list;
    }
    Path ProgramPath() override {
        std::wstring buf(MAX_PATH, L'\0');
        for (;;) {
            DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
            if (n == 0) return {};
            if (n < buf.size()) {
                buf.resize(n);
                return buf;
            }
            buf.resize(buf.size() * 2);  // long paths (\\?\) may exceed MAX_PATH
        }
    }
};
}  // namespace

Environment& SystemEnvironment() {
    static WinEnvironment env;
    return env;
}

}  // namespace os
