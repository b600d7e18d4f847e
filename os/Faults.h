// Fault injection for the OS layer's tests: fail the n-th file operation of a
// kind, count the operations and the open files. Only the tests' build of the
// OS layer (K307_FAULTS) has it; in the program every hook is a constant
// false that the compiler drops.
#pragma once
namespace os {

enum class Op { Open, Read, Write, Flush, Close, Delete, Replace, Stamp, Count };

#ifdef K307_FAULTS
struct Faults {
    // 0 = never; n = the n-th call of that kind from now fails.
    static void FailNth(Op op, int n);
    // The next `calls` calls of that kind find the file held by another
    // process (only Replace asks).
    static void HoldFor(Op op, int calls);
    static void Clear();
    // Number of operations of a kind since the last Clear().
    static int Calls(Op op);
    // Files this process holds open through File.
    static int OpenFiles();
    // Called by the implementations; true when this call must fail.
    static bool Hit(Op op);
    // Called after Hit: true when this call must find the file held.
    static bool Held(Op op);
    static void CountOpenFiles(int delta);
};

inline bool FaultHit(Op op) {
    return Faults::Hit(op);
}
inline bool FaultHeld(Op op) {
    return Faults::Held(op);
}
inline void CountOpenFiles(int delta) {
    Faults::CountOpenFiles(delta);
}
#else
constexpr bool FaultHit(Op) {
    return false;
}
constexpr bool FaultHeld(Op) {
    return false;
}
constexpr void CountOpenFiles(int) {}
#endif

}  // namespace os
