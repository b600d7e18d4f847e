// POSIX stand-ins for the Win32 services, so the logic builds and runs on the
// host. Windows' sharing rule is emulated with advisory flock() locks: a
// writer holds an exclusive lock, readers a shared one, so among processes
// that use this layer the rule holds as on Windows.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <ctime>
#include <string>

#include "os/Faults.h"
#include "os/Os.h"

namespace os {

std::string PathToUtf8(const Path& path) {
    return path;
}
Path PathFromUtf8(std::string_view utf8) {
    return Path(utf8);
}

bool SamePathIgnoringCase(const Path& a, const Path& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

File File::OpenRead(const Path& path) {
    if (FaultHit(Op::Open)) return File();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return File();
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || ::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd);
        return File();
    }
    CountOpenFiles(1);
    return File(fd);
}

File File::CreateWrite(const Path& path) {
    if (FaultHit(Op::Open)) return File();
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return File();
    // Truncate only once the lock shows nobody else holds the file.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? HeldElsewhere() : File();
    }
    if (::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return File();
    }
    CountOpenFiles(1);
    return File(fd);
}

bool File::Read(char* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    if (!IsOpen() || FaultHit(Op::Read)) return false;
    ssize_t n;
    do {
        n = ::read(handle_, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return false;
    got = static_cast<std::size_t>(n);
    return true;
}

bool File::Write(std::string_view data) {
    if (!IsOpen() || FaultHit(Op::Write)) return false;
    while (!data.empty()) {
        ssize_t n = ::write(handle_, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool File::Flush() {
    if (!IsOpen() || FaultHit(Op::Flush)) return false;
    return ::fsync(handle_) == 0;
}

bool File::Close() {
    if (!IsOpen()) return true;
    bool ok = !FaultHit(Op::Close);
    // The handle is released even when the close is made to fail, as a
    // failing CloseHandle would not leave it usable either.
    if (::close(handle_) != 0) ok = false;
    handle_ = kInvalid;
    CountOpenFiles(-1);
    return ok;
}

// Fails while another process holds the file (any lock), as Windows would.
static bool IsHeldByOthers(const Path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

bool DeleteFile(const Path& path) {
    if (FaultHit(Op::Delete)) return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    if (IsHeldByOthers(path)) return false;
    return ::unlink(path.c_str()) == 0;
}

ReplaceOutcome TryReplaceFile(const Path& source, const Path& target) {
    if (FaultHit(Op::Replace)) return ReplaceOutcome::Failed;
    if (FaultHeld(Op::Replace) || IsHeldByOthers(target)) return ReplaceOutcome::Held;
    if (::rename(source.c_str(), target.c_str()) != 0) return ReplaceOutcome::Failed;
    // Make the rename itself durable.
    Path folder = FolderOf(target);
    int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return ReplaceOutcome::Done;
}

void Pause(int milliseconds) {
    struct timespec wait {
        milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000
    };
    while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

int32_t FileStamp(const Path& path) {
    if (FaultHit(Op::Stamp)) return -1;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    std::tm tm{};
    time_t t = st.st_mtime;
    if (::localtime_r(&t, &tm) == nullptr) return -1;
    int year = tm.tm_year + 1900;
    if (year < 1980 || year > 2107) return -1;
    uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
    uint32_t time = static_cast<uint32_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
    return static_cast<int32_t>((date << 16) | time);
}

bool SetFileStamp(const Path& path, int32_t dosStamp) {
    auto packed = static_cast<uint32_t>(dosStamp);
    std::tm tm{};
    tm.tm_year = static_cast<int>((packed >> 25) & 0x7F) + 80;
    tm.tm_mon = static_cast<int>((packed >> 21) & 0x0F) - 1;
    tm.tm_mday = static_cast<int>((packed >> 16) & 0x1F);
    tm.tm_hour = static_cast<int>((packed >> 11) & 0x1F);
    tm.tm_min = static_cast<int>((packed >> 5) & 0x3F);
    tm.tm_sec = static_cast<int>(packed & 0x1F) * 2;
    tm.tm_isdst = -1;
    time_t t = ::mktime(&tm);
    if (t == static_cast<time_t>(-1)) return false;
    struct timeval tv[2] = {{t, 0}, {t, 0}};
    return ::utimes(path.c_str(), tv) == 0;
}

namespace {
class PosixEnvironment final : public Environment {
public:
    LocalTime Now() override {
        struct timeval tv {};
        ::gettimeofday(&tv, nullptr);
        std::tm tm{};
        time_t t = tv.tv_sec;
        ::localtime_r(&t, &tm);
        return {tm.tm_year + 1900,
                tm.tm_mon + 1,
                tm.tm_mday,
                tm.tm_hour,
                tm.tm_min,
                tm.tm_sec,
                static_cast<int>(tv.tv_usec / 1000)};
    }
    // The host has no window system; only the injected lists of tests exist.
    std::vector<TopWindow> TopLevelWindows() override { return {}; }
    Path ProgramPath() override {
        char buf[PATH_MAX];
        ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
        return n > 0 ? Path(buf, static_cast<std::size_t>(n)) : Path();
    }
};
}  // namespace

Environment& SystemEnvironment() {
    static PosixEnvironment env;
    return env;
}

}  // namespace os
