// Parts of the OS layer that are the same on every platform.
#include "os/Os.h"

namespace os {

Path PathFromAscii(std::string_view ascii) {
    return Path(ascii.begin(), ascii.end());
}

static bool IsDelimiter(PathChar c) {
#ifdef _WIN32
    return c == L'\\' || c == L'/' || c == L':';
#else
    return c == '/';
#endif
}

Path FolderOf(const Path& filePath) {
    std::size_t i = filePath.size();
    while (i > 0 && !IsDelimiter(filePath[i - 1])) --i;
    return filePath.substr(0, i);
}

Path ReplaceExtension(const Path& filePath, std::string_view extension) {
    std::size_t nameStart = FolderOf(filePath).size();
    std::size_t dot = filePath.rfind(PathChar('.'));
    Path stem = (dot != Path::npos && dot >= nameStart) ? filePath.substr(0, dot) : filePath;
    return stem + PathFromAscii(extension);
}

Path ReplacementPath(const Path& target, const Path& program) {
    Path temp = ReplaceExtension(target, ".tmp");
    // A program named "X.tmp" has "X.dat" for its configuration.
    if (SamePathIgnoringCase(temp, program)) temp = ReplaceExtension(target, ".$$$");
    return temp;
}

bool ReplaceFile(const Path& source, const Path& target) {
    constexpr int kAttempts = 20;
    constexpr int kPauseMs = 50;
    for (int attempt = 1;; ++attempt) {
        const ReplaceOutcome outcome = TryReplaceFile(source, target);
        if (outcome != ReplaceOutcome::Held || attempt == kAttempts) return outcome == ReplaceOutcome::Done;
        Pause(kPauseMs);
    }
}

File::File(File&& other) noexcept : handle_(other.handle_), inUse_(other.inUse_) {
    other.handle_ = kInvalid;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        inUse_ = other.inUse_;
        other.handle_ = kInvalid;
    }
    return *this;
}

File::~File() {
    Close();
}

}  // namespace os
