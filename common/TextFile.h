// Line-by-line text files in code page 932, bytes kept as they are. A line
// ends at LF; CR bytes are dropped wherever they stand (so CR LF and LF files
// read alike); a last line without LF is read whole; reading past the end
// yields empty lines. Writing ends every line with CR LF.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "os/Os.h"

class TextReader {
public:
    // Opens for reading, sharing with readers only.
    explicit TextReader(const os::Path& path);
    bool IsOpen() const { return file_.IsOpen(); }
    // False on a read error or a line longer than kMaxLineLength, which
    // leave `line` empty and fail every later read; past the end `line` is
    // empty and the result true.
    bool ReadLine(std::string& line);
    // A line as the palette's windows can show it: up to its first NUL byte,
    // which ends a text in every window. What is stored is then what shows.
    bool ReadText(std::string& text);
    bool AtEnd() const { return eof_ && pos_ == len_; }
    bool Close() { return file_.Close(); }

private:
    bool Fill();
    bool Fail(std::string& line);
    os::File file_;
    std::string buffer_;
    std::size_t pos_ = 0, len_ = 0;
    bool eof_ = false;
    bool failed_ = false;
};

// Far beyond any text the palette deals in, yet small enough to hold: a
// longer line makes the read fail rather than exhaust memory.
constexpr std::size_t kMaxLineLength = 4 * 1024 * 1024;

// The lines joined, each ended by CR LF: a whole file's content, so that it
// can go to the disk in one write.
std::string JoinLines(const std::vector<std::string_view>& lines);
void AppendLine(std::string& content, std::string_view line);
