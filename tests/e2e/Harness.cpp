#include "tests/e2e/Harness.h"

#include <cwchar>

namespace e2e {

const wchar_t* const kCaption = L"[Vorna] k307：接円の作図";
const wchar_t* const kSelectionHeader = L"[Vorna]k307：接円の作図";
const wchar_t* const kUnspecified = L"(無指定)";

namespace {

constexpr UINT kMessageTimeoutMs = 5000;

std::wstring Title(HWND hwnd) {
    wchar_t buffer[512];
    int n = ::GetWindowTextW(hwnd, buffer, 512);
    return std::wstring(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
}

LRESULT Ask(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result)) return -1;
    return static_cast<LRESULT>(result);
}

// Every palette a test starts belongs to this job, so that none outlives the
// test program even if the program itself is killed.
HANDLE Job() {
    static HANDLE job = [] {
        HANDLE j = ::CreateJobObjectW(nullptr, nullptr);
        if (j) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            ::SetInformationJobObject(j, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        }
        return j;
    }();
    return job;
}

void Send(std::vector<INPUT>& inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    switch (vk) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
        case VK_DELETE:
            in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            break;
        default:
            break;
    }
    return in;
}

}  // namespace

std::string Cp932(std::wstring_view wide) {
    if (wide.empty()) return {};
    int n = ::WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string Readable(std::string_view cp932) {
    int n = ::MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), wide.data(), n);
    std::wstring shown;
    for (wchar_t c : wide) {
        if (c == L'\n') continue;
        shown += c == L'\r' ? L'|' : c;
    }
    int m =
        ::WideCharToMultiByte(CP_UTF8, 0, shown.data(), static_cast<int>(shown.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(m), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, shown.data(), static_cast<int>(shown.size()), out.data(), m, nullptr, nullptr);
    return out;
}

std::string Lines(std::initializer_list<std::wstring_view> lines) {
    std::wstring all;
    for (std::wstring_view line : lines) {
        all += line;
        all += L"\r\n";
    }
    return Cp932(all);
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        ::Sleep(20);
    }
}

bool HoldsFor(const std::function<bool()>& stillFine, std::chrono::milliseconds span) {
    // Waits for the first failure; running out of time is the good outcome.
    return !WaitFor([&] { return !stillFine(); }, span);
}

//--- files

TempFolder::TempFolder() {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    for (;;) {
        std::wstring candidate = std::wstring(temp) + L"k307e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(++counter) + L"\\";
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

TempFolder::~TempFolder() {
    if (path_.empty()) return;
    // A program file that has just ended can stay locked for a moment.
    WaitFor(
        [&] {
            WIN32_FIND_DATAW found;
            HANDLE h = ::FindFirstFileW((path_ + L"*").c_str(), &found);
            if (h != INVALID_HANDLE_VALUE) {
                do {
                    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                        ::DeleteFileW((path_ + found.cFileName).c_str());
                } while (::FindNextFileW(h, &found));
                ::FindClose(h);
            }
            return ::RemoveDirectoryW(path_.c_str()) != 0;
        },
        std::chrono::seconds(5));
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(h, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) bytes.append(buffer, got);
    ::CloseHandle(h);
    if (!ok) return std::nullopt;
    return bytes;
}

bool WriteBytes(const std::wstring& path, std::string_view bytes) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok =
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    return ::CloseHandle(h) && ok;
}

bool FileExists(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

ULONGLONG LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

HeldFile::HeldFile(const std::wstring& path, bool create, std::optional<std::string_view> content) {
    handle_ = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE || !content) return;
    DWORD written = 0;
    if (!::SetEndOfFile(handle_) ||
        !::WriteFile(handle_, content->data(), static_cast<DWORD>(content->size()), &written, nullptr) ||
        written != content->size() || !::FlushFileBuffers(handle_)) {
        Release();
    }
}

void HeldFile::Release() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

std::wstring PaletteProgram() {
    wchar_t own[MAX_PATH];
    DWORD n = ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring folder(own, n);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    std::wstring relative = L"" K307_PALETTE_RELATIVE;
    for (wchar_t& c : relative)
        if (c == L'/') c = L'\\';
    return folder + relative;
}

//--- controls

std::string TextOf(HWND hwnd) {
    LRESULT n = Ask(hwnd, WM_GETTEXTLENGTH);
    if (n < 0) return "<no answer>";
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    LRESULT got = Ask(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return Cp932(text);
}

namespace {
std::vector<std::string> Items(HWND hwnd, UINT count, UINT length, UINT get) {
    std::vector<std::string> items;
    LRESULT n = Ask(hwnd, count);
    for (LRESULT i = 0; i < n; ++i) {
        LRESULT len = Ask(hwnd, length, static_cast<WPARAM>(i));
        std::wstring text(static_cast<std::size_t>(len > 0 ? len : 0) + 1, L'\0');
        LRESULT got = Ask(hwnd, get, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
        items.push_back(Cp932(text));
    }
    return items;
}
}  // namespace

std::vector<std::string> ComboItems(HWND combo) {
    return Items(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::vector<std::string> ListItems(HWND list) {
    return Items(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int ListSelection(HWND list) {
    return static_cast<int>(Ask(list, LB_GETCURSEL));
}

bool IsChecked(HWND button) {
    return Ask(button, BM_GETCHECK) == BST_CHECKED;
}

HWND FindControl(HWND root, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    if (!root) return nullptr;
    ::EnumChildWindows(
        root,
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (::GetDlgCtrlID(h) != s->id) return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

SIZE ClientSize(HWND hwnd) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

RECT OuterRect(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
}

bool IsTopMost(HWND hwnd) {
    return (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool IsAbove(HWND upper, HWND lower) {
    for (HWND h = ::GetWindow(upper, GW_HWNDNEXT); h; h = ::GetWindow(h, GW_HWNDNEXT))
        if (h == lower) return true;
    return false;
}

HWND FocusOfThread(HWND hwnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(hwnd, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

//--- input

bool Focus(HWND control) {
    HWND top = ::GetAncestor(control, GA_ROOT);
    DWORD target = ::GetWindowThreadProcessId(control, nullptr);
    DWORD self = ::GetCurrentThreadId();
    bool attached = ::AttachThreadInput(self, target, TRUE) != 0;
    ::SetForegroundWindow(top);
    ::SetFocus(control);
    if (attached) ::AttachThreadInput(self, target, FALSE);
    return WaitFor([&] {
        HWND focus = FocusOfThread(control);
        return ::GetForegroundWindow() == top && (focus == control || ::IsChild(control, focus));
    });
}

void TypeText(std::wstring_view text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = static_cast<WORD>(c);
        in.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(in);
        in.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    Send(inputs);
}

void PressKey(WORD vk) {
    std::vector<INPUT> inputs{KeyInput(vk, false), KeyInput(vk, true)};
    Send(inputs);
}

void PressWith(WORD modifier, WORD vk) {
    std::vector<INPUT> inputs{KeyInput(modifier, false), KeyInput(vk, false), KeyInput(vk, true),
                              KeyInput(modifier, true)};
    Send(inputs);
}

void PressAltKey(WORD vk) {
    PressWith(VK_MENU, vk);
}

void Click(POINT screen) {
    // Placed first, then pressed where it is: the press needs no conversion
    // to SendInput's normalized coordinates, which can land a pixel off.
    ::SetCursorPos(screen.x, screen.y);
    std::vector<INPUT> inputs(2);
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    Send(inputs);
    ParkPointer();
}

void ParkPointer() {
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
}

//--- windows

namespace {
struct WindowSearch {
    DWORD processId;  // 0: any process
    bool unownedVisibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectCaptionWindows(HWND h, LPARAM p) {
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (s->processId && pid != s->processId) return TRUE;
    if (s->unownedVisibleOnly && (::GetWindow(h, GW_OWNER) || !::IsWindowVisible(h))) return TRUE;
    if (Title(h) == kCaption) s->found.push_back(h);
    return TRUE;
}
}  // namespace

std::vector<HWND> CaptionWindows(DWORD processId) {
    WindowSearch s{processId, false, {}};
    ::EnumWindows(CollectCaptionWindows, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> RunningPalettes() {
    WindowSearch s{0, true, {}};
    ::EnumWindows(CollectCaptionWindows, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

Palette::Palette(const TempFolder& folder, std::wstring programName)
    : folder_(folder), programName_(std::move(programName)) {}

Palette::~Palette() {
    Kill();
    if (info_.hProcess) ::CloseHandle(info_.hProcess);
    if (info_.hThread) ::CloseHandle(info_.hThread);
}

bool Palette::Start() {
    std::wstring exe = program();
    if (!FileExists(exe) && !::CopyFileW(PaletteProgram().c_str(), exe.c_str(), TRUE)) return false;
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.path().c_str(),
                          &startup, &info_))
        return false;
    if (HANDLE job = Job()) ::AssignProcessToJobObject(job, info_.hProcess);
    return true;
}

HWND Palette::WaitForWindow(std::chrono::milliseconds timeout) {
    WaitFor(
        [&] {
            WindowSearch s{info_.dwProcessId, true, {}};
            ::EnumWindows(CollectCaptionWindows, reinterpret_cast<LPARAM>(&s));
            window_ = s.found.empty() ? nullptr : s.found.front();
            return window_ != nullptr || !Running();
        },
        timeout);
    return window_;
}

bool Palette::WaitUntilShown(std::chrono::milliseconds timeout) {
    if (!WaitForWindow(timeout)) return false;
    return WaitFor(
        [&] {
            HWND c1 = Control(201), c2 = Control(202);
            return c1 && c2 && TextOf(c1) != "ComboBox1" && TextOf(c2) != "ComboBox2";
        },
        timeout);
}

bool Palette::StartAndWait() {
    return Start() && WaitUntilShown() && WaitFor([&] { return FileExists(selectionFile()); });
}

HWND Palette::Dialog(bool mustBeVisible) const {
    for (HWND h : CaptionWindows(info_.dwProcessId)) {
        if (h == window_ || ::GetWindow(h, GW_OWNER) != window_) continue;
        if (!mustBeVisible || ::IsWindowVisible(h)) return h;
    }
    return nullptr;
}

HWND Palette::WaitForDialog(std::chrono::milliseconds timeout, bool mustBeVisible) const {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = Dialog(mustBeVisible)) != nullptr; }, timeout);
    return dialog;
}

bool Palette::Running() const {
    return info_.hProcess && ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Palette::WaitForExit(std::chrono::milliseconds timeout) const {
    return WaitFor([&] { return !Running(); }, timeout);
}

DWORD Palette::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess) ::GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Palette::Kill() {
    if (!Running()) return;
    ::TerminateProcess(info_.hProcess, 99);
    ::WaitForSingleObject(info_.hProcess, 10000);
}

//--- decoy

Decoy::Decoy() {
    static const wchar_t kClass[] = L"K307E2EDecoy";
    static bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        return ::RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    hwnd_ = ::CreateWindowExW(0, kClass, L"e2e decoy", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 600, 240, 120, nullptr,
                              nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

Decoy::~Decoy() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool Decoy::TakeForeground() {
    ::SetForegroundWindow(hwnd_);
    return WaitFor([&] { return ::GetForegroundWindow() == hwnd_; });
}

//--- sync file stamps

namespace {

ULONGLONG Ticks(const SYSTEMTIME& st) {
    FILETIME ft;
    ::SystemTimeToFileTime(&st, &ft);
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// The MS-DOS form (two-second steps) of a UTC file time, in local time.
DWORD DosStamp(ULONGLONG utc) {
    FILETIME ft{static_cast<DWORD>(utc), static_cast<DWORD>(utc >> 32)}, local;
    WORD date = 0, time = 0;
    ::FileTimeToLocalFileTime(&ft, &local);
    ::FileTimeToDosDateTime(&local, &date, &time);
    return (static_cast<DWORD>(date) << 16) | time;
}

ULONGLONG UtcNow() {
    FILETIME ft;
    ::GetSystemTimeAsFileTime(&ft);
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

}  // namespace

double LocalDateTimeNumber(double offsetDays) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    SYSTEMTIME epoch{};
    epoch.wYear = 1899;
    epoch.wMonth = 12;
    epoch.wDay = 30;
    return static_cast<double>(Ticks(now) - Ticks(epoch)) / 864000000000.0 + offsetDays;
}

std::wstring StampText(double number) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%.10f", number);
    return text;
}

std::string SyncContent(double stamp, std::wstring_view radius, std::wstring_view diameter) {
    return Lines({StampText(stamp), radius, diameter});
}

bool WaitForNextStampStep(const std::wstring& path) {
    // A file deleted since its last write may have left that write's stamp
    // with the palette: a missing file counts as written this moment.
    const ULONGLONG written = LastWriteTime(path);
    const DWORD last = DosStamp(written ? written : UtcNow());
    // A file's time comes from the system's coarse clock, a few milliseconds
    // behind this one: a write right after the step changed could still get
    // the old step. A tenth of a second into the new step it cannot.
    constexpr ULONGLONG kMargin = 100 * 10000;  // 100 ms in 100 ns units
    return WaitFor([&] { return DosStamp(UtcNow() - kMargin) != last; }, std::chrono::seconds(4));
}

}  // namespace e2e
