// The palette's start and close sequences, the single-copy rule, the panel
// arrangement and the event handling of its combo boxes and radio buttons.
#include <string>
#include <vector>

#include "tests/unit/palette_fixture.h"

namespace palette_test {
namespace {

using ui::Key;
using Strings = std::vector<std::string>;

class Palette : public PaletteTest {
protected:
    // A configuration file holding these radius entries and no diameters.
    void WriteRadiusPresets(const Strings& entries) {
        std::string s = Lines({"196", "104", "193", "115", "0", std::to_string(entries.size())});
        for (const auto& e : entries) s += e + "\r\n";
        Write(ConfigPath(), s + "0\r\n");
    }
    // Records the selection file after every nested radio button handling,
    // so that each of several writes inside one handler can be seen.
    void RecordRadioWrites(std::vector<std::string>& writes) {
        for (ui::RadioButton* b : {&palette.RadioButton1, &palette.RadioButton2}) {
            auto original = b->OnClick;
            b->OnClick = [this, original, &writes](ui::RadioButton& r) {
                original(r);
                writes.push_back(Read(SelectionPath()));
            };
        }
    }
    std::string Line2() {
        std::string s = Read(SelectionPath());
        std::size_t a = s.find("\r\n") + 2;
        return s.substr(a, s.find("\r\n", a) - a);
    }
};

TEST_F(Palette, FirstStartWithoutFilesShowsDefaultsAndWritesSelectionOnce) {
    palette.FormShow();

    EXPECT_FALSE(palette.closed);
    EXPECT_EQ(palette.InstanceCount, 1);
    EXPECT_EQ(Settings().ProgramDir, dir.Folder());
    EXPECT_EQ(palette.SelectionFilePath, SelectionPath());
    EXPECT_EQ(palette.left(), 196);
    EXPECT_EQ(palette.top(), 104);
    EXPECT_TRUE(env.placements.empty()) << "no configuration, so no position to check";
    EXPECT_EQ(Layout(), kHorizontal);
    EXPECT_EQ(palette.ComboBox1.items(), Strings{kUnspecified});
    EXPECT_EQ(palette.ComboBox2.items(), Strings{kUnspecified});
    EXPECT_EQ(palette.ComboBox1.text(), kUnspecified);
    EXPECT_EQ(palette.ComboBox2.text(), kUnspecified);
    EXPECT_EQ(palette.RadiusText, kUnspecified);
    EXPECT_EQ(palette.DiameterText, kUnspecified);
    EXPECT_TRUE(palette.RadioButton1.checked());
    EXPECT_FALSE(palette.RadioButton2.checked());
    EXPECT_EQ(palette.Mode, 0);
    EXPECT_TRUE(palette.stayOnTop());

    EXPECT_EQ(Read(SelectionPath()),
              "[Vorna]k307\x81\x46\x90\xDA\x89\x7E\x82\xCC\x8D\xEC\x90\x7D\r\n"
              "(\x96\xB3\x8E\x77\x92\xE8)\r\n(\x96\xB3\x8E\x77\x92\xE8)\r\n0\r\n");
    EXPECT_EQ(Calls(os::Op::Open), 1);
    EXPECT_EQ(Calls(os::Op::Write), 1);
    EXPECT_EQ(Files(), (std::set<std::string>{"k307.dat"})) << "the configuration is written at close only";

    EXPECT_TRUE(palette.Timer1.enabled());
    EXPECT_EQ(palette.Timer1.interval(), 1000u);
}

TEST_F(Palette, SecondCopyClosesAtOnceAndTouchesNoFile) {
    const std::string config = Lines({"1", "2", "3", "4", "1", "1", "9", "0"});
    const std::string selection = SelectionBytes("7", "8", "1");
    Write(ConfigPath(), config);
    Write(SelectionPath(), selection);
    env.windows = {{false, true, kTitle}, {false, true, "other"}, {false, true, kTitle}};

    palette.FormShow();

    EXPECT_EQ(palette.InstanceCount, 2);
    EXPECT_TRUE(palette.closed);
    EXPECT_FALSE(palette.Timer1.enabled());
    EXPECT_EQ(Read(ConfigPath()), config);
    EXPECT_EQ(Read(SelectionPath()), selection);
    EXPECT_EQ(Files(), (std::set<std::string>{"k307.dat", "k307palette.dat"}));
    EXPECT_EQ(Calls(os::Op::Open), 0);
    EXPECT_EQ(Calls(os::Op::Delete), 0);
    EXPECT_EQ(Settings().RadiusCount, 0) << "the configuration must not have been read";
    EXPECT_EQ(palette.ComboBox1.text(), "ComboBox1");
}

TEST_F(Palette, OnlyUnownedVisibleWindowsWithTheExactCaptionCount) {
    std::string oneByteOff = kTitle;
    oneByteOff.back() = '\x7E';
    env.windows = {
        {false, true, kTitle},        // this copy
        {true, true, kTitle},         // an owned window, e.g. the settings dialog
        {false, false, kTitle},       // invisible
        {false, true, oneByteOff},    // differs in the last byte
        {false, true, kTitle + " "},  // longer
        {false, true, kHeader},       // the selection header, without the blank
        {false, true, "[vorna] k307\x81\x46\x90\xDA\x89\x7E\x82\xCC\x8D\xEC\x90\x7D"},  // case differs
    };
    palette.FormShow();
    EXPECT_EQ(palette.InstanceCount, 1);
    EXPECT_FALSE(palette.closed);
    EXPECT_TRUE(palette.Timer1.enabled());
}

TEST_F(Palette, CloseSavesConfigurationOnlyWhenAloneAndThenResetsTheStore) {
    WriteRadiusPresets({"5", "7"});
    palette.FormShow();
    ASSERT_EQ(Settings().RadiusCount, 2);
    palette.Button2.Click();

    EXPECT_TRUE(palette.closed);
    EXPECT_FALSE(palette.Timer1.enabled());
    EXPECT_EQ(Read(ConfigPath()), Lines({"196", "104", "193", "115", "0", "2", "5", "7", "0"}));
    EXPECT_EQ(Settings().RadiusCount, 0);
    EXPECT_TRUE(Settings().RadiusList.empty());
    EXPECT_EQ(Settings().ProgramDir, dir.Folder()) << "the program folder outlives the reset";
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes(kUnspecified, kUnspecified, "0"))
        << "the selection file is not written at close";
}

TEST_F(Palette, CopyThatCountedNoWindowRunsButNeverSavesTheConfiguration) {
    env.windows.clear();
    palette.FormShow();
    EXPECT_EQ(palette.InstanceCount, 0);
    EXPECT_FALSE(palette.closed);
    palette.Close();
    EXPECT_FALSE(testkit::Exists(ConfigPath()));
}

TEST_F(Palette, ArrangePanelsByScreenTypeAndRefillLists) {
    palette.FormShow();
    Settings().RadiusList = {"a", "b"};
    for (int type : {1, -1}) {
        Settings().ScreenType = type;
        palette.ArrangePanels();
        EXPECT_EQ(Layout(), kVertical) << type;
    }
    Settings().ScreenType = 0;
    palette.ComboBox1.UserPick(0);
    for (auto [count, expected] : std::vector<std::pair<int, Strings>>{
             {1, {kUnspecified, "a"}}, {5, {kUnspecified, "a", "b"}}, {-1, {kUnspecified}}}) {
        Settings().RadiusCount = count;
        palette.ArrangePanels();
        EXPECT_EQ(palette.ComboBox1.items(), expected) << count;
        EXPECT_EQ(palette.ComboBox1.itemIndex(), -1) << "a refill leaves no line current";
        EXPECT_EQ(palette.ComboBox1.text(), kUnspecified) << "the edit text stays";
    }
    EXPECT_EQ(Layout(), kHorizontal);
}

TEST_F(Palette, RadiusChangeWhileDiameterCheckedWritesTwice) {
    WriteRadiusPresets({"12.5" + kZusun + "mm"});
    palette.FormShow();
    palette.RadioButton2.UserClick();
    ASSERT_EQ(Read(SelectionPath()), SelectionBytes(kUnspecified, kUnspecified, "1"));
    std::vector<std::string> writes;
    RecordRadioWrites(writes);
    const int before = Calls(os::Op::Write);
    const int starts = windows.restarts;

    palette.ComboBox1.UserPick(1);
    writes.push_back(Read(SelectionPath()));

    EXPECT_EQ(writes, (Strings{SelectionBytes(kUnspecified, kUnspecified, "0"),
                               SelectionBytes("12.5" + kZusun + "mm", kUnspecified, "0")}));
    EXPECT_EQ(Calls(os::Op::Write) - before, 2);
    EXPECT_TRUE(palette.RadioButton1.checked());
    EXPECT_FALSE(palette.RadioButton2.checked());
    EXPECT_EQ(palette.Mode, 0);
    EXPECT_EQ(palette.RadiusText, "12.5" + kZusun + "mm");
    EXPECT_TRUE(palette.Timer1.enabled());
    EXPECT_EQ(windows.restarts - starts, 1);
}

TEST_F(Palette, DiameterChangeChecksDiameterAndKeepsRadius) {
    palette.FormShow();
    palette.ComboBox2.UserEdited({"3" + kFullM, 3, 0});
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes(kUnspecified, "3" + kFullM, "1"));
    EXPECT_TRUE(palette.RadioButton2.checked());
    EXPECT_FALSE(palette.RadioButton1.checked());
    EXPECT_EQ(palette.DiameterText, "3" + kFullM);
    EXPECT_EQ(palette.RadiusText, kUnspecified);
    EXPECT_TRUE(palette.Timer1.enabled());
}

TEST_F(Palette, RadioClicksWriteOnlyWhenTheCheckChanges) {
    palette.FormShow();
    int writes = Calls(os::Op::Write);
    int starts = windows.restarts;
    palette.RadioButton1.UserClick();
    EXPECT_EQ(Calls(os::Op::Write), writes);
    EXPECT_EQ(windows.restarts, starts);

    palette.RadioButton2.UserClick();
    EXPECT_EQ(Calls(os::Op::Write), writes + 1);
    EXPECT_EQ(palette.Mode, 1);
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes(kUnspecified, kUnspecified, "1"));
    EXPECT_TRUE(palette.Timer1.enabled());
    EXPECT_EQ(windows.restarts, starts + 1) << "the handler restarts the wait";

    palette.RadioButton1.UserClick();
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes(kUnspecified, kUnspecified, "0"));
    EXPECT_FALSE(palette.RadioButton2.checked());
}

TEST_F(Palette, TypingWithoutMatchingLineWritesEachText) {
    palette.FormShow();
    palette.ComboBox1.UserEdited({"", 0, 0});  // the user cut the whole text
    ASSERT_EQ(Line2(), "");
    int writes = Calls(os::Op::Write);
    palette.ComboBox1.UserKey(Key::Char("1"));
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes("1", kUnspecified, "0"));
    palette.ComboBox1.UserKey(Key::Char("2"));
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes("12", kUnspecified, "0"));
    EXPECT_EQ(Calls(os::Op::Write), writes + 2);
    EXPECT_EQ(palette.ComboBox1.text(), "12");
    EXPECT_TRUE(palette.Timer1.enabled());
}

TEST_F(Palette, TypingCompletesAgainstPresetsAndWritesTheCompletedLine) {
    const std::string ten = "10" + kZusun + "mm", twelve = "12.5" + kZusun + "mm";
    WriteRadiusPresets({ten, twelve});
    palette.FormShow();
    palette.ComboBox1.UserEdited({"", 0, 0});

    palette.ComboBox1.UserKey(Key::Char("1"));
    EXPECT_EQ(palette.ComboBox1.text(), ten);
    EXPECT_EQ(palette.ComboBox1.editState().selStart, 1u);
    EXPECT_EQ(palette.ComboBox1.editState().selLength, ten.size() - 1);  // "0図寸mm"
    EXPECT_EQ(palette.ComboBox1.itemIndex(), 1);
    EXPECT_EQ(Line2(), ten);

    palette.ComboBox1.UserKey(Key::Char("2"));
    EXPECT_EQ(palette.ComboBox1.text(), twelve);
    EXPECT_EQ(palette.ComboBox1.editState().selStart, 2u);
    EXPECT_EQ(palette.ComboBox1.editState().selLength, twelve.size() - 2);  // ".5図寸mm"
    EXPECT_EQ(Line2(), twelve);
    EXPECT_EQ(palette.RadiusText, twelve);

    // Typing on along the same line changes nothing that needs writing.
    int writes = Calls(os::Op::Write);
    palette.ComboBox1.UserKey(Key::Char("."));
    EXPECT_EQ(palette.ComboBox1.text(), twelve);
    EXPECT_EQ(Calls(os::Op::Write), writes);
}

TEST_F(Palette, OpeningParenthesisCompletesToUnspecified) {
    palette.FormShow();
    palette.ComboBox1.UserEdited({"", 0, 0});
    palette.ComboBox1.UserKey(Key::Char("("));
    EXPECT_EQ(palette.ComboBox1.text(), kUnspecified);
    EXPECT_EQ(palette.ComboBox1.editState().selStart, 1u);
    EXPECT_EQ(palette.ComboBox1.editState().selLength, kUnspecified.size() - 1);
    EXPECT_EQ(Line2(), kUnspecified);
}

TEST_F(Palette, BackspaceInEmptyComboStillWritesOnce) {
    palette.FormShow();
    palette.ComboBox1.UserEdited({"", 0, 0});
    palette.RadioButton2.UserClick();
    int writes = Calls(os::Op::Write);
    palette.ComboBox1.UserKey(Key::Backspace());
    // One write from the nested radio handling, one with the empty text.
    EXPECT_EQ(Calls(os::Op::Write), writes + 2);
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes("", kUnspecified, "0"));

    writes = Calls(os::Op::Write);
    palette.ComboBox1.UserKey(Key::Backspace());
    EXPECT_EQ(Calls(os::Op::Write), writes + 1);
    EXPECT_EQ(palette.RadiusText, "");
    EXPECT_TRUE(palette.Timer1.enabled());
}

TEST_F(Palette, PickedLineWithInvalidCodePageBytesIsTakenExactly) {
    const std::string odd = std::string("\x85\x40\xFD\x80\x81", 5);  // unassigned, 0xFD, lone lead byte
    WriteRadiusPresets({odd});
    palette.FormShow();
    ASSERT_EQ(palette.ComboBox1.items(), (Strings{kUnspecified, odd}));
    palette.ComboBox1.UserPick(1);
    EXPECT_EQ(palette.RadiusText, odd);
    EXPECT_EQ(Read(SelectionPath()), SelectionBytes(odd, kUnspecified, "0"));
}

}  // namespace
}  // namespace palette_test
