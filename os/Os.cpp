// Parts of the OS layer that are the same on every platform.
#include "os/Os.h"

#include <array>

namespace os {

namespace {
constexpr std::size_t kOps = static_cast<std::size_t>(Op::Count);
std::array<int, kOps> gFailAt{};
std::array<int, kOps> gCalls{};
}  // namespace

int gOpenFiles = 0;  // maintained by the File implementations

void Faults::FailNth(Op op, int n) {
    auto i = static_cast<std::size_t>(op);
    gFailAt[i] = n > 0 ? gCalls[i] + n : 0;
}

void Faults::Clear() {
    gFailAt.fill(0);
    gCalls.fill(0);
}

int Faults::Calls(Op op) {
    return gCalls[static_cast<std::size_t>(op)];
}

int Faults::OpenFiles() {
    return gOpenFiles;
}

bool Faults::Hit(Op op) {
    auto i = static_cast<std::size_t>(op);
    ++gCalls[i];
    return gFailAt[i] != 0 && gCalls[i] == gFailAt[i];
}

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
