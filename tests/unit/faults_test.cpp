// Every file operation of the file routines failed in turn: for each kind of
// operation, the first, second, ... call of that kind that a clean run makes
// fails once. Whatever fails, the files stay whole (the selection file whole
// or gone, the configuration file the previous or the new one), no handle
// stays open, and the sync watcher reads a file again after a failed read.
#include <array>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Selection.h"
#include "os/Faults.h"
#include "settings/Configuration.h"
#include "tests/unit/palette_fixture.h"

namespace palette_test {
namespace {

using testkit::DosStamp;
using Strings = std::vector<std::string>;

constexpr std::size_t kKinds = static_cast<std::size_t>(os::Op::Count);
using CallCounts = std::array<int, kKinds>;

const char* OpName(os::Op op) {
    switch (op) {
        case os::Op::Open:
            return "Open";
        case os::Op::Read:
            return "Read";
        case os::Op::Write:
            return "Write";
        case os::Op::Flush:
            return "Flush";
        case os::Op::Close:
            return "Close";
        case os::Op::Delete:
            return "Delete";
        case os::Op::Replace:
            return "Replace";
        case os::Op::Stamp:
            return "Stamp";
        case os::Op::Count:
            break;
    }
    return "?";
}

CallCounts CountCalls() {
    CallCounts c{};
    for (std::size_t k = 0; k < kKinds; ++k) c[k] = os::Faults::Calls(static_cast<os::Op>(k));
    return c;
}

// Faults injected over the whole suite, printed once at the end.
int gTotalInjected = 0;

class FaultTest : public PaletteTest {
protected:
    // Runs `setup` and `run` once without faults to count the calls of each
    // kind, then, for every kind and every n up to that count, runs `setup`,
    // fails the n-th call of that kind during `run` and lets `check` judge
    // the outcome; ends with one more clean run. Returns the calls of the
    // clean run.
    CallCounts FailEveryStep(const std::string& what,
                             const std::function<void()>& setup,
                             const std::function<void()>& run,
                             const std::function<void(os::Op, int)>& check) {
        setup();
        os::Faults::Clear();
        run();
        const CallCounts clean = CountCalls();
        os::Faults::Clear();
        EXPECT_EQ(os::Faults::OpenFiles(), 0) << what << ", clean run";

        int injected = 0;
        std::ostringstream perKind;
        for (std::size_t k = 0; k < kKinds; ++k) {
            const auto op = static_cast<os::Op>(k);
            for (int n = 1; n <= clean[k]; ++n) {
                SCOPED_TRACE(what + ": " + OpName(op) + " #" + std::to_string(n) + " fails");
                setup();
                os::Faults::Clear();
                const int openBefore = os::Faults::OpenFiles();
                os::Faults::FailNth(op, n);
                run();
                // The same calls precede the failing one as in the clean run,
                // so the fault is reached every time.
                EXPECT_GE(os::Faults::Calls(op), n) << "the fault was never reached";
                os::Faults::Clear();
                EXPECT_EQ(os::Faults::OpenFiles(), openBefore) << "a file was left open";
                check(op, n);
                ++injected;
            }
            if (clean[k] > 0) perKind << ' ' << OpName(op) << ' ' << clean[k];
        }
        // Once more without faults, so that the caller checks a clean outcome
        // that follows all the failed ones.
        setup();
        os::Faults::Clear();
        run();
        gTotalInjected += injected;
        std::cout << "[ faults   ] " << what << ": " << injected << " faults injected (" << perKind.str().substr(1)
                  << ")" << std::endl;
        return clean;
    }

    os::Path TempPath() const { return os::ReplaceExtension(ConfigPath(), ".tmp"); }

    void FillStore() {
        SettingsStore& s = Settings();
        s.ScreenType = 1;
        s.RadiusList = {"5", "7" + kZusun + "mm", "12.5"};
        s.RadiusCount = 3;
        s.DiameterList = {"3" + kFullM};
        s.DiameterCount = 1;
        palette.SetPosition(10, 20);
        dialog.SetPosition(30, 40);
    }
};

const Selection kNewSelection{"12.5" + kZusun + "mm", kUnspecified, 1};
const std::string kNewSelectionBytes = SelectionBytes("12.5" + kZusun + "mm", kUnspecified, "1");
const std::string kOldSelectionBytes = SelectionBytes("5", "7", "0");

TEST_F(FaultTest, WriteSelectionFileLeavesAWholeFileOrNone) {
    for (bool previous : {true, false}) {
        SCOPED_TRACE(previous ? "over a previous file" : "no previous file");
        auto setup = [&] {
            if (previous) {
                Write(SelectionPath(), kOldSelectionBytes);
            } else {
                std::filesystem::remove(std::filesystem::path(SelectionPath()));
            }
        };
        auto run = [&] { WriteSelectionFile(SelectionPath(), kNewSelection); };
        auto check = [&](os::Op, int) {
            const std::string now = Read(SelectionPath());
            EXPECT_TRUE(now == "<missing>" || now == kNewSelectionBytes || (previous && now == kOldSelectionBytes))
                << "partial selection file: " << now;
            if (now == kNewSelectionBytes) {
                Selection back = ReadSelectionFile(SelectionPath());
                EXPECT_EQ(back.radiusText, kNewSelection.radiusText);
                EXPECT_EQ(back.diameterText, kNewSelection.diameterText);
                EXPECT_EQ(back.mode, kNewSelection.mode);
            }
        };
        const CallCounts clean =
            FailEveryStep(previous ? "WriteSelectionFile (replacing)" : "WriteSelectionFile (new)", setup, run, check);
        EXPECT_EQ(Read(SelectionPath()), kNewSelectionBytes) << "the clean run writes the file";
        EXPECT_GE(clean[static_cast<std::size_t>(os::Op::Open)], 1);
        EXPECT_GE(clean[static_cast<std::size_t>(os::Op::Write)], 1);
    }
}

TEST_F(FaultTest, ReadSelectionFileGivesTheFileOrTheDefaults) {
    // A radius text of 150 KB makes the file span several read buffers.
    for (const std::string& radius : {std::string("5"), std::string(150000, '5')}) {
        SCOPED_TRACE(radius.size() > 1 ? "file of several buffers" : "small file");
        const std::string bytes = SelectionBytes(radius, "7", "0");
        auto setup = [&] { Write(SelectionPath(), bytes); };
        Selection got;
        auto run = [&] { got = ReadSelectionFile(SelectionPath()); };
        auto check = [&](os::Op op, int) {
            const bool whole = got.radiusText == radius && got.diameterText == "7" && got.mode == 0;
            const bool defaults = got.radiusText == kUnspecified && got.diameterText == kUnspecified && got.mode == 0;
            EXPECT_TRUE(whole || defaults)
                << got.radiusText.substr(0, 40) << " / " << got.diameterText << " / " << got.mode;
            const std::string now = Read(SelectionPath());
            EXPECT_TRUE(now == bytes || now == "<missing>") << "reading changed the file";
            if (whole) {
                EXPECT_EQ(now, bytes) << "read in full, yet deleted";
            } else if (op != os::Op::Stamp) {
                // A file that exists but cannot be read is deleted; one whose
                // stamp cannot be taken counts as missing and stays.
                EXPECT_EQ(now, "<missing>") << "unreadable file left in place";
            }
        };
        const CallCounts clean = FailEveryStep(
            std::string("ReadSelectionFile (") + (radius.size() > 1 ? "150 KB" : "small") + ")", setup, run, check);
        EXPECT_EQ(got.radiusText, radius);
        EXPECT_GE(clean[static_cast<std::size_t>(os::Op::Read)], radius.size() > 1 ? 3 : 1);
    }
}

TEST_F(FaultTest, SaveConfigurationKeepsThePreviousFileOrWritesTheNewOne) {
    FillStore();
    const std::string fresh =
        Lines({"10", "20", "30", "40", "1", "3", "5", "7" + kZusun + "mm", "12.5", "1", "3" + kFullM});
    const std::string previousBytes = Lines({"1", "2", "3", "4", "0", "1", "9", "0"});
    for (bool previous : {true, false}) {
        SCOPED_TRACE(previous ? "over a previous file" : "no previous file");
        auto setup = [&] {
            std::filesystem::remove(std::filesystem::path(TempPath()));
            if (previous) {
                Write(ConfigPath(), previousBytes);
            } else {
                std::filesystem::remove(std::filesystem::path(ConfigPath()));
            }
        };
        auto run = [&] { palette.SaveConfiguration(ConfigPath()); };
        auto check = [&](os::Op, int) {
            const std::string now = Read(ConfigPath());
            EXPECT_TRUE(now == fresh || now == (previous ? previousBytes : std::string("<missing>")))
                << "configuration file neither the previous nor the new one: " << now;
            EXPECT_FALSE(testkit::Exists(TempPath())) << "temporary file left behind";
        };
        const CallCounts clean =
            FailEveryStep(previous ? "SaveConfiguration (replacing)" : "SaveConfiguration (new)", setup, run, check);
        EXPECT_EQ(Read(ConfigPath()), fresh);
        EXPECT_GE(clean[static_cast<std::size_t>(os::Op::Replace)], 1) << "written through a temporary file";
    }
}

TEST_F(FaultTest, SaveConfigurationWhoseCleanUpFailsTooStillKeepsTheFileWhole) {
    // A failure followed by a failing clean-up (the temporary file cannot be
    // deleted): the configuration file itself is still untouched, and the
    // next save succeeds and takes the leftover's place.
    FillStore();
    const std::string previousBytes = Lines({"1", "2", "3", "4", "0", "0", "0"});
    int doubles = 0;
    for (os::Op op : {os::Op::Open, os::Op::Write, os::Op::Flush, os::Op::Close, os::Op::Replace}) {
        SCOPED_TRACE(OpName(op));
        Write(ConfigPath(), previousBytes);
        os::Faults::Clear();
        os::Faults::FailNth(op, 1);
        os::Faults::FailNth(os::Op::Delete, 1);
        palette.SaveConfiguration(ConfigPath());
        const bool cleanUpTried = os::Faults::Calls(os::Op::Delete) >= 1;
        os::Faults::Clear();
        EXPECT_TRUE(cleanUpTried) << "a failed save cleans up";
        EXPECT_EQ(os::Faults::OpenFiles(), 0);
        EXPECT_EQ(Read(ConfigPath()), previousBytes);
        doubles += 2;

        palette.SaveConfiguration(ConfigPath());
        EXPECT_EQ(Read(ConfigPath()),
                  Lines({"10", "20", "30", "40", "1", "3", "5", "7" + kZusun + "mm", "12.5", "1", "3" + kFullM}));
        EXPECT_FALSE(testkit::Exists(TempPath()));
    }
    gTotalInjected += doubles;
    std::cout << "[ faults   ] SaveConfiguration with a failing clean-up: " << doubles << " faults injected"
              << std::endl;
}

// Lists of this many entries make a file of several read buffers, so that
// reads fail in the middle of a list, and in the middle of a line.
Strings ManyEntries(int n, const std::string& unit) {
    Strings list;
    for (int i = 0; i < n; ++i) list.push_back(std::to_string(i) + "." + std::string(20, '5') + unit);
    return list;
}

TEST_F(FaultTest, LoadConfigurationNeverTouchesTheFileAndKeepsTheStoreConsistent) {
    struct Case {
        const char* name;
        Strings radius, diameter;
    };
    const Case cases[] = {
        {"small file", {"5", "7" + kZusun + "mm", "12.5"}, {"3" + kFullM}},
        {"file of several buffers", ManyEntries(4000, kZusun + "mm"), ManyEntries(3000, kFullM)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Strings lines = {"10", "20", "30", "40", "1", std::to_string(c.radius.size())};
        lines.insert(lines.end(), c.radius.begin(), c.radius.end());
        lines.push_back(std::to_string(c.diameter.size()));
        lines.insert(lines.end(), c.diameter.begin(), c.diameter.end());
        std::string bytes;
        for (const auto& l : lines) bytes += l + "\r\n";
        auto setup = [&] {
            Write(ConfigPath(), bytes);
            Settings().ResetSettings();
            palette.SetPosition(196, 104);
            dialog.SetPosition(193, 115);
        };
        auto run = [&] { palette.LoadConfiguration(ConfigPath()); };
        auto consistent = [](int32_t count, const Strings& list, const Strings& full) {
            // Sized to its count (or empty for none); each entry read in full
            // or not at all, never cut short.
            EXPECT_EQ(list.size(), count > 0 ? static_cast<std::size_t>(count) : 0u);
            EXPECT_LE(list.size(), full.size());
            int wrong = 0;
            for (std::size_t i = 0; i < list.size() && i < full.size(); ++i) {
                if (list[i] != full[i] && !list[i].empty() && wrong++ < 3)
                    ADD_FAILURE() << "entry " << i << ": " << list[i];
            }
            EXPECT_EQ(wrong, 0);
        };
        auto check = [&](os::Op, int) {
            EXPECT_EQ(Read(ConfigPath()), bytes) << "reading changed the file";
            EXPECT_FALSE(testkit::Exists(TempPath()));
            const SettingsStore& s = Settings();
            EXPECT_TRUE((palette.left() == 196 && palette.top() == 104) ||
                        (palette.left() == 10 && palette.top() == 20));
            EXPECT_TRUE((dialog.left() == 193 && dialog.top() == 115) || (dialog.left() == 30 && dialog.top() == 40));
            EXPECT_TRUE(s.ScreenType == 0 || s.ScreenType == 1);
            consistent(s.RadiusCount, s.RadiusList, c.radius);
            consistent(s.DiameterCount, s.DiameterList, c.diameter);
        };
        const CallCounts clean = FailEveryStep(std::string("LoadConfiguration (") + c.name + ")", setup, run, check);
        EXPECT_EQ(Settings().RadiusList, c.radius);
        EXPECT_EQ(Settings().DiameterList, c.diameter);
        EXPECT_EQ(palette.left(), 10);
        if (c.radius.size() > 100) {
            EXPECT_GE(clean[static_cast<std::size_t>(os::Op::Read)], 3);
        }
    }
}

TEST_F(FaultTest, SyncWatcherReadsAgainAfterEveryFailedRead) {
    palette.FormShow();
    ASSERT_TRUE(palette.Timer1.enabled());
    int step = 0;
    std::string text;
    int32_t stamp = 0;
    int32_t ageBefore = 0;
    std::string selectionBefore;
    // Each round a sync file with new texts, a new file stamp and a time
    // stamp after the palette's last adoption (the fake clock stands still).
    auto setup = [&] {
        ++step;
        text = "v" + std::to_string(step);
        Write(SyncPath(), Lines({"45293", text, text + "d"}));
        stamp = DosStamp(2023, 6, 1, 10, step / 30, 2 * (step % 30));
        ASSERT_TRUE(os::SetFileStamp(SyncPath(), stamp));
        ageBefore = palette.SyncFileAge;
        selectionBefore = Read(SelectionPath());
    };
    auto tick = [&] { palette.Timer1.Fire(); };
    int readFailures = 0, writeFailures = 0;
    auto check = [&](os::Op, int) {
        EXPECT_TRUE(palette.Timer1.enabled());
        EXPECT_EQ(palette.Timer1.interval(), 1000u);
        if (palette.SyncFileAge == ageBefore) {
            // The read failed: nothing adopted, the stamp not recorded...
            ++readFailures;
            EXPECT_NE(palette.ComboBox1.text(), text);
            EXPECT_NE(palette.RadiusText, text);
            EXPECT_EQ(Read(SelectionPath()), selectionBefore);
            // ...so the next tick reads the file again and adopts it.
            tick();
            EXPECT_EQ(palette.SyncFileAge, stamp);
            EXPECT_EQ(palette.ComboBox1.text(), text);
        } else {
            EXPECT_EQ(palette.SyncFileAge, stamp);
        }
        // Read in full: adopted, and the selection file whole, untouched
        // (its open refused) or gone.
        EXPECT_EQ(palette.RadiusText, text);
        EXPECT_EQ(palette.DiameterText, text + "d");
        const std::string now = Read(SelectionPath());
        const std::string whole = SelectionBytes(text, text + "d", std::to_string(palette.Mode));
        if (now != whole) ++writeFailures;
        EXPECT_TRUE(now == whole || now == selectionBefore || now == "<missing>") << "partial selection file: " << now;
    };
    FailEveryStep("Timer1Timer / ReadSyncFile", setup, tick, check);
    EXPECT_GT(readFailures, 0);
    EXPECT_GT(writeFailures, 0) << "the faults reached the selection write of the adoption too";
    std::cout << "[ faults   ]   of which " << readFailures << " failed the read, " << writeFailures
              << " the selection write" << std::endl;
}

TEST_F(FaultTest, MissingProgramFolderWritesNothingAndKeepsRunning) {
    // The program's folder vanished (a removed stick, a deleted folder):
    // every write fails, nothing is reported, and the palette goes on.
    const os::Path gone = dir / "gone";
    env.program = gone + os::PathFromAscii("/k307palette.exe");
    palette.FormShow();
    EXPECT_TRUE(palette.Timer1.enabled());
    EXPECT_EQ(palette.RadiusText, kUnspecified);
    EXPECT_EQ(palette.selectionWrites, 1) << "the show sequence tried its one write";
    palette.ComboBox1.UserPick(0);
    EXPECT_TRUE(palette.Timer1.enabled());
    palette.Timer1.Fire();
    palette.Close();
    EXPECT_FALSE(testkit::Exists(gone)) << "no folder is made";
    EXPECT_TRUE(Files().empty());
    EXPECT_EQ(os::Faults::OpenFiles(), 0);
}

TEST_F(FaultTest, ReadOnlyFolderKeepsThePreviousFilesWhole) {
    namespace fs = std::filesystem;
    const std::string config = Lines({"1", "2", "3", "4", "0", "1", "9", "0"});
    Write(ConfigPath(), config);
    Write(SelectionPath(), kOldSelectionBytes);
    fs::permissions(fs::path(SelectionPath()), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(fs::path(dir.Folder()), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                                fs::perms::group_exec | fs::perms::others_read |
                                                fs::perms::others_exec);
    struct Restore {
        const os::Path& folder;
        const os::Path selection;
        ~Restore() {
            std::error_code ec;
            fs::permissions(fs::path(folder), fs::perms::owner_all, fs::perm_options::add, ec);
            fs::permissions(fs::path(selection), fs::perms::owner_write, fs::perm_options::add, ec);
        }
    } restore{dir.Folder(), SelectionPath()};
    // Where protections do not hold (an administrator, or Windows, which
    // ignores a folder's read-only attribute), there is nothing to show.
    if (testkit::WriteBytes(dir / "probe", "x") || testkit::WriteBytes(SelectionPath(), kOldSelectionBytes)) {
        GTEST_SKIP() << "this account can write into a read-only folder";
    }

    palette.FormShow();
    palette.ComboBox1.UserPick(0);
    palette.Close();
    EXPECT_EQ(Read(SelectionPath()), kOldSelectionBytes) << "a file that cannot be written keeps what it held";
    EXPECT_EQ(Read(ConfigPath()), config) << "a configuration that cannot be replaced keeps what it held";
    EXPECT_FALSE(testkit::Exists(TempPath()));
    EXPECT_EQ(os::Faults::OpenFiles(), 0);
}

// The suite's figure, printed once all tests have run.
class FaultFigure : public ::testing::Environment {
public:
    void TearDown() override {
        if (gTotalInjected > 0)
            std::cout << "[ faults   ] total: " << gTotalInjected << " faults injected" << std::endl;
    }
};
const auto* const kFigure = ::testing::AddGlobalTestEnvironment(new FaultFigure);

}  // namespace
}  // namespace palette_test
