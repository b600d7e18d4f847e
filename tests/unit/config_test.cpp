// The configuration file beside the program: window positions, screen type
// and preset lists, read at start and written at close.
#include <string>
#include <vector>

#include "os/Faults.h"
#include "settings/Configuration.h"
#include "tests/unit/palette_fixture.h"

namespace palette_test {
namespace {

using Strings = std::vector<std::string>;

class ConfigFile : public PaletteTest {
protected:
    os::Path TempPath() const { return os::ReplaceExtension(ConfigPath(), ".tmp"); }
    void Load(const std::string& bytes) {
        Write(ConfigPath(), bytes);
        palette.LoadConfiguration(ConfigPath());
    }
    std::string Saved() {
        const os::Path other = dir / "saved.dat";
        palette.SaveConfiguration(other);
        return Read(other);
    }
};

const std::string kExample[] = {"10", "20", "30", "40", "1", "2", "5", "7\x90\x7D\x90\xA1mm", "1", "3\x82\x8D"};

std::string Example(const std::string& eol) {
    std::string s;
    for (const auto& l : kExample) s += l + eol;
    return s;
}

TEST_F(ConfigFile, ExampleMovesBothWindowsAndFillsTheStore) {
    const Placement paletteAt{10, 20, palette.width(), palette.height()};
    const Placement dialogAt{30, 40, dialog.width(), dialog.height()};
    Write(ConfigPath(), Example("\r\n"));

    palette.FormShow();
    EXPECT_EQ(env.placements, (std::vector<Placement>{paletteAt, dialogAt}));
    EXPECT_EQ(palette.left(), 10);
    EXPECT_EQ(palette.top(), 20);
    EXPECT_EQ(dialog.left(), 30);
    EXPECT_EQ(dialog.top(), 40);
    EXPECT_EQ(Settings().ScreenType, 1);
    EXPECT_EQ(Settings().RadiusCount, 2);
    EXPECT_EQ(Settings().RadiusList, (Strings{"5", "7" + kZusun + "mm"}));
    EXPECT_EQ(Settings().DiameterCount, 1);
    EXPECT_EQ(Settings().DiameterList, (Strings{"3" + kFullM}));
    EXPECT_EQ(Layout(), kVertical);
    EXPECT_EQ(palette.ComboBox1.items(), (Strings{kUnspecified, "5", "7" + kZusun + "mm"}));
    EXPECT_EQ(palette.ComboBox2.items(), (Strings{kUnspecified, "3" + kFullM}));

    palette.Close();
    EXPECT_EQ(Read(ConfigPath()), Example("\r\n"));
    EXPECT_FALSE(testkit::Exists(TempPath()));
}

TEST_F(ConfigFile, LineFeedOnlyFileReadsAlikeAndIsWrittenWithCrLf) {
    Load(Example("\n"));
    EXPECT_EQ(palette.top(), 20);
    EXPECT_EQ(dialog.top(), 40);
    EXPECT_EQ(Settings().RadiusList, (Strings{"5", "7" + kZusun + "mm"}));
    EXPECT_EQ(Settings().DiameterList, (Strings{"3" + kFullM}));
    EXPECT_EQ(Saved(), Example("\r\n"));
    EXPECT_EQ(Read(ConfigPath()), Example("\n")) << "reading never changes the file";
}

TEST_F(ConfigFile, PositionsGoThroughKeepReachable) {
    env.move = [](int& left, int& top) {
        if (left < 0) left = 0;
        top += 1000;
    };
    Write(ConfigPath(), Lines({"-5000", "20", "30", "-40", "0", "0", "0"}));
    palette.FormShow();
    ASSERT_EQ(env.placements.size(), 2u);
    EXPECT_EQ(env.placements[0].left, -5000);
    EXPECT_EQ(env.placements[1].top, -40);
    EXPECT_EQ(palette.left(), 0);
    EXPECT_EQ(palette.top(), 1020);
    EXPECT_EQ(dialog.left(), 30);
    EXPECT_EQ(dialog.top(), 960);
    palette.Close();
    EXPECT_EQ(Read(ConfigPath()), Lines({"0", "1020", "30", "960", "0", "0", "0"}));
}

TEST_F(ConfigFile, ShortAndMalformedFiles) {
    Load("0\r\n0\r\n0\r\n0\r\n0\r\n3\r\nfirst");
    EXPECT_EQ(Settings().RadiusCount, 3);
    EXPECT_EQ(Settings().RadiusList, (Strings{"first", "", ""}));
    EXPECT_EQ(Settings().DiameterCount, 0);
    EXPECT_TRUE(Settings().DiameterList.empty());
    palette.ArrangePanels();
    EXPECT_EQ(palette.ComboBox1.items(), (Strings{kUnspecified, "first", "", ""}));

    Load(Lines({"abc", " 7", "1 ", "$1F", "2"}));
    EXPECT_EQ(palette.left(), 0);
    EXPECT_EQ(palette.top(), 7);
    EXPECT_EQ(dialog.left(), 0);
    EXPECT_EQ(dialog.top(), 31);
    EXPECT_EQ(Settings().ScreenType, 2);
    EXPECT_EQ(Settings().RadiusCount, 0);

    Settings().RadiusList = {"stale"};
    Load("");
    EXPECT_EQ(palette.left(), 0) << "an empty file reads as zeros";
    EXPECT_TRUE(Settings().RadiusList.empty());
}

TEST_F(ConfigFile, CountsThatCannotBeSizedStopTheReading) {
    struct Case {
        Strings tail;
        int32_t radiusCount;
        Strings radius;
        int32_t diameterCount;
        Strings diameter;
    };
    const std::vector<Case> cases = {
        {{"-2", "a", "b", "1", "z"}, -2, {}, 0, {}},   {{"0", "1", "d"}, 0, {}, 1, {"d"}},
        {{"q3", "2", "a", "b"}, 0, {}, 2, {"a", "b"}}, {{"2000000", "a", "1", "z"}, 0, {}, 0, {}},
        {{"1000001", "1", "z"}, 0, {}, 0, {}},         {{"1", "a", "2000000", "z"}, 1, {"a"}, 0, {}},
        {{"1", "a", "-1", "z"}, 1, {"a"}, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail.front() + " " + c.tail[1]);
        std::string bytes = Lines({"1", "2", "3", "4", "0"});
        for (const auto& l : c.tail) bytes += l + "\r\n";
        Load(bytes);
        EXPECT_EQ(Settings().RadiusCount, c.radiusCount);
        EXPECT_EQ(Settings().RadiusList, c.radius);
        EXPECT_EQ(Settings().DiameterCount, c.diameterCount);
        EXPECT_EQ(Settings().DiameterList, c.diameter);
        palette.ArrangePanels();
        EXPECT_EQ(palette.ComboBox1.items().size(), c.radius.size() + 1);
        EXPECT_EQ(palette.ComboBox2.items().size(), c.diameter.size() + 1);

        // Counts are written as held, entries only as far as the lists go.
        std::string expected = Lines({"1", "2", "3", "4", "0", std::to_string(c.radiusCount)});
        for (const auto& e : c.radius) expected += e + "\r\n";
        expected += std::to_string(c.diameterCount) + "\r\n";
        for (const auto& e : c.diameter) expected += e + "\r\n";
        EXPECT_EQ(Saved(), expected);
    }
    // A count below the list's size writes only that many entries.
    Settings().DiameterCount = 1;
    Settings().DiameterList = {"kept", "dropped"};
    EXPECT_EQ(Saved(), Lines({"1", "2", "3", "4", "0", "1", "a", "1", "kept"}));
}

TEST_F(ConfigFile, LargestSizableCountGivesThatManyEntries) {
    Load(Lines({"0", "0", "0", "0", "0", "0", std::to_string(kMaxListCount), "first", "second"}));
    EXPECT_EQ(Settings().DiameterCount, kMaxListCount);
    ASSERT_EQ(Settings().DiameterList.size(), static_cast<std::size_t>(kMaxListCount));
    EXPECT_EQ(Settings().DiameterList[0], "first");
    EXPECT_EQ(Settings().DiameterList[1], "second");
    EXPECT_EQ(Settings().DiameterList.back(), "");
}

TEST_F(ConfigFile, FirstRunSavesExactlySevenLines) {
    palette.FormShow();
    palette.Button2.Click();
    EXPECT_EQ(Read(ConfigPath()), "196\r\n104\r\n193\r\n115\r\n0\r\n0\r\n0\r\n");
    EXPECT_FALSE(testkit::Exists(TempPath()));
}

TEST_F(ConfigFile, EntriesRoundTripByteForByte) {
    const Strings odd = {
        std::string("\x81", 1), std::string("\x82\xFF\x80", 3), " 5\t", std::string("\xFD\xFE\xA0", 3), "", "\x81\x40"};
    std::string bytes = Lines({"-3", "-4", "5", "6", "0", std::to_string(odd.size())});
    for (const auto& e : odd) bytes += e + "\r\n";
    bytes += "2\r\n\x95\x5C\r\n" + std::string("a\x81", 2) + "\r\n";
    Write(ConfigPath(), bytes);
    palette.FormShow();
    EXPECT_EQ(Settings().RadiusList, odd);
    EXPECT_EQ(palette.ComboBox1.items().back(), "\x81\x40");
    palette.Close();
    EXPECT_EQ(Read(ConfigPath()), bytes);
}

TEST_F(ConfigFile, FailedSaveLeavesThePreviousFileExactly) {
    const std::string previous = Lines({"1", "2", "3", "4", "0", "1", "old", "0"});
    for (os::Op op : {os::Op::Open, os::Op::Write, os::Op::Flush, os::Op::Close, os::Op::Replace}) {
        SCOPED_TRACE(static_cast<int>(op));
        Write(ConfigPath(), previous);
        Settings().RadiusCount = 1;
        Settings().RadiusList = {"new"};
        os::Faults::FailNth(op, 1);
        palette.SaveConfiguration(ConfigPath());
        os::Faults::Clear();
        EXPECT_EQ(Read(ConfigPath()), previous);
        EXPECT_FALSE(testkit::Exists(TempPath()));
        EXPECT_EQ(os::Faults::OpenFiles(), 0);

        testkit::ScratchDir empty;
        const os::Path fresh = empty / "k307palette.dat";
        os::Faults::FailNth(op, 1);
        palette.SaveConfiguration(fresh);
        os::Faults::Clear();
        EXPECT_FALSE(testkit::Exists(fresh));
        EXPECT_FALSE(testkit::Exists(os::ReplaceExtension(fresh, ".tmp")));
    }
    palette.SaveConfiguration(ConfigPath());
    EXPECT_EQ(Read(ConfigPath()), Lines({"196", "104", "193", "115", "0", "1", "new", "0"}));
    EXPECT_EQ(Files(), (std::set<std::string>{"k307palette.dat"}));
}

TEST_F(ConfigFile, FailedReadKeepsWhatWasAppliedAndTheFile) {
    const std::string bytes = Example("\r\n");
    for (os::Op op : {os::Op::Open, os::Op::Read}) {
        palette.SetPosition(196, 104);
        os::Faults::FailNth(op, 1);
        Load(bytes);
        os::Faults::Clear();
        EXPECT_EQ(palette.left(), 196);
        EXPECT_EQ(Settings().RadiusCount, 0);
        EXPECT_TRUE(env.placements.empty());
        EXPECT_EQ(Read(ConfigPath()), bytes);
    }
    os::Faults::FailNth(os::Op::Close, 1);
    Load(bytes);
    os::Faults::Clear();
    EXPECT_EQ(palette.left(), 10);
    EXPECT_EQ(Settings().DiameterList, (Strings{"3" + kFullM}));
    EXPECT_EQ(Read(ConfigPath()), bytes);
}

TEST_F(ConfigFile, ProgramNamedLikeTheSelectionFileNeverTouchesTheConfiguration) {
    for (const char* name : {"k307.exe", "K307.EXE", "k307"}) {
        SCOPED_TRACE(name);
        testkit::ScratchDir folder;
        FakeEnvironment renamed;
        renamed.windows = env.windows;
        renamed.program = folder / name;
        TForm2 d;
        TForm1 p(renamed, d);
        const std::string selection = SelectionBytes("5", "7", "0");
        ASSERT_TRUE(testkit::WriteBytes(folder / "k307.dat", selection));

        p.FormShow();
        EXPECT_EQ(p.left(), 196) << "line 1 of the selection file must not become a position";
        EXPECT_TRUE(renamed.placements.empty());
        EXPECT_EQ(p.RadiusText, "5");
        p.Close();
        EXPECT_EQ(Read(folder / "k307.dat"), selection);
        EXPECT_EQ(FilesIn(folder.Folder()), (std::set<std::string>{"k307.dat"}));
    }
}

TEST_F(ConfigFile, EndSessionSavesTheCurrentSettings) {
    palette.FormShow();
    palette.SetPosition(50, 60);
    dialog.SetPosition(70, 80);
    Settings().ScreenType = 1;
    Settings().DiameterCount = 1;
    Settings().DiameterList = {"9"};
    palette.EndSession();
    EXPECT_EQ(Read(ConfigPath()), Lines({"50", "60", "70", "80", "1", "0", "1", "9"}));
}

TEST_F(ConfigFile, EndSessionOfASecondCopyWritesNothing) {
    env.windows.push_back(env.windows.front());
    palette.FormShow();
    ASSERT_TRUE(palette.closed);
    palette.EndSession();
    EXPECT_TRUE(Files().empty());
}

}  // namespace
}  // namespace palette_test
