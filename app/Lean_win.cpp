// The program's runtime without exceptions, linked into the program and into
// the benchmark's floor, which must be built as lean to compare with it.
#include <cstddef>
#include <cstdlib>

// The program has no exceptions, but the library's own error paths throw,
// and linking them brings in the whole exception machinery (the unwinder,
// the exception allocator, type information), a tenth of the program. A
// failed allocation or a broken precondition ends the program at once, as
// it would have anyway; the library's default handler for an uncaught
// exception would also pull in a 45 KiB demangler for a program without a
// console to print on.
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    std::abort();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
namespace std {
void __throw_bad_alloc() {
    std::abort();
}
void __throw_bad_array_new_length() {
    std::abort();
}
void __throw_bad_function_call() {
    std::abort();
}
void __throw_length_error(const char*) {
    std::abort();
}
void __throw_logic_error(const char*) {
    std::abort();
}
void __throw_out_of_range(const char*) {
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
void __throw_invalid_argument(const char*) {
    std::abort();
}
}  // namespace std
