// The fault injection of the tests' build of the OS layer (os/Faults.h).
#include "os/Faults.h"

#include <array>
#include <cstddef>

namespace os {

namespace {
constexpr std::size_t kOps = static_cast<std::size_t>(Op::Count);
std::array<int, kOps> gFailAt{};
std::array<int, kOps> gCalls{};
std::array<int, kOps> gHeldThrough{};
int gOpenFiles = 0;
}  // namespace

void Faults::FailNth(Op op, int n) {
    auto i = static_cast<std::size_t>(op);
    gFailAt[i] = n > 0 ? gCalls[i] + n : 0;
}

void Faults::HoldFor(Op op, int calls) {
    auto i = static_cast<std::size_t>(op);
    gHeldThrough[i] = gCalls[i] + calls;
}

void Faults::Clear() {
    gFailAt.fill(0);
    gHeldThrough.fill(0);
    gCalls.fill(0);
}

int Faults::Calls(Op op) {
    return gCalls[static_cast<std::size_t>(op)];
}

int Faults::OpenFiles() {
    return gOpenFiles;
}

void Faults::CountOpenFiles(int delta) {
    gOpenFiles += delta;
}

bool Faults::Hit(Op op) {
    auto i = static_cast<std::size_t>(op);
    ++gCalls[i];
    return gFailAt[i] != 0 && gCalls[i] == gFailAt[i];
}

bool Faults::Held(Op op) {
    auto i = static_cast<std::size_t>(op);
    return gCalls[i] <= gHeldThrough[i];
}

}  // namespace os
