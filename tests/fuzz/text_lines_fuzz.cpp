// The line reader: reading a file line by line until its end and joining the
// lines with LF gives back the file without its CR bytes. The file is read as
// it is and, for inputs whose first byte is odd, behind a filler that puts
// the input's bytes across the reader's 64 KiB buffer boundary.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/TextFile.h"
#include "os/Faults.h"
#include "os/Os.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

void CheckReadsBack(const std::string& path, std::string_view content) {
    fuzz::WriteRaw(path, content);
    const int openBefore = os::Faults::OpenFiles();
    std::vector<std::string> lines;
    {
        TextReader reader(os::PathFromUtf8(path));
        FUZZ_CHECK(reader.IsOpen());
        // Every line but the last ends at an LF, so there are at most one
        // more lines than bytes; a reader that never reaches its end fails here.
        do {
            std::string line;
            FUZZ_CHECK(reader.ReadLine(line));
            lines.push_back(std::move(line));
            FUZZ_CHECK(lines.size() <= content.size() + 1);
        } while (!reader.AtEnd());
        // Past the end every line is empty and no error.
        for (int i = 0; i < 2; ++i) {
            std::string line = "x";
            FUZZ_CHECK(reader.ReadLine(line));
            FUZZ_CHECK(line.empty());
        }
        FUZZ_CHECK(reader.Close());
    }
    FUZZ_CHECK(os::Faults::OpenFiles() == openBefore);

    std::string joined, expected(content);
    joined.reserve(content.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) joined += '\n';
        FUZZ_CHECK(lines[i].find_first_of("\r\n") == std::string::npos);
        joined += lines[i];
    }
    std::erase(expected, '\r');
    FUZZ_CHECK(joined == expected);
    // The same lines as the reference split, which leaves out the empty line
    // that follows a final LF (or makes up an empty file).
    const std::vector<std::string> ref = fuzz::Lines(content).lines;
    const bool emptyLast = expected.empty() || expected.back() == '\n';
    FUZZ_CHECK(lines.size() == ref.size() + (emptyLast ? 1 : 0));
    if (emptyLast) FUZZ_CHECK(lines.back().empty());
    FUZZ_CHECK(std::equal(ref.begin(), ref.end(), lines.begin()));

    // Written back with JoinLines, every line ends in CR LF.
    std::vector<std::string_view> views(lines.begin(), lines.end());
    std::string written = JoinLines(views), byHand;
    for (const auto& l : lines) byHand += l + "\r\n";
    FUZZ_CHECK(written == byHand);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchFolder() + "lines.txt";
    std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckReadsBack(path, input);

    // Half the inputs (odd first byte) also go behind the filler: reading
    // 64 KiB costs a hundred times more than a short input, and the fuzzer
    // then still spends most of its time on new shapes of input.
    if (size > 0 && (data[0] & 1) != 0) {
        const std::size_t chunk = 64 * 1024;
        std::size_t before = std::min<std::size_t>(size, data[0] % 17);
        // Short filler lines: one line of 64 KiB would make every check of
        // it an allocation too large to be pooled, and slow the run tenfold.
        std::string padded;
        padded.reserve(chunk + size);
        while (padded.size() < chunk - before) {
            padded.append(std::min<std::size_t>(99, chunk - before - padded.size() - 1), 'x');
            padded.push_back('\n');
        }
        padded.append(input);
        CheckReadsBack(path, padded);
    }
    return 0;
}
