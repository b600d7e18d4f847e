#include <signal.h>
#include <spawn.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <string>

#include "tests/helpers/Platform.h"

extern char** environ;

namespace testkit::platform {

struct Process {
    pid_t pid;
};

unsigned long CurrentProcessId() {
    return static_cast<unsigned long>(::getpid());
}

os::Path HelperProgramName(const char* base) {
    return base;
}

Process* Spawn(const os::Path& program, const std::vector<os::Path>& args) {
    std::vector<std::string> storage;
    storage.push_back(program);
    for (const auto& a : args) storage.push_back(a);
    std::vector<char*> argv;
    for (auto& s : storage) argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return nullptr;
    return new Process{pid};
}

bool HasEnded(Process* p, int& exitCode) {
    int status = 0;
    pid_t r = ::waitpid(p->pid, &status, WNOHANG);
    if (r != p->pid) return false;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

void Kill(Process* p) {
    ::kill(p->pid, SIGKILL);
    int status = 0;
    ::waitpid(p->pid, &status, 0);
}

void Free(Process* p) {
    delete p;
}

bool SetLocalWriteTime(const os::Path& path,
                       int year,
                       int month,
                       int day,
                       int hour,
                       int minute,
                       int second,
                       int millisecond) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    time_t t = ::mktime(&tm);
    struct timeval tv[2];
    tv[0].tv_sec = tv[1].tv_sec = t;
    tv[0].tv_usec = tv[1].tv_usec = millisecond * 1000;
    return ::utimes(path.c_str(), tv) == 0;
}

}  // namespace testkit::platform
