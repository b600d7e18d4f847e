// IntOrZero and RealOrZero against reference readers built on the C library.
// The program may run under any user locale, so the target sets one whose
// decimal separator is "," when the machine has it: the readings must not
// change.
#include <clocale>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "common/uMyFunc.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) std::setlocale(LC_ALL, "de_DE.utf8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);

    const int32_t i = IntOrZero(text);
    FUZZ_CHECK(i == fuzz::RefIntOrZero(text));

    const double r = RealOrZero(text);
    FUZZ_CHECK(std::isfinite(r));
    FUZZ_CHECK(fuzz::RefRealOrZero(text).Accepts(r));

    // A text that reads as a nonzero number must be one: after the blanks,
    // nothing but sign, digits, ".", "e" and "E".
    if (r != 0.0) {
        for (char c : text)
            FUZZ_CHECK(fuzz::IsDec(c) || c == ' ' || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E');
    }
    return 0;
}
