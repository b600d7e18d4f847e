// holdfile read|write FILE READY RELEASE
// Holds FILE open the way another program using the OS layer would (the
// layer's flock rule: writers exclusive, readers shared), creates READY once
// it has it, and closes it when RELEASE appears. Exits 3 when FILE cannot be
// opened so, 2 on bad arguments, 4 when never released.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

namespace {
bool Exists(const char* path) {
    struct stat st {};
    return ::stat(path, &st) == 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    bool write = std::strcmp(argv[1], "write") == 0;
    if (!write && std::strcmp(argv[1], "read") != 0) return 2;
    int fd = write ? ::open(argv[2], O_WRONLY | O_CREAT | O_CLOEXEC, 0644) : ::open(argv[2], O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::flock(fd, (write ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) return 3;
    int ready = ::open(argv[3], O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (ready < 0) return 2;
    ::close(ready);
    // Bounded, so that a test that died never leaves this behind for long.
    const struct timespec step = {0, 5 * 1000 * 1000};
    for (int i = 0; i < 24000; ++i) {
        if (Exists(argv[4])) {
            ::close(fd);
            return 0;
        }
        ::nanosleep(&step, nullptr);
    }
    return 4;
}
