#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/TextFile.h"
#include "os/Faults.h"
#include "os/Os.h"
#include "tests/helpers/TestSupport.h"

namespace {

class TextReading : public ::testing::Test {
protected:
    void SetUp() override { os::Faults::Clear(); }
    void TearDown() override {
        os::Faults::Clear();
        EXPECT_EQ(os::Faults::OpenFiles(), 0) << "a reader was left open";
    }

    // The first `count` lines of a file holding `bytes`.
    std::vector<std::string> Lines(const std::string& bytes, int count) {
        const os::Path path = dir_ / "text";
        EXPECT_TRUE(testkit::WriteBytes(path, bytes));
        TextReader reader(path);
        EXPECT_TRUE(reader.IsOpen());
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) {
            std::string line = "not cleared";
            EXPECT_TRUE(reader.ReadLine(line)) << "line " << i + 1;
            lines.push_back(line);
        }
        EXPECT_TRUE(reader.Close());
        return lines;
    }

    using L = std::vector<std::string>;
    testkit::ScratchDir dir_;
};

TEST_F(TextReading, LfAndCrLfLineEndsReadAlike) {
    EXPECT_EQ(Lines("one\ntwo\nthree\n", 3), (L{"one", "two", "three"}));
    EXPECT_EQ(Lines("one\r\ntwo\r\nthree\r\n", 3), (L{"one", "two", "three"}));
    EXPECT_EQ(Lines("one\r\ntwo\nthree\r\n", 3), (L{"one", "two", "three"}));
    EXPECT_EQ(Lines("\n\r\n\nx\n", 4), (L{"", "", "", "x"}));
}

TEST_F(TextReading, ACrThatEndsNoLineIsDropped) {
    EXPECT_EQ(Lines("a\rb\n", 2), (L{"ab", ""}));
    EXPECT_EQ(Lines("a\r\r\nb", 2), (L{"a", "b"}));
    EXPECT_EQ(Lines("\ra\rb\rc\r", 2), (L{"abc", ""})) << "a CR alone ends no line";
    EXPECT_EQ(Lines("12.5\r\r\r\n", 2), (L{"12.5", ""}));
}

TEST_F(TextReading, TheLastLineNeedsNoLineEnd) {
    EXPECT_EQ(Lines("one\r\ntwo", 3), (L{"one", "two", ""}));
    EXPECT_EQ(Lines("only", 2), (L{"only", ""}));
    EXPECT_EQ(Lines("only\r", 2), (L{"only", ""}));
}

TEST_F(TextReading, EveryLinePastTheEndIsEmpty) {
    EXPECT_EQ(Lines("a\nb\n", 6), (L{"a", "b", "", "", "", ""}));
    EXPECT_EQ(Lines("", 3), (L{"", "", ""}));
}

TEST_F(TextReading, AtEndOnlyOnceAllIsRead) {
    const os::Path path = dir_ / "t";
    ASSERT_TRUE(testkit::WriteBytes(path, "a\nb"));
    TextReader reader(path);
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_FALSE(reader.AtEnd());
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "b");
    EXPECT_TRUE(reader.AtEnd());
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_TRUE(reader.AtEnd());
}

TEST_F(TextReading, BytesStayAsTheyAre) {
    // A byte-order mark is no special case: it stays part of line 1.
    EXPECT_EQ(Lines("\xEF\xBB\xBF[Vorna]\r\nx", 2), (L{"\xEF\xBB\xBF[Vorna]", "x"}));
    EXPECT_EQ(Lines("\xFF\xFE\x61\n", 1), (L{"\xFF\xFE\x61"}));
    // Not valid code page 932: a lone lead byte, lead bytes with bad trail
    // bytes, 0x80, 0xA0, 0xFD-0xFF, a zero byte.
    const std::string odd("\x81\n\x82\x20\x85\x7F\x80\xA0\xFD\xFE\xFF\x00\x1A\x35", 14);
    EXPECT_EQ(Lines(odd, 2), (L{"\x81", std::string("\x82\x20\x85\x7F\x80\xA0\xFD\xFE\xFF\x00\x1A\x35", 12)}));
    // A trail byte that is LF's neighbour in value is no line end.
    EXPECT_EQ(Lines("\x90\x7D\x90\xA1mm\r\n\x83\x5C\r\n", 2), (L{"\x90\x7D\x90\xA1mm", "\x83\x5C"}));
}

TEST_F(TextReading, LinesReadWholeUpToTheLimitAndALongerOneFailsTheFile) {
    std::string big(1024 * 1024, '7');
    for (std::size_t i = 0; i < big.size(); i += 4099) big[i] = static_cast<char>('a' + i % 26);
    EXPECT_EQ(Lines(big + "\r\nnext\n", 3), (L{big, "next", ""}));
    EXPECT_EQ(Lines(big, 2), (L{big, ""}));

    const os::Path path = dir_ / "long";
    const std::string longest(kMaxLineLength, 'x');
    ASSERT_TRUE(testkit::WriteBytes(path, "a\n" + longest + "\r\n" + longest + "y\nz\n"));
    TextReader reader(path);
    std::string line;
    EXPECT_TRUE(reader.ReadLine(line));
    EXPECT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line.size(), kMaxLineLength) << "the CR before the LF does not count";
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
    EXPECT_FALSE(reader.ReadLine(line)) << "a failed file stays failed";
}

TEST_F(TextReading, ATextEndsAtItsFirstNulByte) {
    const os::Path path = dir_ / "zero";
    ASSERT_TRUE(testkit::WriteBytes(path, std::string("12\0"
                                                      "5mm\r\n\0x\n\x83\x5C\0\0\n",
                                                      16)));
    TextReader reader(path);
    std::string text;
    for (const char* expected : {"12", "", "\x83\x5C", ""}) {
        EXPECT_TRUE(reader.ReadText(text));
        EXPECT_EQ(text, expected);
    }
}

TEST_F(TextReading, LinesSpanningTheReadBufferJoinWhole) {
    // The reader fills 64 KiB at a time: put line ends and CRs right at, just
    // before and just after that boundary, and one chunk further on.
    const std::size_t chunk = 64 * 1024;
    for (std::size_t lineEndAt : {chunk - 2, chunk - 1, chunk, chunk + 1, 2 * chunk - 1, 2 * chunk}) {
        for (bool crlf : {false, true}) {
            SCOPED_TRACE(testing::Message() << "LF at " << lineEndAt << (crlf ? " after CR" : ""));
            std::string first(lineEndAt - (crlf ? 1 : 0), 'x');
            first[0] = 'A';
            first.back() = 'Z';
            std::string bytes = first + (crlf ? "\r\n" : "\n") + "second\r\nthird";
            ASSERT_EQ(bytes.find('\n'), lineEndAt);
            EXPECT_EQ(Lines(bytes, 4), (L{first, "second", "third", ""}));
        }
    }
    // A lone CR exactly at the boundary is still dropped.
    std::string before(chunk - 1, 'b');
    EXPECT_EQ(Lines(before + "\r" + "after\n", 2), (L{before + "after", ""}));
}

TEST_F(TextReading, ManyShortLines) {
    std::string bytes;
    L expected;
    for (int i = 0; i < 30000; ++i) {
        expected.push_back(std::to_string(i));
        bytes += expected.back() + (i % 2 ? "\r\n" : "\n");
    }
    expected.push_back("");
    EXPECT_EQ(Lines(bytes, 30001), expected);
}

TEST_F(TextReading, AMissingFileIsNotOpen) {
    TextReader reader(dir_ / "missing");
    EXPECT_FALSE(reader.IsOpen());
    std::string line = "x";
    reader.ReadLine(line);
    EXPECT_EQ(line, "");
}

TEST_F(TextReading, AReadErrorIsReported) {
    const os::Path path = dir_ / "t";
    ASSERT_TRUE(testkit::WriteBytes(path, "a\nb\n"));
    os::Faults::FailNth(os::Op::Read, 1);
    TextReader reader(path);
    ASSERT_TRUE(reader.IsOpen());
    std::string line;
    EXPECT_FALSE(reader.ReadLine(line));
}

TEST_F(TextReading, ReadsWhatJoinLinesWrote) {
    // The selection file's header: "[Vorna]k307：接円の作図".
    const std::string header = "[Vorna]k307\x81\x46\x90\xDA\x89\x7E\x82\xCC\x8D\xEC\x90\x7D";
    const std::string content = JoinLines({header, "12.5\x90\x7D\x90\xA1mm", "", "0"});
    EXPECT_EQ(content, header + "\r\n12.5\x90\x7D\x90\xA1mm\r\n\r\n0\r\n");
    EXPECT_EQ(Lines(content, 5), (L{header, "12.5\x90\x7D\x90\xA1mm", "", "0", ""}));
}

TEST(JoinLines, EndsEveryLineWithCrLf) {
    EXPECT_EQ(JoinLines({}), "");
    EXPECT_EQ(JoinLines({""}), "\r\n");
    EXPECT_EQ(JoinLines({"a"}), "a\r\n");
    EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinLines({"\x90\x7D\x90\xA1"}), "\x90\x7D\x90\xA1\r\n");
    std::string content = "x\r\n";
    AppendLine(content, "y");
    EXPECT_EQ(content, "x\r\ny\r\n");
}

}  // namespace
