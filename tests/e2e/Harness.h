#pragma once
// Drives the real palette program from another process, as a user would: it
// starts a copy in a folder of its own, finds its windows and controls, types
// and clicks, and reads back what the windows show and what the files hold.
// It knows the program only from the outside (window titles, control IDs,
// files), never through its code.
#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// The texts the program shows and stores, as code page 932 bytes.
std::string Cp932(std::wstring_view wide);
// Code page 932 bytes as UTF-8, line ends shown as "|", for failure messages.
std::string Readable(std::string_view cp932);
// "[Vorna] k307：接円の作図", the title of both windows.
extern const wchar_t* const kCaption;
// The header line of the selection file (no blank after "]").
extern const wchar_t* const kSelectionHeader;
// "(無指定)".
extern const wchar_t* const kUnspecified;

// Lines joined with CR LF after each, in code page 932: a file's expected bytes.
std::string Lines(std::initializer_list<std::wstring_view> lines);

// Polls `done` every few milliseconds until it holds or `timeout` has passed,
// handling this thread's messages meanwhile. True when it held.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5));
// For checks that something does not happen: polls `stillFine` for the whole
// of `span` and returns false as soon as it fails.
bool HoldsFor(const std::function<bool()>& stillFine, std::chrono::milliseconds span);

// A new empty folder in the temporary folder, removed with its files when the
// object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // Ends in a backslash.
    const std::wstring& path() const { return path_; }
    std::wstring operator/(std::wstring_view name) const { return path_ + std::wstring(name); }

private:
    std::wstring path_;
};

// Whole-file reads and writes by the test's own calls. Reads share the file
// with every kind of access, so that they never stand in the program's way.
std::optional<std::string> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, std::string_view bytes);
bool FileExists(const std::wstring& path);
// The last-write time; zero when the file cannot be opened.
ULONGLONG LastWriteTime(const std::wstring& path);

// A file this process holds open for writing, sharing it with readers only,
// as another program would while it writes the file.
class HeldFile {
public:
    // Opens an existing file, or creates it when `create`; with `content`, the
    // file is truncated and the content written (and flushed) while held.
    HeldFile(const std::wstring& path, bool create, std::optional<std::string_view> content = std::nullopt);
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release();

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The sync file's first line: the local clock as a date-time number, days
// since 30 December 1899 with the time of day as the fraction, to the
// millisecond; `offsetDays` moves it.
double LocalDateTimeNumber(double offsetDays = 0.0);
std::wstring StampText(double number);
// A whole sync file: stamp, radius, diameter.
std::string SyncContent(double stamp, std::wstring_view radius, std::wstring_view diameter);
// The palette sees a file as changed only when its stamp, which counts in
// two-second steps, changes: waits until a write now would get a new stamp.
bool WaitForNextStampStep(const std::wstring& path);

// The palette program as built, found beside this test program.
std::wstring PaletteProgram();

// Control state, read through window messages, which Windows carries across
// processes.
std::string TextOf(HWND hwnd);
std::vector<std::string> ComboItems(HWND combo);
std::vector<std::string> ListItems(HWND list);
int ListSelection(HWND list);
bool IsChecked(HWND button);
// The control with this ID anywhere below `root` (controls sit in panels).
HWND FindControl(HWND root, int id);
SIZE ClientSize(HWND hwnd);
RECT OuterRect(HWND hwnd);
bool IsTopMost(HWND hwnd);
// True when `upper` comes before `lower` in the desktop's z-order.
bool IsAbove(HWND upper, HWND lower);
// The keyboard focus of the thread that owns `hwnd`.
HWND FocusOfThread(HWND hwnd);

// Real keyboard input. Focus first makes `control`'s window the foreground
// window and gives `control` the keyboard focus, joining the input of this
// thread and the program's for the moment it needs.
bool Focus(HWND control);
// Each character as a key press of its own (KEYEVENTF_UNICODE).
void TypeText(std::wstring_view text);
void PressKey(WORD vk);
// `modifier` (VK_SHIFT, VK_CONTROL) held down around the press of `vk`.
void PressWith(WORD modifier, WORD vk);
// Alt held down around the press of `vk` (an access key).
void PressAltKey(WORD vk);
// Real mouse input: a press and release of the left button at a point of
// the screen. The pointer then rests where ParkPointer puts it.
void Click(POINT screen);
// Moves the pointer to the screen's bottom-right corner, where no test puts
// a window: there it makes no control look hovered.
void ParkPointer();

// One running copy of the palette program in a folder.
class Palette {
public:
    // `programName`: the file name the copy gets in the folder.
    explicit Palette(const TempFolder& folder, std::wstring programName = L"k307palette.exe");
    ~Palette();
    Palette(const Palette&) = delete;
    Palette& operator=(const Palette&) = delete;

    // Puts the program file into the folder (once) and starts it.
    bool Start();
    // Waits for the copy's palette window: unowned, visible, with the caption.
    HWND WaitForWindow(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Waits for the window and for its show sequence to have filled the
    // combo boxes (they read "ComboBox1"/"ComboBox2" until then).
    bool WaitUntilShown(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Start, WaitUntilShown, and the selection file.
    bool StartAndWait();

    HWND window() const { return window_; }
    HWND Control(int id) const { return FindControl(window_, id); }
    // The settings dialog: owned by the palette window, with the caption.
    HWND Dialog(bool mustBeVisible = true) const;
    // The palette makes the dialog's window when 設定(&S) is first pressed.
    HWND WaitForDialog(std::chrono::milliseconds timeout = std::chrono::seconds(10), bool mustBeVisible = true) const;

    bool Running() const;
    bool WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    DWORD ExitCode() const;
    DWORD processId() const { return info_.dwProcessId; }
    HANDLE process() const { return info_.hProcess; }
    void Kill();

    std::wstring program() const { return folder_ / programName_; }
    std::wstring selectionFile() const { return folder_ / L"k307.dat"; }
    std::wstring syncFile() const { return folder_ / L"k307.ini"; }
    // The program file's path with ".dat" for its extension.
    std::wstring configurationFile() const {
        return folder_ / (programName_.substr(0, programName_.rfind(L'.')) + L".dat");
    }

private:
    const TempFolder& folder_;
    std::wstring programName_;
    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr;
};

// All top-level windows of a process that carry the caption.
std::vector<HWND> CaptionWindows(DWORD processId);
// Every unowned, visible top-level window with the caption, of any process.
std::vector<HWND> RunningPalettes();

// A plain window of this test process, to hold the foreground while another
// process must leave it alone.
class Decoy {
public:
    Decoy();
    ~Decoy();
    Decoy(const Decoy&) = delete;
    Decoy& operator=(const Decoy&) = delete;
    HWND hwnd() const { return hwnd_; }
    bool TakeForeground();

private:
    HWND hwnd_ = nullptr;
};

}  // namespace e2e
