// The few operating-system services the palette needs. Everything above this
// layer is platform-independent; the Win32 build links Os_win.cpp, the host
// build Os_posix.cpp. Paths are native (wide on Windows) so that a program
// folder whose name code page 932 cannot hold still works.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// <windows.h> would rename DeleteFile and ReplaceFile to their W forms.
#undef DeleteFile
#undef ReplaceFile

namespace os {

#ifdef _WIN32
using PathChar = wchar_t;
#else
using PathChar = char;
#endif
using Path = std::basic_string<PathChar>;

// Widens an ASCII literal ("k307.dat") into a native path piece.
Path PathFromAscii(std::string_view ascii);
// For diagnostics and tests only: the path as UTF-8 (POSIX: unchanged).
std::string PathToUtf8(const Path& path);
Path PathFromUtf8(std::string_view utf8);

// The folder part of a full file path, including the trailing delimiter.
Path FolderOf(const Path& filePath);
// The path with the part of the file name from its last "." replaced by
// `extension`, or `extension` appended when the name has no ".".
Path ReplaceExtension(const Path& filePath, std::string_view extension);
// True when both paths name the same file by Windows' rules (case-insensitive).
bool SamePathIgnoringCase(const Path& a, const Path& b);

// An open file. Moving transfers ownership; the destructor closes.
class File {
public:
    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    bool IsOpen() const { return handle_ != kInvalid; }
    // After a failed open: another process held the file, which is untouched.
    bool InUse() const { return inUse_; }
    // Reads up to `size` bytes; `got` is 0 at the end of the file.
    bool Read(char* buffer, std::size_t size, std::size_t& got);
    // Writes all of `data` or fails.
    bool Write(std::string_view data);
    // Commits written data to the disk.
    bool Flush();
    bool Close();

    // Open for reading, sharing with other readers only: fails while another
    // process holds the file open for writing.
    static File OpenRead(const Path& path);
    // Create or truncate for writing, sharing with readers only: fails while
    // another process holds the file open.
    static File CreateWrite(const Path& path);

private:
#ifdef _WIN32
    using Handle = void*;
    static inline Handle const kInvalid = reinterpret_cast<Handle>(static_cast<intptr_t>(-1));
#else
    using Handle = int;
    static constexpr Handle kInvalid = -1;
#endif
    explicit File(Handle h) : handle_(h) {}
    static File HeldElsewhere() {
        File f;
        f.inUse_ = true;
        return f;
    }
    Handle handle_ = kInvalid;
    bool inUse_ = false;
};

// Deletes a file; fails while another process holds it open.
bool DeleteFile(const Path& path);

enum class ReplaceOutcome {
    Done,
    // Another process has `target` open (or, on Windows, mapped): a virus
    // scanner, an indexer or a backup program does so for a moment.
    Held,
    Failed,
};
// Replaces `target` by `source` in one step (write-through); `source` is gone
// afterwards. Unless Done, both stay as they were.
ReplaceOutcome TryReplaceFile(const Path& source, const Path& target);
// The same, tried again every 50 ms while `target` is held, for about a
// second in all: bounded, as a hold that lasts must not keep a closing
// program from ending. True once replaced.
bool ReplaceFile(const Path& source, const Path& target);
// The name to write `target`'s next content under before it replaces
// `target`: beside it, with another extension of three letters, so that
// wherever the path of a target with such an extension works so does this
// one; never `program`.
Path ReplacementPath(const Path& target, const Path& program);

// The calling thread waits this long.
void Pause(int milliseconds);

// The file's last-write time in local time, packed as an MS-DOS date-time
// (date high, time low, two-second steps); -1 for no file, a folder, or a time
// outside 1980-2107.
int32_t FileStamp(const Path& path);

// Sets a file's last-write time from a local MS-DOS stamp (tests and helpers).
bool SetFileStamp(const Path& path, int32_t dosStamp);

struct LocalTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Services that tests replace: the clock, the window list and the program path.
struct TopWindow {
    bool hasOwner = false;
    bool visible = false;
    std::string title;  // code page 932 bytes
};

class Environment {
public:
    virtual ~Environment() = default;
    virtual LocalTime Now() = 0;
    virtual std::vector<TopWindow> TopLevelWindows() = 0;
    virtual Path ProgramPath() = 0;
};

// The real services of this machine.
Environment& SystemEnvironment();

}  // namespace os
