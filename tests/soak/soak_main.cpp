// The palette under load: a companion process rewrites k307.ini every 100 to
// 300 ms in every way a real companion (or a crash of one) can, a reader
// process reads k307.dat without pause, and this process types, picks and
// clicks in the palette meanwhile, while a thread of its own checks that the
// palette's window answers within a second.
//
//   k307_soak SECONDS                   the whole run; exit code 0 when every check held
//   k307_soak --companion FOLDER SECONDS SEED STAMP
//   k307_soak --reader FOLDER EVENT
//
// Values the companion writes carry their own kind: seven digits, "5…"/"6…"
// for writes the palette may take over, "7…"/"8…" for writes it must never
// take over (older or equal stamp, garbage first line). The palette's own
// typing completion never makes such texts from the one to three digits the
// driver types.
#include <windows.h>
// psapi.h needs the types windows.h declares.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"

namespace {

using namespace e2e;
using std::chrono::milliseconds;
using std::chrono::seconds;

std::wstring Value(wchar_t kind, unsigned index) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%lc%06u", kind, index % 1000000);
    return text;
}

// The kind digit of a companion value, or 0 for any other text.
char KindOf(const std::string& text) {
    if (text.size() != 7) return 0;
    for (char c : text)
        if (c < '0' || c > '9') return 0;
    return text[0];
}

double Seconds(ULONGLONG fromTicks) {
    return (::GetTickCount64() - fromTicks) / 1000.0;
}

bool WriteHeld(const std::wstring& path, const std::string& bytes, DWORD holdMs) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && ::FlushFileBuffers(h);
    ::Sleep(holdMs);  // another program holding the file open while it writes
    ::CloseHandle(h);
    return ok;
}

int Companion(const std::wstring& folder, int runSeconds, unsigned seed, double firstStamp) {
    const std::wstring sync = folder + L"k307.ini";
    std::mt19937 rng(seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const char* names[] = {"newer", "older", "same", "garbage", "held", "deleted", "long line"};
    const int weights[] = {30, 12, 12, 12, 12, 10, 12};
    unsigned counts[7] = {}, failedWrites = 0, index = 0;
    double lastNewer = firstStamp;
    auto newerStamp = [&] {
        // The clock's millisecond may not have moved since the last write.
        lastNewer = std::max(LocalDateTimeNumber(), lastNewer + 1e-9);
        return lastNewer;
    };
    const ULONGLONG start = ::GetTickCount64();
    while (Seconds(start) < runSeconds) {
        int pick = uniform(0, 99), kind = 0;
        while (pick >= weights[kind]) pick -= weights[kind++];
        ++index;
        bool ok = true;
        switch (kind) {
            case 0:
                ok = WriteBytes(sync, SyncContent(newerStamp(), Value(L'5', index), Value(L'6', index)));
                break;
            case 1:
                ok = WriteBytes(sync, SyncContent(firstStamp - uniform(1, 100000) / 1440.0, Value(L'7', index),
                                                  Value(L'8', index)));
                break;
            case 2:
                // The stamp the palette took over before the load began: not later, so never taken.
                ok = WriteBytes(sync, SyncContent(firstStamp, Value(L'7', index), Value(L'8', index)));
                break;
            case 3: {
                std::string garbage;
                for (int n = uniform(0, 40); n > 0; --n) {
                    char c = static_cast<char>(uniform(1, 255));
                    if (c != '\r' && c != '\n') garbage += c;
                }
                garbage += "\r\n" + Cp932(Value(L'7', index)) + "\r\n" + Cp932(Value(L'8', index)) + "\r\n";
                ok = WriteBytes(sync, garbage);
                break;
            }
            case 4:
                ok = WriteHeld(sync, SyncContent(newerStamp(), Value(L'5', index), Value(L'6', index)),
                               static_cast<DWORD>(uniform(0, 2000)));
                break;
            case 5:
                ok = ::DeleteFileW(sync.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
                break;
            case 6:
                if (uniform(0, 1)) {
                    // A megabyte of stamp: not a number.
                    ok = WriteBytes(sync, std::string(1 << 20, '9') + "x\r\n" + Cp932(Value(L'7', index)) + "\r\n" +
                                              Cp932(Value(L'8', index)) + "\r\n");
                } else {
                    // Valid lines, then a megabyte the palette has no use for.
                    ok = WriteBytes(sync, SyncContent(newerStamp(), Value(L'5', index), Value(L'6', index)) +
                                              std::string(1 << 20, 'z') + "\r\n");
                }
                break;
        }
        ++counts[kind];
        if (!ok) ++failedWrites;  // the palette had the file open for reading just then
        ::Sleep(static_cast<DWORD>(uniform(100, 300)));
    }
    FILE* out = _wfopen((folder + L"companion.txt").c_str(), L"w");
    if (!out) return 1;
    std::fprintf(out, "%u rewrites:", index);
    for (int k = 0; k < 7; ++k) std::fprintf(out, " %s %u%s", names[k], counts[k], k < 6 ? "," : "");
    std::fprintf(out, "; %u not written (file in use)\n", failedWrites);
    std::fclose(out);
    return 0;
}

struct ReaderFigures {
    unsigned reads = 0, valid = 0, none = 0, absent = 0, invalid = 0, rejectedShown = 0, adoptions = 0;
    std::string firstBad;
};

int Reader(const std::wstring& folder, const std::wstring& eventName) {
    HANDLE stop = ::OpenEventW(SYNCHRONIZE, FALSE, eventName.c_str());
    if (!stop) return 1;
    const std::wstring path = folder + L"k307.dat";
    const std::string header = Cp932(kSelectionHeader);
    ReaderFigures f;
    std::set<std::string> adopted;
    std::string bytes;
    while (::WaitForSingleObject(stop, 1) == WAIT_TIMEOUT) {
        ++f.reads;
        // The companion's own way: sharing with readers only, so that a file
        // the palette holds open for writing cannot be opened at all.
        HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            ++f.none;
            if (::GetLastError() == ERROR_FILE_NOT_FOUND) ++f.absent;
            continue;
        }
        bytes.clear();
        char chunk[65536];
        DWORD got = 0;
        while (::ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
        ::CloseHandle(h);

        std::vector<std::string> lines;
        size_t at = 0, end;
        while ((end = bytes.find("\r\n", at)) != std::string::npos) {
            lines.push_back(bytes.substr(at, end - at));
            at = end + 2;
        }
        bool ok = at == bytes.size() && lines.size() == 4 && lines[0] == header && (lines[3] == "0" || lines[3] == "1");
        for (size_t i = 1; ok && i < 3; ++i) ok = lines[i].find_first_of("\r\n") == std::string::npos;
        if (!ok) {
            ++f.invalid;
            if (f.firstBad.empty()) f.firstBad = Readable(bytes.substr(0, 200));
            continue;
        }
        ++f.valid;
        if (KindOf(lines[1]) == '7' || KindOf(lines[2]) == '8') {
            ++f.rejectedShown;
            if (f.firstBad.empty()) f.firstBad = Readable(bytes);
        }
        if (KindOf(lines[1]) == '5' && adopted.insert(lines[1]).second) ++f.adoptions;
    }
    FILE* out = _wfopen((folder + L"reader.txt").c_str(), L"w");
    if (!out) return 1;
    std::fprintf(out, "%u %u %u %u %u %u %u\n%s\n", f.reads, f.valid, f.none, f.absent, f.invalid, f.rejectedShown,
                 f.adoptions, f.firstBad.c_str());
    std::fclose(out);
    return 0;
}

// Wine leaves PrivateUsage at 0 for other processes; PagefileUsage is its
// nearest stand-in there.
SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX m{};
    m.cb = sizeof m;
    if (!::K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m)) return 0;
    return m.PrivateUsage ? m.PrivateUsage : m.PagefileUsage;
}

struct Pinger {
    HWND window = nullptr;
    volatile LONG stop = 0;
    unsigned pings = 0, unanswered = 0;
    DWORD slowestMs = 0;

    static DWORD WINAPI Run(void* self) {
        auto* p = static_cast<Pinger*>(self);
        while (!p->stop) {
            const ULONGLONG t0 = ::GetTickCount64();
            DWORD_PTR result = 0;
            ++p->pings;
            if (!::SendMessageTimeoutW(p->window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) ++p->unanswered;
            p->slowestMs = std::max(p->slowestMs, static_cast<DWORD>(::GetTickCount64() - t0));
            ::Sleep(100);  // pacing between pings
        }
        return 0;
    }
};

HANDLE StartSelf(const std::wstring& arguments) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return nullptr;
    ::CloseHandle(info.hThread);
    return info.hProcess;
}

std::string Slurp(const std::wstring& path) {
    return ReadBytes(path).value_or("");
}

int Soak(int runSeconds) {
    int failures = 0;
    auto check = [&](bool ok, const char* what) {
        if (!ok) {
            ++failures;
            std::printf("FAILED: %s\n", what);
        }
        return ok;
    };
    TempFolder folder;
    Palette palette(folder);
    if (!check(palette.StartAndWait(), "the palette did not start")) return 1;
    const HWND combo1 = palette.Control(201), combo2 = palette.Control(202);
    const HWND radio1 = palette.Control(301), radio2 = palette.Control(302);
    if (!check(combo1 && combo2 && radio1 && radio2, "the palette's controls are missing")) return 1;
    auto shows = [&](std::wstring_view r, std::wstring_view d) {
        return TextOf(combo1) == Cp932(r) && TextOf(combo2) == Cp932(d);
    };

    // A first adoption, so that "older" and "same" mean the same thing to the
    // companion and to the palette.
    const double firstStamp = LocalDateTimeNumber();
    WriteBytes(palette.syncFile(), SyncContent(firstStamp, L"4000000", L"4000001"));
    if (!check(WaitFor([&] { return shows(L"4000000", L"4000001"); }, seconds(5)),
               "the palette did not take over the first sync file"))
        return 1;

    Pinger pinger;
    pinger.window = palette.window();
    HANDLE pingThread = ::CreateThread(nullptr, 0, Pinger::Run, &pinger, 0, nullptr);
    wchar_t eventName[64];
    std::swprintf(eventName, 64, L"k307soak-stop-%lu", ::GetCurrentProcessId());
    HANDLE stopReader = ::CreateEventW(nullptr, TRUE, FALSE, eventName);
    const unsigned seed = static_cast<unsigned>(::GetTickCount64());
    // Without its last backslash, which would escape the closing quote.
    const std::wstring quoted = L"\"" + folder.path().substr(0, folder.path().size() - 1) + L"\" ";
    HANDLE reader = StartSelf(L"--reader " + quoted + eventName);
    HANDLE companion = StartSelf(L"--companion " + quoted + std::to_wstring(runSeconds) + L" " + std::to_wstring(seed) +
                                 L" " + StampText(firstStamp));
    if (!check(pingThread && stopReader && reader && companion, "the helper processes did not start")) {
        for (HANDLE helper : {reader, companion})
            if (helper) ::TerminateProcess(helper, 1);
        pinger.stop = 1;
        if (pingThread) ::WaitForSingleObject(pingThread, 5000);
        return 1;
    }

    // The driver: a user typing, picking and clicking while the load runs.
    std::mt19937 rng(seed ^ 0x5eed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    unsigned typed = 0, picked = 0, clicked = 0, unansweredClicks = 0, tickChances = 0;
    // The first memory reading: after 10 s, or half of a shorter run, which
    // would otherwise end before it.
    const int firstReading = std::max(1, std::min(10, runSeconds / 2));
    SIZE_T memoryAt10s = 0;
    const ULONGLONG start = ::GetTickCount64();
    int burst = 0;
    for (;;) {
        // Every action restarts the palette's one-second timer, so the user
        // works in bursts with pauses between, in which the timer can tick.
        DWORD pause = static_cast<DWORD>(uniform(50, 150));
        if (--burst < 0) {
            burst = uniform(1, 6);
            pause = static_cast<DWORD>(uniform(300, 3000));
            tickChances += pause / 1000;
        }
        if (::WaitForSingleObject(companion, pause) != WAIT_TIMEOUT) break;
        if (!memoryAt10s && Seconds(start) >= firstReading) memoryAt10s = PrivateBytes(palette.process());
        const HWND combo = uniform(0, 1) ? combo1 : combo2;
        switch (uniform(0, 2)) {
            case 0:
                if (Focus(combo)) {
                    ::SendMessageTimeoutW(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1), SMTO_NORMAL, 1000, nullptr);
                    std::wstring digits;
                    for (int n = uniform(1, 3); n > 0; --n) digits += static_cast<wchar_t>(L'0' + uniform(1, 9));
                    TypeText(digits);
                    ++typed;
                }
                break;
            case 1:
                if (Focus(combo)) {
                    PressKey(uniform(0, 1) ? VK_DOWN : VK_UP);
                    ++picked;
                }
                break;
            default:
                DWORD_PTR result = 0;
                if (!::SendMessageTimeoutW(uniform(0, 1) ? radio1 : radio2, BM_CLICK, 0, 0, SMTO_NORMAL, 2000, &result))
                    ++unansweredClicks;
                ++clicked;
                break;
        }
    }
    const double loadSeconds = Seconds(start);
    const SIZE_T memoryAtEnd = PrivateBytes(palette.process());

    // After the load: one last newer file, which the palette must show and
    // store. Its time stamp lies a minute ahead: the palette may still be
    // taking over the companion's last file, and a stamp of this moment could
    // then be older than that adoption, which rightly would not take it.
    check(WaitForNextStampStep(palette.syncFile()), "the clock did not move on");
    // The palette may be reading the companion's last file just then, which
    // refuses a writer for that moment: as a companion must, try again.
    const std::string last = SyncContent(LocalDateTimeNumber(1.0 / 1440), L"3000000", L"3000001");
    check(WaitFor([&] { return WriteBytes(palette.syncFile(), last); }, seconds(5)),
          "the last sync file could not be written");
    // Generous: the next tick comes within a second even on a loaded machine.
    if (!check(WaitFor([&] { return shows(L"3000000", L"3000001"); }, seconds(10)),
               "after the load the palette does not show the last values taken over")) {
        std::optional<std::string> sync = ReadBytes(palette.syncFile());
        std::printf("  it shows \"%s\" and \"%s\"; k307.ini holds \"%s\"\n", Readable(TextOf(combo1)).c_str(),
                    Readable(TextOf(combo2)).c_str(), sync ? Readable(sync->substr(0, 200)).c_str() : "nothing");
    }
    const int mode = IsChecked(radio2) ? 1 : 0;
    const std::string expected = Lines({kSelectionHeader, L"3000000", L"3000001", std::to_wstring(mode)});
    check(WaitFor([&] { return ReadBytes(palette.selectionFile()) == expected; }, seconds(10)),
          "after the load the selection file does not hold the last values");

    ::SetEvent(stopReader);
    check(::WaitForSingleObject(reader, 10000) == WAIT_OBJECT_0, "the reader did not stop");
    pinger.stop = 1;
    ::WaitForSingleObject(pingThread, 5000);
    ::PostMessageW(palette.window(), WM_CLOSE, 0, 0);
    check(palette.WaitForExit(seconds(10)), "the palette did not close after the load");

    ReaderFigures f;
    char firstBad[256] = "";
    const std::string readerText = Slurp(folder / L"reader.txt");
    check(std::sscanf(readerText.c_str(), "%u %u %u %u %u %u %u %255[^\n]", &f.reads, &f.valid, &f.none, &f.absent,
                      &f.invalid, &f.rejectedShown, &f.adoptions, firstBad) >= 7,
          "the reader left no figures");
    std::printf("soak: %.0f s of load; the driver paused long enough for %u timer ticks\n", loadSeconds, tickChances);
    std::printf("companion: %s", Slurp(folder / L"companion.txt").c_str());
    std::printf("driver: %u typed, %u picked, %u clicked\n", typed, picked, clicked);
    std::printf("palette answered %u of %u pings within 1 s (slowest %lu ms); %u clicks unanswered\n",
                pinger.pings - pinger.unanswered, pinger.pings, pinger.slowestMs, unansweredClicks);
    std::printf(
        "k307.dat: %u reads, %u complete and valid, %u found none (%u of them no file, the rest in use), "
        "%u partial or invalid, %u showing a value that must not be taken over; %u adoptions seen\n",
        f.reads, f.valid, f.none, f.absent, f.invalid, f.rejectedShown, f.adoptions);
    if (*firstBad) std::printf("first bad read: \"%s\"\n", firstBad);
    std::printf("memory: %.1f KiB after %d s, %.1f KiB at the end\n", memoryAt10s / 1024.0, firstReading,
                memoryAtEnd / 1024.0);

    check(pinger.unanswered == 0 && unansweredClicks == 0, "the palette did not answer within a second");
    check(f.invalid == 0, "a read of k307.dat saw a partial or invalid file");
    check(f.rejectedShown == 0, "the palette took over a sync file it must ignore");
    check(f.valid > 0, "the reader never saw the selection file");
    if (memoryAt10s)
        check(memoryAtEnd <= memoryAt10s * 1.1, "memory at the end is more than 10 % above the first reading");
    else
        check(loadSeconds < firstReading, "memory could not be read");
    std::printf(failures ? "soak: %d checks failed\n" : "soak: every check held\n", failures);
    return failures ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 6 && std::wstring(argv[1]) == L"--companion")
        return Companion(std::wstring(argv[2]) + L"\\", _wtoi(argv[3]), static_cast<unsigned>(_wtoi64(argv[4])),
                         _wtof(argv[5]));
    if (argc == 4 && std::wstring(argv[1]) == L"--reader") return Reader(std::wstring(argv[2]) + L"\\", argv[3]);
    if (argc == 2 && _wtoi(argv[1]) > 0) return Soak(_wtoi(argv[1]));
    std::fprintf(stderr, "usage: k307_soak SECONDS\n");
    return 2;
}
