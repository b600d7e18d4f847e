#include "tests/helpers/TestSupport.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/helpers/Platform.h"

namespace fs = std::filesystem;

namespace testkit {

namespace {
std::atomic<int> gScratchCount{0};
std::atomic<int> gHolderCount{0};

// A starting Wine process can take seconds on a loaded machine; these bound
// how long a broken helper can stall a test, they do not pace it.
constexpr int kReadyTimeoutMs = 60000;
constexpr int kExitTimeoutMs = 30000;
constexpr auto kPollStep = std::chrono::milliseconds(5);

template <typename Done>
bool PollUntil(int timeoutMs, Done done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollStep);
    }
}

os::Path WithDelimiter(const fs::path& p) {
    os::Path s = p.native();
    if (!s.empty() && s.back() != fs::path::preferred_separator) s.push_back(fs::path::preferred_separator);
    return s;
}
}  // namespace

ScratchDir::ScratchDir() {
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream name;
        name << "k307-test-" << platform::CurrentProcessId() << '-' << stamp << '-' << gScratchCount++;
        fs::path p = fs::temp_directory_path() / name.str();
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            folder_ = WithDelimiter(p);
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch folder");
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(fs::path(folder_), ec);
}

os::Path ScratchDir::operator/(std::string_view utf8Name) const {
    return folder_ + os::PathFromUtf8(utf8Name);
}

bool WriteBytes(const os::Path& path, std::string_view bytes) {
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

std::optional<std::string> ReadBytes(const os::Path& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool Exists(const os::Path& path) {
    std::error_code ec;
    return fs::exists(fs::path(path), ec);
}

bool MakeFolder(const os::Path& path) {
    std::error_code ec;
    return fs::create_directory(fs::path(path), ec);
}

bool SetLocalWriteTime(const os::Path& path,
                       int year,
                       int month,
                       int day,
                       int hour,
                       int minute,
                       int second,
                       int millisecond) {
    return platform::SetLocalWriteTime(path, year, month, day, hour, minute, second, millisecond);
}

int32_t DosStamp(int year, int month, int day, int hour, int minute, int second) {
    auto date = static_cast<uint32_t>((year - 1980) * 512 + month * 32 + day);
    auto time = static_cast<uint32_t>(hour * 2048 + minute * 32 + second / 2);
    return static_cast<int32_t>(date * 65536u + time);
}

os::Path TestProgramFolder() {
    return os::FolderOf(os::SystemEnvironment().ProgramPath());
}

FileHolder::FileHolder(HoldMode mode, const os::Path& file, const ScratchDir& scratch) {
    int n = gHolderCount++;
    std::string base = "holder-" + std::to_string(n);
    readyMarker_ = scratch / (base + ".ready");
    releaseMarker_ = scratch / (base + ".release");
    os::Path program = TestProgramFolder() + platform::HelperProgramName("holdfile");
    process_ = platform::Spawn(
        program, {os::PathFromAscii(mode == HoldMode::Read ? "read" : "write"), file, readyMarker_, releaseMarker_});
}

FileHolder::~FileHolder() {
    if (process_ == nullptr) return;
    if (exitCode_ < 0) {
        WriteBytes(releaseMarker_, "");
        if (!WaitForExit(kExitTimeoutMs)) platform::Kill(process_);
    }
    platform::Free(process_);
}

bool FileHolder::WaitForExit(int timeoutMs) {
    if (exitCode_ >= 0) return true;
    return PollUntil(timeoutMs, [&] { return platform::HasEnded(process_, exitCode_); });
}

bool FileHolder::WaitUntilHolding() {
    if (process_ == nullptr) return false;
    bool ready = PollUntil(kReadyTimeoutMs, [&] {
        // The marker is made only once the file is open; an early exit means
        // the helper could not open it.
        return Exists(readyMarker_) || exitCode_ >= 0 || platform::HasEnded(process_, exitCode_);
    });
    return ready && Exists(readyMarker_);
}

bool FileHolder::Release() {
    if (process_ == nullptr) return false;
    if (exitCode_ < 0 && !WriteBytes(releaseMarker_, "")) return false;
    return WaitForExit(kExitTimeoutMs) && exitCode_ == 0;
}

}  // namespace testkit
