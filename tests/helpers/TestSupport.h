#pragma once
// Support for the unit tests. Setting up and checking files goes through the
// standard library and the platform's own calls, never through the OS layer
// under test, so that a fault in the layer cannot hide itself.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "os/Os.h"

namespace testkit {

namespace platform {
struct Process;
}

// A new empty folder, removed with all it holds when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Ends in the path delimiter.
    const os::Path& Folder() const { return folder_; }
    // A path inside the folder; the name is UTF-8 so that tests can use
    // Japanese names on every platform.
    os::Path operator/(std::string_view utf8Name) const;

private:
    os::Path folder_;
};

bool WriteBytes(const os::Path& path, std::string_view bytes);
// Empty when the file cannot be read.
std::optional<std::string> ReadBytes(const os::Path& path);
// True for files and folders alike.
bool Exists(const os::Path& path);
bool MakeFolder(const os::Path& path);

// Sets the last-write time to a local date and time by the platform's own
// call (utimes or SetFileTime), bypassing SetFileStamp.
bool SetLocalWriteTime(const os::Path& path,
                       int year,
                       int month,
                       int day,
                       int hour,
                       int minute,
                       int second,
                       int millisecond = 0);

// The MS-DOS date-time form of a local moment, packed here and not by the
// layer, as the expected value of FileStamp.
int32_t DosStamp(int year, int month, int day, int hour, int minute, int second);

// Where the test program and the helper programs built with it are.
os::Path TestProgramFolder();

// Another process (tests/helpers/holdfile) that holds a file open, for
// reading or for writing, until it is released.
enum class HoldMode { Read, Write };

class FileHolder {
public:
    FileHolder(HoldMode mode, const os::Path& file, const ScratchDir& scratch);
    // Releases the file; a helper that does not stop in time is killed.
    ~FileHolder();
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    // True once the helper has the file open. False when it could not open
    // it (it then exits with kRefused) or did not report in time.
    bool WaitUntilHolding();
    // Makes the helper close the file and waits for it to end; true when it
    // ended normally.
    bool Release();
    // The helper's exit code once it has ended, -1 before.
    int ExitCode() const { return exitCode_; }

    static constexpr int kRefused = 3;

private:
    bool WaitForExit(int timeoutMs);
    os::Path readyMarker_, releaseMarker_;
    platform::Process* process_ = nullptr;
    int exitCode_ = -1;
};

}  // namespace testkit
