// Benchmark driver: starts the palette and its references (bare_win.cpp,
// floor_win.cpp) alternately, each from a fresh folder of its own, and
// measures start-up, typing, the settings dialog, idle CPU, memory, and the
// program file itself. Prints a table and writes it as Markdown.
//
//   k307bench_driver PALETTE.exe BARE.exe RESULTS.md --bare-cc BARE_CC.exe --floor FLOOR.exe
//                    [--runs N] [--idle SECONDS] [--keys N]
//   k307bench_driver PALETTE.exe BARE.exe RESULTS.md --floor FLOOR.exe --calls N [--child-debug WINEDEBUG]
//   k307bench_driver PALETTE.exe BARE.exe RESULTS.md --floor FLOOR.exe --typing-only 1 [--runs N] [--keys N]
//
// With --calls it only types N keys into the palette and into the floor,
// once each, and marks the typing in the window server's trace: each mark is
// a named event, "k307bench begin NAME TIDS" before the first key (TIDS: the
// program's thread ids, as the trace writes them), "k307bench key K" before
// key K, "k307bench end" after the last key has had its effect. Run in a
// session whose server traces (wineserver -d1), the trace holds every request
// in the order served, marks included, and bench/server_calls.awk counts the
// program's own requests between two marks: the calls one keystroke costs it.
// --typing-only types into the two programs alone and prints the figures.
//
// Every wait is a poll with a deadline; nothing relies on a fixed sleep to
// be "long enough". The idle measurement waits on purpose: that interval is
// what is measured, and so do the pauses between keys and after a closed
// dialog, which only keep one step's tail out of the next one's time.
#include <windows.h>
// psapi.h and tlhelp32.h need the types windows.h declares.
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "common/Texts.h"

namespace {

const wchar_t kCaption[] = L"[Vorna] k307\xFF1A\x63A5\x5186\x306E\x4F5C\x56F3";
const int kLarge = 32766;
const int kSmall = 10;
const DWORD kDeadlineMs = 60000;

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(freq.QuadPart);
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "k307bench_driver: %s (error %lu)\n", what, GetLastError());
    std::fflush(stderr);
    std::exit(2);
}

std::wstring g_tempRoot;
int g_folderSerial = 0;

// A run folder and its files; a program file that has just ended can stay
// locked for a moment.
void RemoveFolder(const std::wstring& dir) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((dir + L"*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((dir + found.cFileName).c_str());
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        if (RemoveDirectoryW(dir.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return;
        Sleep(10);
    }
}

std::wstring NewFolder() {
    wchar_t name[64];
    swprintf(name, 64, L"run%04d\\", ++g_folderSerial);
    std::wstring dir = g_tempRoot + name;
    if (!CreateDirectoryW(dir.c_str(), nullptr)) Fail("cannot create a run folder");
    return dir;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) Fail("cannot write a file");
    DWORD written = 0;
    if (!WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written != bytes.size())
        Fail("short write");
    CloseHandle(f);
}

// Sharing writing and deleting too: a reader that shares only reading makes
// the program's next write of k307.dat fail (the palette tries again 100 ms
// later, the floor not at all), and that is not what is measured.
bool ReadBytes(const std::wstring& path, std::string& out) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    out.clear();
    char buf[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(f, buf, sizeof buf, &got, nullptr) != 0) && got > 0) out.append(buf, got);
    CloseHandle(f);
    return ok;
}

// k307.dat is complete once it holds four CR LF ended lines.
bool SelectionComplete(const std::wstring& dir) {
    std::string s;
    if (!ReadBytes(dir + L"k307.dat", s)) return false;
    size_t lines = 0;
    for (size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == '\r' && s[i + 1] == '\n') ++lines;
    return lines == 4 && s.size() >= 2 && s.compare(s.size() - 2, 2, "\r\n") == 0;
}

// A configuration: positions, horizontal, and `count` entries in each list.
std::string Configuration(int count) {
    std::string s = "196\r\n104\r\n193\r\n115\r\n0\r\n";
    for (int list = 0; list < 2; ++list) {
        s += std::to_string(count) + "\r\n";
        for (int i = 0; i < count; ++i) s += std::to_string(i + 1) + ".5\x90\x7d\x90\xa1mm\r\n";  // n.5図寸mm
    }
    return s;
}

// With --child-debug, the programs run with WINEDEBUG set to that (a +relay
// look at one keystroke, where the trace's requests come from); their
// messages go where the driver's standard error goes.
std::wstring g_childDebug;

std::vector<wchar_t> ChildEnvironment() {
    std::vector<wchar_t> env;
    wchar_t* all = GetEnvironmentStringsW();
    for (const wchar_t* p = all; *p; p += wcslen(p) + 1)
        if (_wcsnicmp(p, L"WINEDEBUG=", 10) != 0) env.insert(env.end(), p, p + wcslen(p) + 1);
    FreeEnvironmentStringsW(all);
    const std::wstring debug = L"WINEDEBUG=" + g_childDebug;
    env.insert(env.end(), debug.c_str(), debug.c_str() + debug.size() + 1);
    env.push_back(L'\0');
    return env;
}

struct Child {
    PROCESS_INFORMATION pi{};
    std::wstring dir;
    double started = 0;
    std::wstring linuxPid;  // under Wine, the Linux process behind it
};

Child Start(const std::wstring& exe, const wchar_t* name, int configEntries, bool withIni) {
    Child c;
    c.dir = NewFolder();
    std::wstring target = c.dir + name;
    if (!CopyFileW(exe.c_str(), target.c_str(), FALSE)) Fail("cannot copy a program");
    if (configEntries >= 0) WriteBytes(c.dir + L"k307palette.dat", Configuration(configEntries));
    if (withIni) WriteBytes(c.dir + L"k307.ini", "0\r\nbench\r\nbench\r\n");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + target + L"\"";
    std::vector<wchar_t> env;
    if (!g_childDebug.empty()) env = ChildEnvironment();
    c.started = Now();
    if (!CreateProcessW(target.c_str(), cmd.data(), nullptr, nullptr, FALSE,
                        env.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT, env.empty() ? nullptr : env.data(), c.dir.c_str(),
                        &si, &c.pi))
        Fail("CreateProcessW failed");
    return c;
}

void Stop(Child& c) {
    if (!c.pi.hProcess) return;
    TerminateProcess(c.pi.hProcess, 0);
    if (WaitForSingleObject(c.pi.hProcess, 10000) != WAIT_OBJECT_0) Fail("a program did not end");
    CloseHandle(c.pi.hThread);
    CloseHandle(c.pi.hProcess);
    c.pi = {};
    RemoveFolder(c.dir);
}

// Seconds from WM_CLOSE to the palette window (or the title-bar close box)
// to the end of the process; the palette saves its configuration on the way.
double CloseAndTime(Child& c, HWND window) {
    double t0 = Now();
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(c.pi.hProcess, 20000) != WAIT_OBJECT_0) Fail("a program did not end when closed");
    double t = Now() - t0;
    CloseHandle(c.pi.hThread);
    CloseHandle(c.pi.hProcess);
    c.pi = {};
    RemoveFolder(c.dir);
    return t;
}

struct Find {
    DWORD pid;
    bool wantDialog;  // visible owned window holding id 501, else visible window with the caption
    HWND found;
};

BOOL CALLBACK HasId(HWND h, LPARAM lp) {
    auto* p = reinterpret_cast<std::pair<int, HWND>*>(lp);
    if (GetDlgCtrlID(h) == p->first) {
        p->second = h;
        return FALSE;
    }
    return TRUE;
}

HWND Descendant(HWND top, int id) {
    std::pair<int, HWND> p{id, nullptr};
    EnumChildWindows(top, HasId, reinterpret_cast<LPARAM>(&p));
    return p.second;
}

BOOL CALLBACK FindWindowOf(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<Find*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != f->pid || !IsWindowVisible(h)) return TRUE;
    if (f->wantDialog) {
        if (GetWindow(h, GW_OWNER) && Descendant(h, 501)) f->found = h;
    } else {
        wchar_t title[128];
        GetWindowTextW(h, title, 128);
        if (wcscmp(title, kCaption) == 0) f->found = h;
    }
    return f->found ? FALSE : TRUE;
}

HWND VisibleWindow(DWORD pid, bool dialog) {
    Find f{pid, dialog, nullptr};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

void CheckAlive(const Child& c) {
    if (WaitForSingleObject(c.pi.hProcess, 0) == WAIT_OBJECT_0)
        Fail("a program ended by itself (another copy running?)");
}

// Whether a user could type into the radius box now: its window active and
// the keyboard focus in it. True for a program without one.
bool TypingReady(HWND top) {
    HWND combo = Descendant(top, 201);
    if (!combo) return true;
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    return GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &gui) &&
           (gui.hwndFocus == combo || IsChild(combo, gui.hwndFocus));
}

// Seconds from CreateProcessW until the program is ready for both its users:
// a visible window, a complete k307.dat for the companion, and the radius
// box ready for typing (the activation and the focus cost as much again
// under Wine, and come after the file in both the palette and the floor).
double WaitReady(const Child& c) {
    DWORD begin = GetTickCount();
    for (;;) {
        HWND top = VisibleWindow(c.pi.dwProcessId, false);
        if (top && SelectionComplete(c.dir) && TypingReady(top)) return Now() - c.started;
        CheckAlive(c);
        if (GetTickCount() - begin > kDeadlineMs) Fail("a program did not become ready");
        Sleep(2);
    }
}

// Seconds from CreateProcessW until the radius box's list holds `count`
// entries: a long list is added in parts after the palette is ready.
double WaitListFilled(const Child& c, int count) {
    DWORD begin = GetTickCount();
    for (;;) {
        HWND w = VisibleWindow(c.pi.dwProcessId, false);
        HWND combo = w ? Descendant(w, 201) : nullptr;
        DWORD_PTR n = 0;
        if (combo && SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 1000, &n) &&
            static_cast<int>(n) >= count)
            return Now() - c.started;
        CheckAlive(c);
        if (GetTickCount() - begin > kDeadlineMs) Fail("the lists were not filled");
        Sleep(2);
    }
}

BOOL CALLBACK FindButton(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<std::pair<DWORD, HWND>*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == f->first && IsWindowVisible(h)) {  // the dialog, hidden now, has a button 101 too
        if (HWND b = Descendant(h, 101)) {
            f->second = b;
            return FALSE;
        }
    }
    return TRUE;
}

// Seconds from posting BM_CLICK to 設定(&S) to a visible dialog whose
// ListBox1 holds `count` entries.
double DialogTime(const Child& c, int count) {
    std::pair<DWORD, HWND> b{c.pi.dwProcessId, nullptr};
    EnumWindows(FindButton, reinterpret_cast<LPARAM>(&b));
    if (!b.second) Fail("no button 101 in the palette");
    double t0 = Now();
    PostMessageW(b.second, BM_CLICK, 0, 0);
    DWORD begin = GetTickCount();
    for (;;) {
        if (HWND d = VisibleWindow(c.pi.dwProcessId, true)) {
            DWORD_PTR n = 0;
            if (SendMessageTimeoutW(Descendant(d, 501), LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &n) &&
                static_cast<int>(n) == count)
                return Now() - t0;
        }
        CheckAlive(c);
        if (GetTickCount() - begin > kDeadlineMs) Fail("the dialog did not show its list");
        Sleep(2);
    }
}

// Closes the settings dialog as its close box does and waits until it is
// gone and the palette (or the floor) takes input again.
void CloseDialog(const Child& c) {
    HWND d = VisibleWindow(c.pi.dwProcessId, true);
    if (!d) Fail("no dialog to close");
    PostMessageW(d, WM_CLOSE, 0, 0);
    DWORD begin = GetTickCount();
    for (;;) {
        HWND top = VisibleWindow(c.pi.dwProcessId, false);
        if (!VisibleWindow(c.pi.dwProcessId, true) && top && IsWindowEnabled(top)) return;
        CheckAlive(c);
        if (GetTickCount() - begin > kDeadlineMs) Fail("the dialog did not close");
        Sleep(2);
    }
}

// Wine leaves PrivateUsage at 0 for other processes; the driver then falls
// back to the pagefile usage and then to the working set, and names the
// field it used in the report.
const char* g_memoryField = "PrivateUsage";

double PrivateBytes(const Child& c) {
    PROCESS_MEMORY_COUNTERS_EX m{};
    m.cb = sizeof m;
    if (!GetProcessMemoryInfo(c.pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m))
        Fail("GetProcessMemoryInfo failed");
    if (m.PrivateUsage) return static_cast<double>(m.PrivateUsage);
    if (m.PagefileUsage) {
        g_memoryField = "PagefileUsage (PrivateUsage reads 0 here)";
        return static_cast<double>(m.PagefileUsage);
    }
    g_memoryField = "WorkingSetSize (PrivateUsage and PagefileUsage read 0 here)";
    return static_cast<double>(m.WorkingSetSize);
}

// Memory once the start has run its course: the palette makes its settings
// dialog's window right after it is ready, and that belongs to its cost.
// Waits for the program to go idle, then for the figure to hold for 250 ms.
double SettledPrivateBytes(const Child& c) {
    WaitForInputIdle(c.pi.hProcess, 5000);
    double last = PrivateBytes(c);
    ULONGLONG steady = GetTickCount64(), deadline = steady + 3000;
    while (GetTickCount64() < deadline && GetTickCount64() - steady < 250) {
        Sleep(25);
        double now = PrivateBytes(c);
        if (now != last) {
            last = now;
            steady = GetTickCount64();
        }
    }
    return last;
}

// CPU time at nanosecond resolution. GetProcessTimes counts in 1/64 s ticks
// and, under Wine, answers for another process with the caller's own times;
// the Linux scheduler's figures for the Wine process are exact. The Linux
// process is found by its command line, which Wine sets to the program's
// Windows path (unique: every run has a folder of its own), and its CPU is
// the sum over its threads of the first field of schedstat.
std::string ReadProc(const std::wstring& path) {
    HANDLE f =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    CloseHandle(f);
    return out;
}

bool g_linuxCpu = true;

std::wstring LinuxProcess(const Child& c) {
    if (!c.linuxPid.empty() || !g_linuxCpu) return c.linuxPid;
    std::string exe;
    {
        std::wstring w = c.dir;
        int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
        exe.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
        WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, exe.data(), n, nullptr, nullptr);
    }
    for (auto& ch : exe) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
    DWORD begin = GetTickCount();
    do {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW(L"Z:\\proc\\*", &found);
        if (h == INVALID_HANDLE_VALUE) break;
        do {
            if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') continue;
            std::string cmd = ReadProc(std::wstring(L"Z:\\proc\\") + found.cFileName + L"\\cmdline");
            for (auto& ch : cmd) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
            if (!cmd.empty() && cmd.find(exe) != std::string::npos) {
                FindClose(h);
                const_cast<Child&>(c).linuxPid = found.cFileName;
                return c.linuxPid;
            }
        } while (FindNextFileW(h, &found));
        FindClose(h);
        Sleep(1);
    } while (GetTickCount() - begin < 2000);
    g_linuxCpu = false;  // not under Wine, or no /proc: GetProcessTimes below
    return {};
}

double CpuSeconds(const Child& c) {
    std::wstring pid = LinuxProcess(c);
    if (!pid.empty()) {
        std::wstring tasks = L"Z:\\proc\\" + pid + L"\\task\\";
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((tasks + L"*").c_str(), &found);
        double ns = 0;
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') continue;
                ns += std::strtod(ReadProc(tasks + found.cFileName + L"\\schedstat").c_str(), nullptr);
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        return ns / 1e9;
    }
    FILETIME create, exit, kernel, user;
    if (!GetProcessTimes(c.pi.hProcess, &create, &exit, &kernel, &user)) Fail("GetProcessTimes failed");
    auto v = [](FILETIME f) {
        return static_cast<double>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
    };
    return (v(kernel) + v(user)) / 1e7;
}

// Typing. The text typed: "0." and digits, a number no preset starts with
// (the presets are n.5図寸mm for n from 1), so that no key completes.
std::string TypedText(int keys) {
    std::string s = "0.";
    for (int i = 0; static_cast<int>(s.size()) < keys; ++i) s += static_cast<char>('0' + (i * 7 + 3) % 10);
    s.resize(static_cast<size_t>(keys));
    return s;
}

// k307.dat once `radius` is the radius text: both programs write the palette's
// four lines, the typed box being the radius box.
std::string SelectionWith(const std::string& radius) {
    return std::string(texts::kSelectionHeader) + "\r\n" + radius + "\r\n" + texts::kUnspecified + "\r\n0\r\n";
}

// A mark in the window server's trace (see the top of this file).
bool g_marks = false;

void Mark(const std::wstring& text) {
    if (!g_marks) return;
    HANDLE e = CreateEventW(nullptr, FALSE, FALSE, (L"k307bench " + text).c_str());
    if (!e) Fail("cannot make a mark");
    CloseHandle(e);
}

// The program's thread ids, as the server's trace writes them.
std::wstring ThreadIds(DWORD pid) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) Fail("no thread list");
    std::wstring ids;
    THREADENTRY32 t{};
    t.dwSize = sizeof t;
    for (BOOL ok = Thread32First(snap, &t); ok; ok = Thread32Next(snap, &t)) {
        if (t.th32OwnerProcessID != pid) continue;
        wchar_t id[16];
        swprintf(id, 16, L"%04lx", t.th32ThreadID);
        ids += (ids.empty() ? L"" : L",") + std::wstring(id);
    }
    CloseHandle(snap);
    return ids;
}

// The program's window in front and ComboBox1 focused, as Tab into it would
// leave them: the box's edit has the focus, its text selected.
void FocusRadiusBox(const Child& c) {
    HWND top = VisibleWindow(c.pi.dwProcessId, false);
    HWND combo = top ? Descendant(top, 201) : nullptr;
    if (!combo) Fail("no ComboBox1 under the program's window");
    const DWORD thread = GetWindowThreadProcessId(top, nullptr);
    SetForegroundWindow(top);
    // SetFocus acts on the input state of the caller's thread: shared with
    // the program's for the call.
    if (!AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) Fail("AttachThreadInput failed");
    SetFocus(combo);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    DWORD begin = GetTickCount();
    for (;;) {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        if (GetGUIThreadInfo(thread, &gui) && gui.hwndActive == top && gui.hwndFocus && IsChild(combo, gui.hwndFocus))
            return;
        CheckAlive(c);
        if (GetTickCount() - begin > kDeadlineMs) Fail("ComboBox1 did not take the focus");
        Sleep(2);
    }
}

// One key pressed and released, as the keyboard sends it: '0' to '9' are
// their own virtual keys, '.' is VK_OEM_PERIOD.
void PressKey(char ch) {
    const WORD vk = ch == '.' ? VK_OEM_PERIOD : static_cast<WORD>(ch);
    INPUT in[2] = {};
    for (int k = 0; k < 2; ++k) {
        in[k].type = INPUT_KEYBOARD;
        in[k].ki.wVk = vk;
        in[k].ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        in[k].ki.dwFlags = k ? KEYEVENTF_KEYUP : 0;
    }
    if (SendInput(2, in, sizeof(INPUT)) != 2) Fail("SendInput failed");
}

struct TypingRun {
    double cpuPerKey = 0;
    std::vector<double> latency;  // seconds, one per key
};

// Types `keys` characters into ComboBox1, one at a time: each key is sent
// once k307.dat holds the text up to the one before, and `pauseMs` later. The
// program's CPU over all of it, its ticks included (none come: every key
// starts the one-second wait again), is divided among the keys.
TypingRun TypeIntoRadiusBox(const Child& c, const wchar_t* name, int keys, DWORD pauseMs) {
    FocusRadiusBox(c);
    const std::string text = TypedText(keys);
    // The folder's changes wake the wait for the file at once; the timeout
    // covers a change the notification merged with an earlier one.
    HANDLE change = FindFirstChangeNotificationW(
        c.dir.c_str(), FALSE, FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_FILE_NAME);
    if (change == INVALID_HANDLE_VALUE) Fail("cannot watch a run folder");
    TypingRun run;
    Mark(std::wstring(L"begin ") + name + L" " + ThreadIds(c.pi.dwProcessId));
    const double cpu0 = CpuSeconds(c);
    std::string now;
    for (int k = 0; k < keys; ++k) {
        const std::string want = SelectionWith(text.substr(0, static_cast<size_t>(k) + 1));
        Mark(L"key " + std::to_wstring(k + 1));
        const double t0 = Now();
        PressKey(text[static_cast<size_t>(k)]);
        const DWORD begin = GetTickCount();
        while (!ReadBytes(c.dir + L"k307.dat", now) || now != want) {
            CheckAlive(c);
            if (GetTickCount() - begin > kDeadlineMs) {
                std::fprintf(stderr, "k307bench_driver: after key %d of %ls k307.dat holds:\n%s\n", k + 1, name,
                             now.c_str());
                Fail("a key did not reach k307.dat");
            }
            if (WaitForSingleObject(change, 1) == WAIT_OBJECT_0) FindNextChangeNotification(change);
        }
        run.latency.push_back(Now() - t0);
        Sleep(pauseMs);  // a typist's pace: the key's painting is done before the next
    }
    Sleep(100);
    run.cpuPerKey = (CpuSeconds(c) - cpu0) / keys;
    Mark(L"end");
    FindCloseChangeNotification(change);
    return run;
}

struct Stat {
    double median, min, max;
};

Stat Of(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    double med = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    return {med, v.front(), v.back()};
}

std::vector<double> Ratios(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> r;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) r.push_back(a[i] / b[i]);
    return r;
}

// Typing into the palette (programs[0]) and the floor (programs[1]) in
// turn, each going first in every other run; the first run is a warm-up.
void TypingPairs(const std::wstring (&programs)[2],
                 int runs,
                 int keys,
                 std::vector<double> (&cpu)[2],
                 std::vector<double> (&latency)[2]) {
    for (int i = 0; i <= runs; ++i) {
        for (int j = 0; j < 2; ++j) {
            const int k = (i + j) % 2;
            Child c = Start(programs[k], k == 0 ? L"k307palette.exe" : L"floor.exe", kSmall, false);
            double t = WaitReady(c);
            while (Now() - c.started < t + 1.5) Sleep(5);  // the start has run its course
            TypingRun run = TypeIntoRadiusBox(c, k == 0 ? L"palette" : L"floor", keys, 10);
            Stop(c);
            if (i == 0) continue;
            cpu[k].push_back(run.cpuPerKey);
            latency[k].push_back(Of(run.latency).median);
        }
    }
}

struct Report {
    std::string text;
    void Line(const char* fmt, ...) {
        char buf[512];
        va_list ap;
        va_start(ap, fmt);
        vsnprintf(buf, sizeof buf, fmt, ap);
        va_end(ap);
        text += buf;
        text += "\n";
        std::fputs(buf, stdout);
        std::fputs("\n", stdout);
        std::fflush(stdout);
    }
};

struct Pe {
    double bytes = 0;
    std::vector<std::string> dlls;
};

// Reads the program file's size and the DLL names of its import table.
Pe ReadPe(const std::wstring& path) {
    Pe pe;
    std::string f;
    if (!ReadBytes(path, f)) Fail("cannot read the program file");
    pe.bytes = static_cast<double>(f.size());
    auto at = [&](size_t off, size_t len) {
        if (off + len > f.size()) Fail("truncated PE file");
        return f.data() + off;
    };
    IMAGE_DOS_HEADER dos;
    memcpy(&dos, at(0, sizeof dos), sizeof dos);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE) Fail("not a PE file");
    IMAGE_NT_HEADERS64 nt;
    memcpy(&nt, at(static_cast<size_t>(dos.e_lfanew), sizeof nt), sizeof nt);
    if (nt.Signature != IMAGE_NT_SIGNATURE || nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        Fail("not a 64-bit PE file");
    size_t sectionsAt = static_cast<size_t>(dos.e_lfanew) + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                        nt.FileHeader.SizeOfOptionalHeader;
    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
    for (size_t i = 0; i < sections.size(); ++i)
        memcpy(&sections[i], at(sectionsAt + i * sizeof(IMAGE_SECTION_HEADER), sizeof(IMAGE_SECTION_HEADER)),
               sizeof(IMAGE_SECTION_HEADER));
    auto offsetOf = [&](DWORD rva) -> size_t {
        for (const auto& s : sections)
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        Fail("import table outside every section");
    };
    DWORD importRva = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    if (!importRva) return pe;
    for (size_t off = offsetOf(importRva);; off += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR d;
        memcpy(&d, at(off, sizeof d), sizeof d);
        if (!d.Name) break;
        const char* name = at(offsetOf(d.Name), 1);
        pe.dlls.emplace_back(name, strnlen(name, f.size() - offsetOf(d.Name)));
    }
    return pe;
}

bool IsSystemDll(std::string n) {
    for (auto& ch : n) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
    static const char* const known[] = {"kernel32.dll", "user32.dll",   "gdi32.dll",    "comctl32.dll", "advapi32.dll",
                                        "shell32.dll",  "msvcrt.dll",   "ole32.dll",    "comdlg32.dll", "psapi.dll",
                                        "ntdll.dll",    "uxtheme.dll",  "imm32.dll",    "shlwapi.dll",  "version.dll",
                                        "winmm.dll",    "ucrtbase.dll", "oleaut32.dll", "uuid.dll"};
    for (const char* k : known)
        if (n == k) return true;
    return n.rfind("api-ms-win-", 0) == 0;
}

std::string Narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    return s;
}

const char* Verdict(bool ok) {
    return ok ? "met" : "MISSED";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: k307bench_driver PALETTE.exe BARE.exe RESULTS.md --bare-cc BARE_CC.exe --floor FLOOR.exe "
                     "[--runs N] [--idle SECONDS] [--keys N]\n"
                     "       k307bench_driver PALETTE.exe BARE.exe RESULTS.md --floor FLOOR.exe --calls N "
                     "[--child-debug WINEDEBUG]\n"
                     "       k307bench_driver PALETTE.exe BARE.exe RESULTS.md --floor FLOOR.exe --typing-only 1 "
                     "[--runs N] [--keys N]\n"
                     "       k307bench_driver PALETTE.exe BARE.exe RESULTS.md --floor FLOOR.exe --start-only 1 "
                     "[--runs N]\n");
        return 2;
    }
    std::wstring palette = argv[1], bare = argv[2], results = argv[3], bareCommonControls, floorProgram;
    int runs = 10;
    int idleSeconds = 60;
    int keys = 200;
    int callKeys = 0;
    bool typingOnly = false, startOnly = false;
    for (int i = 4; i + 1 < argc; i += 2) {
        if (wcscmp(argv[i], L"--bare-cc") == 0)
            bareCommonControls = argv[i + 1];
        else if (wcscmp(argv[i], L"--floor") == 0)
            floorProgram = argv[i + 1];
        else if (wcscmp(argv[i], L"--runs") == 0)
            runs = std::max(1, _wtoi(argv[i + 1]));
        else if (wcscmp(argv[i], L"--idle") == 0)
            idleSeconds = std::max(1, _wtoi(argv[i + 1]));
        else if (wcscmp(argv[i], L"--keys") == 0)
            keys = std::max(2, _wtoi(argv[i + 1]));
        else if (wcscmp(argv[i], L"--calls") == 0)
            callKeys = std::max(2, _wtoi(argv[i + 1]));
        else if (wcscmp(argv[i], L"--child-debug") == 0)
            g_childDebug = argv[i + 1];
        else if (wcscmp(argv[i], L"--typing-only") == 0)
            typingOnly = _wtoi(argv[i + 1]) != 0;
        else if (wcscmp(argv[i], L"--start-only") == 0)
            startOnly = _wtoi(argv[i + 1]) != 0;
    }

    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    wchar_t unique[64];
    // Process IDs come round again with every new Wine session.
    swprintf(unique, 64, L"k307bench-%lu-%llu\\", GetCurrentProcessId(), GetTickCount64());
    g_tempRoot = std::wstring(tmp) + unique;
    if (!CreateDirectoryW(g_tempRoot.c_str(), nullptr)) Fail("cannot create the temp folder");

    if (callKeys > 0) {
        // The window server's calls per key: the palette and the floor typed
        // into once each, marked in the trace; bench/server_calls.awk counts.
        if (floorProgram.empty()) Fail("--floor is needed");
        g_marks = true;
        struct Typed {
            const wchar_t* name;
            const std::wstring& program;
            const wchar_t* fileName;
        };
        const Typed typed[] = {{L"palette", palette, L"k307palette.exe"}, {L"floor", floorProgram, L"floor.exe"}};
        for (const auto& [name, program, fileName] : typed) {
            Child c = Start(program, fileName, kSmall, false);
            double t = WaitReady(c);
            while (Now() - c.started < t + 1.5) Sleep(5);  // the start has run its course
            TypeIntoRadiusBox(c, name, callKeys, 50);
            Stop(c);
        }
        RemoveDirectoryW(g_tempRoot.c_str());
        std::fprintf(stdout, "calls: done\n");
        return 0;
    }
    if (typingOnly) {
        // The typing alone, printed: for trying a variant of the floor (or of
        // the palette) against the other quickly.
        if (floorProgram.empty()) Fail("--floor is needed");
        const std::wstring programs[2] = {palette, floorProgram};
        std::vector<double> cpu[2], latency[2];
        TypingPairs(programs, runs, keys, cpu, latency);
        for (int k = 0; k < 2; ++k)
            std::fprintf(stdout, "%s: CPU per key %.3f (%.3f - %.3f) ms, key to k307.dat %.2f (%.2f - %.2f) ms\n",
                         k == 0 ? "first " : "second", Of(cpu[k]).median * 1e3, Of(cpu[k]).min * 1e3,
                         Of(cpu[k]).max * 1e3, Of(latency[k]).median * 1e3, Of(latency[k]).min * 1e3,
                         Of(latency[k]).max * 1e3);
        const Stat r = Of(Ratios(cpu[0], cpu[1]));
        std::fprintf(stdout, "CPU per key, first / second: %.3f (%.3f - %.3f)\n", r.median, r.min, r.max);
        RemoveDirectoryW(g_tempRoot.c_str());
        return 0;
    }
    if (startOnly) {
        // The start alone, printed: for trying a variant quickly.
        if (floorProgram.empty()) Fail("--floor is needed");
        const std::wstring programs[2] = {palette, floorProgram};
        const wchar_t* const names[2] = {L"k307palette.exe", L"floor.exe"};
        std::vector<double> ready[2], cpuReady[2], cpuAfter[2];
        for (int i = 0; i <= runs; ++i) {
            for (int k = 0; k < 2; ++k) {
                Child c = Start(programs[k], names[k], -1, false);
                const double t = WaitReady(c), cpu0 = CpuSeconds(c);
                while (Now() - c.started < t + 1.5) Sleep(5);
                const double cpu1 = CpuSeconds(c);
                Stop(c);
                if (i == 0) continue;
                ready[k].push_back(t);
                cpuReady[k].push_back(cpu0);
                cpuAfter[k].push_back(cpu1 - cpu0);
            }
        }
        for (int k = 0; k < 2; ++k)
            std::fprintf(stdout,
                         "%s: ready %.1f ms, CPU until ready %.1f ms, in the 1.5 s after %.2f (%.2f - %.2f) ms\n",
                         k == 0 ? "first " : "second", Of(ready[k]).median * 1e3, Of(cpuReady[k]).median * 1e3,
                         Of(cpuAfter[k]).median * 1e3, Of(cpuAfter[k]).min * 1e3, Of(cpuAfter[k]).max * 1e3);
        const Stat r = Of(Ratios(cpuAfter[0], cpuAfter[1]));
        std::fprintf(stdout, "CPU after ready, first / second: %.3f (%.3f - %.3f)\n", r.median, r.min, r.max);
        RemoveDirectoryW(g_tempRoot.c_str());
        return 0;
    }
    if (bareCommonControls.empty() || floorProgram.empty()) Fail("--bare-cc and --floor are needed");
    // 1. The start of each program against the three references, in turn
    // within each run: ready time, CPU until ready and in the 1.5 s after,
    // memory once settled, and the time from closing to the end of the
    // process. Empty folders: no configuration, no lists.
    enum { kPalette, kBare, kBareCc, kFloor, kPrograms };
    const std::wstring programs[kPrograms] = {palette, bare, bareCommonControls, floorProgram};
    const wchar_t* const fileNames[kPrograms] = {L"k307palette.exe", L"bare_win.exe", L"bare_win.exe", L"floor.exe"};
    std::vector<double> ready[kPrograms], cpuReady[kPrograms], cpuAfter[kPrograms], mem[kPrograms], exitTime[kPrograms];
    for (int i = 0; i <= runs; ++i) {
        for (int k = 0; k < kPrograms; ++k) {
            Child c = Start(programs[k], fileNames[k], -1, false);
            double t = WaitReady(c);
            double cpu0 = CpuSeconds(c);
            while (Now() - c.started < t + 1.5) Sleep(5);  // the measured 1.5 s after ready
            double cpu1 = CpuSeconds(c);
            double m = SettledPrivateBytes(c);
            double e = CloseAndTime(c, VisibleWindow(c.pi.dwProcessId, false));
            if (i == 0) continue;  // warm-up
            ready[k].push_back(t);
            cpuReady[k].push_back(cpu0);
            cpuAfter[k].push_back(cpu1 - cpu0);
            mem[k].push_back(m);
            exitTime[k].push_back(e);
        }
    }
    std::fprintf(stdout, "start profile: done\n");

    // 2. Ready time with 2 x 32766 entries against empty lists, and memory.
    std::vector<double> readyLarge, readyEmpty, filledLarge, memLarge, memEmpty;
    for (int i = 0; i <= runs; ++i) {
        Child e = Start(palette, L"k307palette.exe", 0, false);
        double te = WaitReady(e);
        double me = SettledPrivateBytes(e);
        Stop(e);
        Child l = Start(palette, L"k307palette.exe", kLarge, false);
        double tl = WaitReady(l);
        double fl = WaitListFilled(l, kLarge + 1);
        double ml = SettledPrivateBytes(l);
        Stop(l);
        if (i == 0) continue;
        readyEmpty.push_back(te);
        readyLarge.push_back(tl);
        filledLarge.push_back(fl);
        memEmpty.push_back(me);
        memLarge.push_back(ml);
    }
    std::fprintf(stdout, "large configuration: done\n");

    // 3. Settings dialog with 2 x 32766 against 2 x 10 entries.
    std::vector<double> dlgLarge, dlgSmall;
    for (int i = 0; i <= runs; ++i) {
        Child s = Start(palette, L"k307palette.exe", kSmall, false);
        WaitReady(s);
        double ts = DialogTime(s, kSmall);
        Stop(s);
        Child l = Start(palette, L"k307palette.exe", kLarge, false);
        WaitReady(l);
        double tl = DialogTime(l, kLarge);
        Stop(l);
        if (i == 0) continue;
        dlgSmall.push_back(ts);
        dlgLarge.push_back(tl);
    }
    std::fprintf(stdout, "dialog: done\n");

    // 3b. The settings dialog against the floor's: the first press of
    // 設定(&S), which makes the dialog's windows, and a later one, which
    // shows them again. The lists hold 2 x 10 entries in both.
    std::vector<double> dlgFirst[2], dlgLater[2];
    const std::wstring dialogPrograms[2] = {palette, floorProgram};
    const wchar_t* const dialogNames[2] = {L"k307palette.exe", L"floor.exe"};
    for (int i = 0; i <= runs; ++i) {
        for (int j = 0; j < 2; ++j) {
            const int k = (i + j) % 2;  // each goes first in every other run
            Child c = Start(dialogPrograms[k], dialogNames[k], kSmall, false);
            double t = WaitReady(c);
            while (Now() - c.started < t + 1.5) Sleep(5);  // the start has run its course
            double first = DialogTime(c, kSmall);
            CloseDialog(c);
            Sleep(500);  // the close has run its course
            double later = DialogTime(c, kSmall);
            Stop(c);
            if (i == 0) continue;
            dlgFirst[k].push_back(first);
            dlgLater[k].push_back(later);
        }
    }
    std::fprintf(stdout, "dialog against the floor: done\n");

    // 3c. Typing into ComboBox1, the palette against the floor, alternately.
    std::vector<double> keyCpu[2], keyLatency[2];
    TypingPairs(dialogPrograms, runs, keys, keyCpu, keyLatency);
    std::fprintf(stdout, "typing: done\n");

    // 4. Idle CPU with an unchanged k307.ini, all four side by side over the
    // same interval. The palette starts first: it counts copies by caption
    // at start, the others do not. The floor starts next and a bare program
    // last, which takes the activation from both: palette and floor idle as
    // the palette does beside the drawing program, inactive, the focus kept
    // in the radius box (an active box would blink its caret).
    std::vector<double> idle[kPrograms];
    const int idleOrder[kPrograms] = {kPalette, kFloor, kBareCc, kBare};
    for (int i = 0; i <= runs; ++i) {
        std::vector<Child> cs(kPrograms);
        for (int k : idleOrder) {
            cs[static_cast<size_t>(k)] = Start(programs[k], fileNames[k], -1, true);
            WaitReady(cs[static_cast<size_t>(k)]);
        }
        if (i > 0) {
            Sleep(2000);  // past the first tick and the palette's later work
            double c0[kPrograms], t0 = Now();
            for (int k = 0; k < kPrograms; ++k) c0[k] = CpuSeconds(cs[static_cast<size_t>(k)]);
            Sleep(static_cast<DWORD>(idleSeconds) * 1000);  // the measured interval
            double wall = Now() - t0;
            for (int k = 0; k < kPrograms; ++k) {
                CheckAlive(cs[static_cast<size_t>(k)]);
                idle[k].push_back((CpuSeconds(cs[static_cast<size_t>(k)]) - c0[k]) / wall);
            }
        }
        for (auto& c : cs) Stop(c);
    }
    std::fprintf(stdout, "idle: done\n\n");

    Pe pe = ReadPe(palette);

    // Figures.
    Report r;
    auto ms = [](Stat s) {
        char b[96];
        snprintf(b, sizeof b, "%.1f (%.1f – %.1f)", s.median * 1e3, s.min * 1e3, s.max * 1e3);
        return std::string(b);
    };
    auto kib = [](Stat s) {
        char b[96];
        snprintf(b, sizeof b, "%.0f (%.0f – %.0f)", s.median / 1024, s.min / 1024, s.max / 1024);
        return std::string(b);
    };
    auto ratio = [](Stat s) {
        char b[96];
        snprintf(b, sizeof b, "%.3f (%.3f – %.3f)", s.median, s.min, s.max);
        return std::string(b);
    };
    Stat rLarge = Of(Ratios(readyLarge, readyEmpty)), rDlg = Of(Ratios(dlgLarge, dlgSmall));
    std::vector<double> perEntry;
    for (size_t i = 0; i < memLarge.size(); ++i) perEntry.push_back((memLarge[i] - memEmpty[i]) / (2.0 * kLarge));
    Stat sPer = Of(perEntry);
    bool allSystem = !pe.dlls.empty();
    std::string dllList;
    for (const auto& d : pe.dlls) {
        if (!IsSystemDll(d)) allSystem = false;
        dllList += (dllList.empty() ? "" : ", ") + d;
    }

    r.Line("# k307palette benchmark");
    r.Line("");
    r.Line(
        "%d runs of each after one uncounted warm-up; idle CPU over %d s per run. "
        "Figures: median (min – max); comparisons: median (min – max) of pairwise ratios.",
        runs, idleSeconds);
    r.Line("");
    // The start against the three references: each figure, then the
    // palette's ratio to each (median and range of the pairwise ratios).
    r.Line(
        "Start, empty folder: palette against the bare program, the bare program with the common controls "
        "library, and the floor (the palette's windows and font without its logic). Target: within 5 %% of the "
        "floor; exit within one flushed configuration save of it.");
    r.Line("");
    r.Line(
        "| Measure | Palette | Bare | Bare + common controls | Floor | / bare | / bare + cc | / floor | Target | "
        "Result |");
    r.Line("|---|---|---|---|---|---|---|---|---|---|");
    struct Row {
        const char* name;
        std::vector<double>* v;
        bool memory;
        double scale;  // figure shown = seconds or bytes times this
    };
    std::vector<double> idleCopy[kPrograms];
    for (int k = 0; k < kPrograms; ++k) idleCopy[k] = idle[k];
    const Row rows[] = {{"Ready (ms)", ready, false, 1e3},
                        {"CPU until ready (ms)", cpuReady, false, 1e3},
                        {"CPU in the 1.5 s after ready (ms)", cpuAfter, false, 1e3},
                        {"Idle CPU (ms per s)", idleCopy, false, 1e3},
                        {"Private bytes (KiB)", mem, true, 1.0 / 1024},
                        {"Exit after close (ms)", exitTime, false, 1e3}};
    auto fig = [](Stat st, double scale, bool memory) {
        char b[96];
        snprintf(b, sizeof b, memory ? "%.0f (%.0f – %.0f)" : "%.2f (%.2f – %.2f)", st.median * scale, st.min * scale,
                 st.max * scale);
        return std::string(b);
    };
    for (const Row& row : rows) {
        Stat rf = Of(Ratios(row.v[kPalette], row.v[kFloor]));
        bool isExit = row.v == exitTime;
        const char* verdict = isExit ? "see note" : Verdict(rf.median <= 1.05);
        r.Line("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |", row.name,
               fig(Of(row.v[kPalette]), row.scale, row.memory).c_str(),
               fig(Of(row.v[kBare]), row.scale, row.memory).c_str(),
               fig(Of(row.v[kBareCc]), row.scale, row.memory).c_str(),
               fig(Of(row.v[kFloor]), row.scale, row.memory).c_str(),
               ratio(Of(Ratios(row.v[kPalette], row.v[kBare]))).c_str(),
               ratio(Of(Ratios(row.v[kPalette], row.v[kBareCc]))).c_str(), ratio(rf).c_str(),
               isExit ? "floor + one save" : "<= 1.05", verdict);
    }
    r.Line("");
    r.Line("CPU: %s.", g_linuxCpu ? "the Linux scheduler's figures for the Wine processes (schedstat, nanoseconds)"
                                  : "GetProcessTimes (1/64 s ticks)");
    r.Line("");
    r.Line("| Measure | Palette | Reference | Ratio | Target | Result |");
    r.Line("|---|---|---|---|---|---|");
    r.Line("| Ready, 2 x %d entries vs empty (ms) | %s | %s | %s | <= 1.5 | %s |", kLarge, ms(Of(readyLarge)).c_str(),
           ms(Of(readyEmpty)).c_str(), ratio(rLarge).c_str(), Verdict(rLarge.median <= 1.5));
    r.Line("| Lists filled, 2 x %d entries, vs ready with empty lists (ms) | %s | %s | %s | | |", kLarge,
           ms(Of(filledLarge)).c_str(), ms(Of(readyEmpty)).c_str(), ratio(Of(Ratios(filledLarge, readyEmpty))).c_str());
    r.Line("| Settings dialog, 2 x %d vs 2 x %d entries (ms) | %s | %s | %s | <= 3 | %s |", kLarge, kSmall,
           ms(Of(dlgLarge)).c_str(), ms(Of(dlgSmall)).c_str(), ratio(rDlg).c_str(), Verdict(rDlg.median <= 3));
    r.Line("| Private bytes, 2 x %d entries (KiB) | %s | %s (empty) | %.1f (%.1f – %.1f) bytes per entry | | |", kLarge,
           kib(Of(memLarge)).c_str(), kib(Of(memEmpty)).c_str(), sPer.median, sPer.min, sPer.max);
    r.Line("| Program file | %.1f KiB | | | <= 200 KiB | %s |", pe.bytes / 1024, Verdict(pe.bytes <= 200 * 1024));
    r.Line("| Imported DLLs | %s | | | system DLLs only | %s |", dllList.c_str(), Verdict(allSystem));
    r.Line("");
    r.Line(
        "Against the floor: typing %d characters into ComboBox1 (no completion: \"0.\" and digits, the palette "
        "holding 2 x %d presets), each key sent with SendInput once k307.dat holds the text up to the key before; "
        "the settings dialog from posting BM_CLICK to 設定(&S) until it shows its lists (2 x %d entries).",
        keys, kSmall, kSmall);
    r.Line("");
    r.Line("| Measure | Palette | Floor | / floor |");
    r.Line("|---|---|---|---|");
    struct Pair {
        const char* name;
        std::vector<double>* v;
        double scale;
    };
    const Pair pairs[] = {{"CPU per key (ms)", keyCpu, 1e3},
                          {"Key to k307.dat, median per run (ms)", keyLatency, 1e3},
                          {"Settings dialog, first press (ms)", dlgFirst, 1e3},
                          {"Settings dialog, later press (ms)", dlgLater, 1e3}};
    for (const Pair& p : pairs)
        r.Line("| %s | %s | %s | %s |", p.name, fig(Of(p.v[0]), p.scale, false).c_str(),
               fig(Of(p.v[1]), p.scale, false).c_str(), ratio(Of(Ratios(p.v[0], p.v[1]))).c_str());
    r.Line("");
    r.Line("Memory field: %s.", g_memoryField);
    r.Line("Program: %s", Narrow(palette).c_str());

    HANDLE out = CreateFileW(results.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) Fail("cannot write the results");
    DWORD written = 0;
    WriteFile(out, r.text.data(), static_cast<DWORD>(r.text.size()), &written, nullptr);
    CloseHandle(out);
    RemoveDirectoryW(g_tempRoot.c_str());
    return 0;
}
