// The sync file watcher: each timer tick reads "k307.ini" when its file stamp
// changed and adopts its texts when its time stamp is newer than the last
// adoption (or the start).
#include <string>

#include "os/Faults.h"
#include "tests/unit/palette_fixture.h"

namespace palette_test {
namespace {

using testkit::DosStamp;

// The fake clock starts at 2024-01-01 06:00, OLE date 45292.25.
constexpr double kStart = 45292.25;

class SyncWatcher : public PaletteTest {
protected:
    // Each call gives the file a new stamp, two seconds after the last one,
    // unless a stamp is given.
    int32_t WriteSync(const std::string& bytes, int32_t stamp = 0) {
        if (stamp == 0) stamp = DosStamp(2023, 6, 1, 10, 0, 2 * ++step_);
        Write(SyncPath(), bytes);
        EXPECT_TRUE(os::SetFileStamp(SyncPath(), stamp));
        return stamp;
    }
    void Tick() {
        const int starts = windows.restarts;
        palette.Timer1.Fire();
        EXPECT_TRUE(palette.Timer1.enabled());
        EXPECT_EQ(palette.Timer1.interval(), 1000u);
        EXPECT_EQ(windows.restarts, starts + 1) << "the next tick waits a full interval";
    }
    void ExpectShown(const std::string& radius, const std::string& diameter) {
        EXPECT_EQ(palette.ComboBox1.text(), radius);
        EXPECT_EQ(palette.ComboBox2.text(), diameter);
        EXPECT_EQ(palette.RadiusText, radius);
        EXPECT_EQ(palette.DiameterText, diameter);
    }
    void At(int hour) { env.now = {2024, 1, 1, hour, 0, 0, 0}; }

    int step_ = 0;
};

TEST_F(SyncWatcher, FileOlderThanTheStartIsReadOnceAndNotAdopted) {
    const int32_t stamp = WriteSync(Lines({"45292.2", "5", "7"}));
    palette.FormShow();
    EXPECT_EQ(palette.LastSyncTime, kStart);
    EXPECT_EQ(palette.SyncFileAge, 0);

    Tick();
    EXPECT_EQ(palette.SyncStamp, 45292.2);
    EXPECT_EQ(palette.SyncRadiusText, "5");
    EXPECT_EQ(palette.SyncDiameterText, "7");
    EXPECT_EQ(palette.SyncFileAge, stamp);
    ExpectShown(kUnspecified, kUnspecified);
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes(kUnspecified, kUnspecified, "0"));

    const int opens = Calls(os::Op::Open), reads = Calls(os::Op::Read);
    Tick();
    EXPECT_EQ(palette.SyncStamp, 0.0) << "an unchanged file is not read again";
    EXPECT_EQ(palette.SyncRadiusText, "");
    EXPECT_EQ(Calls(os::Op::Open), opens);
    EXPECT_EQ(Calls(os::Op::Read), reads);
}

TEST_F(SyncWatcher, NewerFileIsAdoptedWithTheModeUnchanged) {
    palette.FormShow();
    palette.RadioButton2.UserClick();
    const std::string radius = "12.5" + kZusun + "mm", diameter = "3" + kFullM;
    WriteSync(Lines({"45292.3", radius, diameter}, "\n"));
    At(12);
    Tick();
    ExpectShown(radius, diameter);
    EXPECT_EQ(palette.Mode, 1);
    EXPECT_TRUE(palette.RadioButton2.checked());
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes(radius, diameter, "1"));
    EXPECT_EQ(palette.LastSyncTime, 45292.5) << "the clock at the adoption";
}

TEST_F(SyncWatcher, TheCurrentLineTypedOrPickedAfterAnAdoptionIsWrittenAsShown) {
    const std::string ten = "10" + kZusun + "mm";
    Write(ConfigPath(), Lines({"196", "104", "193", "115", "0", "1", ten, "0"}));
    palette.FormShow();
    palette.ComboBox1.UserPick(1);
    // The companion's value is taken over; the line stays current.
    WriteSync(Lines({"45292.3", "7", "8"}));
    At(12);
    Tick();
    ASSERT_EQ(palette.ComboBox1.itemIndex(), 1);
    ASSERT_EQ(palette.RadiusText, "7");

    palette.ComboBox1.UserEdited({"", 0, 0});
    palette.ComboBox1.UserKey(ui::Key::Char("1"));
    EXPECT_EQ(palette.ComboBox1.text(), ten);
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes(ten, "8", "0")) << "completed to the current line";

    WriteSync(Lines({"45292.6", "9", "8"}));
    At(15);
    Tick();
    ASSERT_EQ(palette.RadiusText, "9");
    palette.ComboBox1.UserPick(1);
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes(ten, "8", "0")) << "the current line picked again";

    const int writes = Calls(os::Op::Write);
    palette.ComboBox1.UserPick(1);
    palette.ComboBox1.UserKey(ui::Key::Char("1"));
    EXPECT_EQ(Calls(os::Op::Write), writes) << "nothing changed, nothing written";
}

TEST_F(SyncWatcher, OnlyStrictlyNewerTimeStampsAreAdopted) {
    palette.FormShow();
    WriteSync(Lines({"45292.25", "equal", "start"}));
    Tick();
    EXPECT_EQ(palette.SyncRadiusText, "equal");
    ExpectShown(kUnspecified, kUnspecified);

    WriteSync(Lines({"45292.3", "a", "b"}));
    At(12);
    Tick();
    ExpectShown("a", "b");
    ASSERT_EQ(palette.LastSyncTime, 45292.5);

    // Newer than the start but not than the adoption.
    WriteSync(Lines({"45292.4", "c", "d"}));
    Tick();
    EXPECT_EQ(palette.SyncRadiusText, "c");
    ExpectShown("a", "b");

    WriteSync(Lines({"45292.5", "e", "f"}));
    Tick();
    EXPECT_EQ(palette.SyncStamp, 45292.5);
    ExpectShown("a", "b");

    WriteSync(Lines({"  +4.5292501e4", "g", ""}));
    Tick();
    ExpectShown("g", "");
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes("g", "", "0"));
}

TEST_F(SyncWatcher, NewTextsWithTheOldTimeStampAreReadButNotAdopted) {
    palette.FormShow();
    WriteSync(Lines({"45292.3", "a", "b"}));
    At(8);  // the adoption happens after the companion wrote the file
    Tick();
    ExpectShown("a", "b");
    const std::string selection = Read(SelectionPath());
    const int writes = Calls(os::Op::Write);

    WriteSync(Lines({"45292.3", "new", "texts"}));
    Tick();
    EXPECT_EQ(palette.SyncRadiusText, "new");
    ExpectShown("a", "b");
    EXPECT_EQ(Calls(os::Op::Write), writes);
    EXPECT_EQ(Read(SelectionPath()), selection);
}

TEST_F(SyncWatcher, RewriteWithinTheSameFileStampIsNotReadAgain) {
    palette.FormShow();
    const int32_t stamp = WriteSync(Lines({"45292.2", "a", "b"}));
    Tick();
    ASSERT_EQ(palette.SyncFileAge, stamp);
    WriteSync(Lines({"45292.9", "c", "d"}), stamp);
    Tick();
    EXPECT_EQ(palette.SyncStamp, 0.0);
    ExpectShown(kUnspecified, kUnspecified);

    // Once the stamp moves on, the newer content is picked up.
    WriteSync(Lines({"45292.9", "c", "d"}));
    Tick();
    ExpectShown("c", "d");
}

TEST_F(SyncWatcher, TimeStampsThatAreNoNumberAreNeverAdopted) {
    palette.FormShow();
    for (const char* first : {"1e400", "-1e400", "abc", "45292.9x", "45292,9", "", "1e4000000000"}) {
        WriteSync(Lines({first, "r", "d"}));
        Tick();
        ExpectShown(kUnspecified, kUnspecified);
        EXPECT_EQ(palette.SyncRadiusText, "r") << first;
        Tick();
        ExpectShown(kUnspecified, kUnspecified);
    }
}

TEST_F(SyncWatcher, FailedReadDoesNotRecordTheStampSoTheNextTickReadsAgain) {
    palette.FormShow();
    int hour = 6;
    for (auto [op, nth] : std::vector<std::pair<os::Op, int>>{
             {os::Op::Open, 1}, {os::Op::Read, 1}, {os::Op::Close, 1}, {os::Op::Stamp, 2}}) {
        SCOPED_TRACE(static_cast<int>(op));
        const int32_t before = palette.SyncFileAge;
        std::string text = "v";
        text += std::to_string(hour);
        const int32_t stamp = WriteSync(Lines({"45293", text, text}));
        At(hour++);
        os::Faults::FailNth(op, nth);
        Tick();
        os::Faults::Clear();
        EXPECT_EQ(palette.SyncFileAge, before);
        EXPECT_NE(palette.ComboBox1.text(), text);
        EXPECT_EQ(os::Faults::OpenFiles(), 0);

        Tick();
        EXPECT_EQ(palette.SyncFileAge, stamp);
        ExpectShown(text, text);
    }
}

TEST_F(SyncWatcher, IdleTicksOpenNoFile) {
    palette.FormShow();
    const int opens = Calls(os::Op::Open);
    Tick();
    Tick();
    EXPECT_EQ(Calls(os::Op::Open), opens) << "no sync file";
    EXPECT_EQ(palette.SyncFileAge, 0);

    WriteSync(Lines({"45292.2", "a", "b"}));
    Tick();
    const int afterRead = Calls(os::Op::Open);
    EXPECT_EQ(afterRead, opens + 1);
    for (int i = 0; i < 3; ++i) Tick();
    EXPECT_EQ(Calls(os::Op::Open), afterRead);
    EXPECT_EQ(Calls(os::Op::Write), 1) << "only the show sequence wrote";
}

}  // namespace
}  // namespace palette_test
