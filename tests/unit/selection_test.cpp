// The selection file "k307.dat": what the palette reads back at start and
// how reading and writing fail.
#include <string>

#include "os/Faults.h"
#include "tests/unit/palette_fixture.h"

namespace palette_test {
namespace {

class SelectionFile : public PaletteTest {
protected:
    void Load(const std::string& bytes) {
        Write(SelectionPath(), bytes);
        palette.LoadSelection(SelectionPath());
    }
    void ExpectDefaults() {
        EXPECT_EQ(palette.RadiusText, kUnspecified);
        EXPECT_EQ(palette.DiameterText, kUnspecified);
        EXPECT_EQ(palette.Mode, 0);
    }
    void Choose(const std::string& r, const std::string& d, int mode) {
        palette.RadiusText = r;
        palette.DiameterText = d;
        palette.Mode = mode;
    }
};

TEST_F(SelectionFile, HeaderMayCarryBlanksAndTabsAround) {
    Load(Lines({" \t" + kHeader + "\t  ", " 5 ", "7" + kFullM, "1"}));
    EXPECT_EQ(palette.RadiusText, " 5 ") << "texts are taken without trimming";
    EXPECT_EQ(palette.DiameterText, "7" + kFullM);
    EXPECT_EQ(palette.Mode, 1);
}

TEST_F(SelectionFile, ForeignHeaderGivesDefaultsAndLeavesTheFile) {
    const std::string withCaptionBlank = Lines({kTitle, "5", "7", "1"});
    Load(withCaptionBlank);
    ExpectDefaults();
    EXPECT_EQ(Read(SelectionPath()), withCaptionBlank);

    for (const std::string& header : {std::string(), std::string("\xEF\xBB\xBF") + kHeader, kHeader + "x"}) {
        Choose("x", "y", 1);
        Load(Lines({header, "5", "7", "1"}));
        ExpectDefaults();
    }
}

TEST_F(SelectionFile, ModeLineThroughIntOrZero) {
    for (auto [line, mode] : std::vector<std::pair<std::string, int>>{
             {"2", 2}, {"x", 0}, {"", 0}, {" 1", 1}, {"1 ", 0}, {"$10", 16}, {"-1", -1}}) {
        Load(Lines({kHeader, "r", "d", line}));
        EXPECT_EQ(palette.Mode, mode) << '"' << line << '"';
    }
}

TEST_F(SelectionFile, ModeTwoReadsAsDiameterAndIsRewrittenAsOne) {
    Write(SelectionPath(), Lines({kHeader, "5", "7", "2"}));
    palette.FormShow();
    EXPECT_TRUE(palette.RadioButton2.checked());
    EXPECT_FALSE(palette.RadioButton1.checked());
    EXPECT_EQ(palette.ComboBox1.text(), "5");
    EXPECT_EQ(palette.ComboBox2.text(), "7");
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes("5", "7", "1"));
}

TEST_F(SelectionFile, LineFeedOnlyAndShortFiles) {
    Load(Lines({kHeader, "12.5" + kZusun + "mm", "3", "1"}, "\n"));
    EXPECT_EQ(palette.RadiusText, "12.5" + kZusun + "mm");
    EXPECT_EQ(palette.DiameterText, "3");
    EXPECT_EQ(palette.Mode, 1);

    Load(kHeader + "\r\nonly");  // no line end after the last line
    EXPECT_EQ(palette.RadiusText, "only");
    EXPECT_EQ(palette.DiameterText, "");
    EXPECT_EQ(palette.Mode, 0);

    Load(kHeader);
    EXPECT_EQ(palette.RadiusText, "");
    EXPECT_EQ(palette.DiameterText, "");
    EXPECT_EQ(palette.Mode, 0);

    Load(Lines({kHeader, "a", "b", "1", "ignored", "0"}));
    EXPECT_EQ(palette.RadiusText, "a");
    EXPECT_EQ(palette.Mode, 1);
}

TEST_F(SelectionFile, MissingFileOrFolderGivesDefaults) {
    Choose("x", "y", 1);
    palette.LoadSelection(SelectionPath());
    ExpectDefaults();
    ASSERT_TRUE(testkit::MakeFolder(SelectionPath()));
    Choose("x", "y", 1);
    palette.LoadSelection(SelectionPath());
    ExpectDefaults();
    EXPECT_TRUE(testkit::Exists(SelectionPath())) << "a folder is never deleted";
}

TEST_F(SelectionFile, UnreadableFileGivesDefaultsAndIsDeleted) {
    for (os::Op op : {os::Op::Open, os::Op::Read, os::Op::Close}) {
        Write(SelectionPath(), Lines({kHeader, "5", "7", "1"}));
        os::Faults::FailNth(op, 1);
        palette.LoadSelection(SelectionPath());
        os::Faults::Clear();
        ExpectDefaults();
        EXPECT_FALSE(testkit::Exists(SelectionPath())) << static_cast<int>(op);
        EXPECT_EQ(os::Faults::OpenFiles(), 0);
    }
}

TEST_F(SelectionFile, WriteHoldsExactlyFourLinesAsHeld) {
    const std::string odd("\x81\x20\xFF", 3);
    Choose(odd, "", -7);
    palette.SaveSelection(SelectionPath());
    EXPECT_EQ(Read(SelectionPath()), kHeader + "\r\n" + odd + "\r\n\r\n-7\r\n");
    Write(SelectionPath(), "a much longer previous content that must be truncated away\r\n");
    Choose("1", "2", 0);
    palette.SaveSelection(SelectionPath());
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes("1", "2", "0"));
}

TEST_F(SelectionFile, FailedWriteDeletesOnlyAFileItBeganAndKeepsTheChoice) {
    // A refused open leaves the last choice whole; a write that fails once
    // the file is truncated leaves none rather than half of one.
    for (os::Op op : {os::Op::Open, os::Op::Write, os::Op::Close}) {
        Write(SelectionPath(), SelectionBytes("old", "old", "0"));
        Choose("new", "d", 1);
        os::Faults::FailNth(op, 1);
        palette.SaveSelection(SelectionPath());
        os::Faults::Clear();
        EXPECT_EQ(Read(SelectionPath()), op == os::Op::Open ? SelectionBytes("old", "old", "0") : "<missing>")
            << static_cast<int>(op);
        EXPECT_EQ(palette.RadiusText, "new");
        EXPECT_EQ(palette.Mode, 1);
        EXPECT_EQ(os::Faults::OpenFiles(), 0);
    }
    palette.SaveSelection(SelectionPath());
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes("new", "d", "1")) << "the next write tries again";
}

// The companion reads the file the moment the palette writes it: the file it
// holds is the last choice, whole, and must not be deleted once it lets go.
TEST_F(SelectionFile, WriteRefusedByAReaderLeavesTheFileAlone) {
    Write(SelectionPath(), SelectionBytes("old", "old", "0"));
    testkit::FileHolder holder(testkit::HoldMode::Read, SelectionPath(), dir);
    ASSERT_TRUE(holder.WaitUntilHolding()) << "helper exit code " << holder.ExitCode();
    os::Faults::Clear();
    Choose("new", "d", 1);
    palette.SaveSelection(SelectionPath());
    EXPECT_EQ(os::Faults::Calls(os::Op::Delete), 0) << "a delete would race the reader's close";
    ASSERT_TRUE(holder.Release());
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes("old", "old", "0"));
    palette.RetryTimer.Fire();
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes("new", "d", "1")) << "the refused write is made later";
    const int opens = os::Faults::Calls(os::Op::Open);
    palette.RetryTimer.Fire();
    EXPECT_EQ(os::Faults::Calls(os::Op::Open), opens) << "nothing is pending any more";

    // Still refused when the palette closes: tried once more then.
    testkit::FileHolder again(testkit::HoldMode::Read, SelectionPath(), dir);
    ASSERT_TRUE(again.WaitUntilHolding()) << "helper exit code " << again.ExitCode();
    Choose("last", "d", 0);
    palette.SaveSelection(SelectionPath());
    ASSERT_TRUE(again.Release());
    palette.Close();
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes("last", "d", "0"));
}

TEST_F(SelectionFile, FailedWriteInAHandlerStillRestartsTheTimer) {
    palette.FormShow();
    os::Faults::FailNth(os::Op::Write, 1);
    palette.RadioButton2.UserClick();
    EXPECT_FALSE(testkit::Exists(SelectionPath()));
    EXPECT_TRUE(palette.Timer1.enabled());
    palette.RadioButton1.UserClick();
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes(kUnspecified, kUnspecified, "0"));
}

}  // namespace
}  // namespace palette_test
