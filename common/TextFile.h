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
    // False only on a read error, which leaves `line` empty; past the end
    // `line` is empty and the result true.
    bool ReadLine(std::string& line);
    bool AtEnd() const { return eof_ && pos_ == len_; }
    bool Close() { return file_.Close(); }

private:
    bool Fill();
    os::File file_;
    std::string buffer_;
    std::size_t pos_ = 0, len_ = 0;
    bool eof_ = false;
};

// The lines joined, each ended by CR LF: a whole file's content, so that it
// can go to the disk in one write.
std::string JoinLines(const std::vector<std::string_view>& lines);
void AppendLine(std::string& content, std::string_view line);
