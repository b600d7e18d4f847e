// The configuration file. The input is the file; reading it must give what a
// reference reading of the lines gives, stay within the count limit whatever
// count the file names, and a write followed by a read must give the same
// values again.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "os/Faults.h"
#include "os/Os.h"
#include "settings/Configuration.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

struct Expected {
    int32_t paletteLeft = 196, paletteTop = 104, dialogLeft = 193, dialogTop = 115;
    int32_t screenType = 0, radiusCount = 0, diameterCount = 0;
    std::vector<std::string> radius, diameter;
};

// Reads one count and its entries from line `at`; false when reading stops.
bool ReadList(const fuzz::Lines& lines, std::size_t& at, int32_t& count, std::vector<std::string>& list) {
    count = fuzz::RefIntOrZero(lines[at++]);
    if (count < 0) return false;
    if (count > kMaxListCount) {
        count = 0;
        return false;
    }
    for (int32_t i = 0; i < count; ++i) list.push_back(lines.Text(at++));
    return true;
}

Expected Reference(std::string_view bytes) {
    fuzz::Lines lines(bytes);
    Expected e;
    e.paletteLeft = fuzz::RefIntOrZero(lines[0]);
    e.paletteTop = fuzz::RefIntOrZero(lines[1]);
    e.dialogLeft = fuzz::RefIntOrZero(lines[2]);
    e.dialogTop = fuzz::RefIntOrZero(lines[3]);
    e.screenType = fuzz::RefIntOrZero(lines[4]);
    std::size_t at = 5;
    if (ReadList(lines, at, e.radiusCount, e.radius)) ReadList(lines, at, e.diameterCount, e.diameter);
    return e;
}

void CheckValues(const Expected& e, const ConfigurationValues& v) {
    const StoredSettings& s = v.settings;
    FUZZ_CHECK(v.palette && v.palette->left == e.paletteLeft && v.palette->top == e.paletteTop);
    FUZZ_CHECK(v.dialog && v.dialog->left == e.dialogLeft && v.dialog->top == e.dialogTop);
    FUZZ_CHECK(s.ScreenType == e.screenType);
    FUZZ_CHECK(s.RadiusCount == e.radiusCount && s.RadiusList == e.radius);
    FUZZ_CHECK(s.DiameterCount == e.diameterCount && s.DiameterList == e.diameter);
    // Bounded memory: never more entries than the limit, whatever the count.
    FUZZ_CHECK(s.RadiusList.size() <= static_cast<std::size_t>(kMaxListCount));
    FUZZ_CHECK(s.DiameterList.size() <= static_cast<std::size_t>(kMaxListCount));
    FUZZ_CHECK(s.RadiusEntries() <= s.RadiusList.size() && s.DiameterEntries() <= s.DiameterList.size());
}

std::string Content(const Expected& e) {
    std::string c;
    auto line = [&](std::string_view l) { c.append(l).append("\r\n"); };
    for (int32_t v : {e.paletteLeft, e.paletteTop, e.dialogLeft, e.dialogTop, e.screenType, e.radiusCount})
        line(std::to_string(v));
    for (const auto& r : e.radius) line(r);
    line(std::to_string(e.diameterCount));
    for (const auto& d : e.diameter) line(d);
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchFolder() + "k307palette.dat";
    static const std::string saved = fuzz::ScratchFolder() + "saved.dat";
    std::string_view input(reinterpret_cast<const char*>(data), size);

    fuzz::WriteRaw(path, input);
    const int openBefore = os::Faults::OpenFiles();
    const ConfigurationValues values = ReadConfiguration(os::PathFromUtf8(path));
    FUZZ_CHECK(os::Faults::OpenFiles() == openBefore);
    const Expected e = Reference(input);
    CheckValues(e, values);
    std::string after;
    FUZZ_CHECK(fuzz::ReadRaw(path, after) && after == input);

    // Written and read again: the same values.
    WriteConfiguration(os::PathFromUtf8(saved), *values.palette, *values.dialog, values.settings, {});
    FUZZ_CHECK(os::Faults::OpenFiles() == openBefore);
    FUZZ_CHECK(!fuzz::Exists(fuzz::ScratchFolder() + "saved.tmp"));
    std::string bytes;
    FUZZ_CHECK(fuzz::ReadRaw(saved, bytes));
    FUZZ_CHECK(bytes == Content(e));
    CheckValues(e, ReadConfiguration(os::PathFromUtf8(saved)));
    return 0;
}
