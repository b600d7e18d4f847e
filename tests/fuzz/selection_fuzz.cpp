// The selection file. The input is used twice:
// - as the bytes of "k307.dat": the reading must follow the file's rules,
//   leave no file open, and what it gives must survive a write and a second
//   read unchanged;
// - as a selection (radius text, NUL, diameter text, NUL, mode bytes): the
//   written file must hold exactly the four lines, and read back the same
//   whenever the texts can be held in a line.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "app/Selection.h"
#include "os/Faults.h"
#include "os/Os.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

const std::string kHeader = "[Vorna]k307\x81\x46\x90\xDA\x89\x7E\x82\xCC\x8D\xEC\x90\x7D";
const std::string kDefault = "(\x96\xB3\x8E\x77\x92\xE8)";

std::string Trimmed(std::string s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.erase(0, 1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.pop_back();
    return s;
}

bool Same(const Selection& a, const Selection& b) {
    return a.radiusText == b.radiusText && a.diameterText == b.diameterText && a.mode == b.mode;
}

bool FitsInALine(const std::string& s) {
    return s.find_first_of("\r\n") == std::string::npos;
}

// Writes, checks the bytes, reads back.
void CheckRoundTrip(const std::string& path, const Selection& s) {
    const int openBefore = os::Faults::OpenFiles();
    WriteSelectionFile(os::PathFromUtf8(path), s);
    FUZZ_CHECK(os::Faults::OpenFiles() == openBefore);
    std::string bytes;
    FUZZ_CHECK(fuzz::ReadRaw(path, bytes));
    FUZZ_CHECK(bytes ==
               kHeader + "\r\n" + s.radiusText + "\r\n" + s.diameterText + "\r\n" + std::to_string(s.mode) + "\r\n");
    if (!FitsInALine(s.radiusText) || !FitsInALine(s.diameterText)) return;
    Selection back = ReadSelectionFile(os::PathFromUtf8(path));
    FUZZ_CHECK(os::Faults::OpenFiles() == openBefore);
    FUZZ_CHECK(Same(back, s));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchFolder() + "k307.dat";
    static const std::string again = fuzz::ScratchFolder() + "again.dat";
    std::string_view input(reinterpret_cast<const char*>(data), size);

    // The input as a file.
    fuzz::WriteRaw(path, input);
    const int openBefore = os::Faults::OpenFiles();
    Selection got = ReadSelectionFile(os::PathFromUtf8(path));
    FUZZ_CHECK(os::Faults::OpenFiles() == openBefore);
    fuzz::Lines lines(input);
    if (Trimmed(lines[0]) == kHeader) {
        FUZZ_CHECK(got.radiusText == lines.Text(1));
        FUZZ_CHECK(got.diameterText == lines.Text(2));
        FUZZ_CHECK(got.mode == fuzz::RefIntOrZero(lines[3]));
    } else {
        FUZZ_CHECK(got.radiusText == kDefault && got.diameterText == kDefault && got.mode == 0);
    }
    // Reading never changes a file that could be read.
    std::string after;
    FUZZ_CHECK(fuzz::ReadRaw(path, after) && after == input);
    CheckRoundTrip(again, got);

    // The input as a selection.
    Selection s;
    const char* p = reinterpret_cast<const char*>(data);
    const char* end = p + size;
    const char* nul = static_cast<const char*>(std::memchr(p, 0, size));
    s.radiusText.assign(p, nul ? nul : end);
    if (nul) {
        p = nul + 1;
        nul = static_cast<const char*>(std::memchr(p, 0, static_cast<std::size_t>(end - p)));
        s.diameterText.assign(p, nul ? nul : end);
        if (nul) {
            uint32_t mode = 0;
            std::memcpy(&mode, nul + 1, std::min<std::size_t>(4, static_cast<std::size_t>(end - nul - 1)));
            s.mode = static_cast<int32_t>(mode);
        }
    }
    CheckRoundTrip(again, s);
    return 0;
}
