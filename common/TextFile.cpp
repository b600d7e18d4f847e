// Line-by-line text files in code page 932.
#include "common/TextFile.h"

#include <cstring>

namespace {
constexpr std::size_t kChunk = 64 * 1024;
}

TextReader::TextReader(const os::Path& path) : file_(os::File::OpenRead(path)) {}

bool TextReader::Fill() {
    if (buffer_.size() < kChunk) buffer_.resize(kChunk);
    std::size_t got = 0;
    if (!file_.Read(buffer_.data(), buffer_.size(), got)) return false;
    pos_ = 0;
    len_ = got;
    if (got == 0) eof_ = true;
    return true;
}

bool TextReader::Fail(std::string& line) {
    // Half a line is no line: a caller that keeps what it read before a
    // failure must not keep an entry cut short.
    line.clear();
    failed_ = true;
    return false;
}

bool TextReader::ReadLine(std::string& line) {
    line.clear();
    if (failed_) return false;
    if (!file_.IsOpen()) return eof_;
    for (;;) {
        if (pos_ == len_) {
            if (eof_) return true;
            if (!Fill()) return Fail(line);
            if (eof_) return true;
        }
        const char* start = buffer_.data() + pos_;
        const void* lf = std::memchr(start, '\n', len_ - pos_);
        std::size_t end = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.data()) : len_;
        for (std::size_t i = pos_; i < end; ++i) {
            if (buffer_[i] != '\r') line.push_back(buffer_[i]);
        }
        // Checked a buffer at a time: the line never grows much beyond.
        if (line.size() > kMaxLineLength) return Fail(line);
        if (lf) {
            pos_ = end + 1;
            return true;
        }
        pos_ = len_;
    }
}

bool TextReader::ReadText(std::string& text) {
    if (!ReadLine(text)) return false;
    std::size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return true;
}

void AppendLine(std::string& content, std::string_view line) {
    content.append(line);
    content.append("\r\n");
}

std::string JoinLines(const std::vector<std::string_view>& lines) {
    std::size_t size = 0;
    for (auto l : lines) size += l.size() + 2;
    std::string content;
    content.reserve(size);
    for (auto l : lines) AppendLine(content, l);
    return content;
}
