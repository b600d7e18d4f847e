// Keystroke rules of the editable combo box and the plain edit field, as pure
// functions of list, edit state and key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Typing.h"

namespace {

using ui::EditState;
using ui::Key;
using ui::KeyKind;
using ui::TypeInCombo;
using ui::TypeInEdit;
using Lines = std::vector<std::string>;

// Character starts by code page 932 lead bytes, worked out here on their own.
bool OnBoundary(const std::string& s, std::size_t at) {
    std::size_t i = 0;
    while (i < at) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        i += (lead && i + 1 < s.size()) ? 2 : 1;
    }
    return i == at;
}

void ExpectWellFormed(const EditState& e) {
    ASSERT_LE(e.selStart, e.text.size());
    ASSERT_LE(e.selLength, e.text.size() - e.selStart);
    EXPECT_TRUE(OnBoundary(e.text, e.selStart)) << e.selStart;
    EXPECT_TRUE(OnBoundary(e.text, e.selStart + e.selLength)) << e.selLength;
}

TEST(ComboCompletion, CompletesToFirstLineIgnoringAsciiCase) {
    const Lines lines = {"Abc10", "abd", "ABC20"};
    auto r = TypeInCombo(lines, {"", 0, 0}, -1, Key::Char("a"));
    EXPECT_EQ(r.state, (EditState{"abc10", 1, 4})) << "the typed text followed by the rest of the line";
    EXPECT_EQ(r.currentLine, 0);
    EXPECT_TRUE(r.runChange);

    // The next key replaces the selected rest; the same line stays current.
    auto again = TypeInCombo(lines, r.state, r.currentLine, Key::Char("B"));
    EXPECT_EQ(again.state, (EditState{"aBc10", 2, 3}));
    EXPECT_EQ(again.currentLine, 0);
    EXPECT_FALSE(again.runChange) << "that line was current already";

    auto other = TypeInCombo(lines, again.state, again.currentLine, Key::Char("d"));
    EXPECT_EQ(other.state, (EditState{"aBd", 3, 0}));
    EXPECT_EQ(other.currentLine, 1);
    EXPECT_TRUE(other.runChange);
}

TEST(ComboCompletion, TrailBytesThatLookLikeLettersAreNeverFolded) {
    // "ア" is 83 41: its trail byte is "A". 83 61 is another character.
    const std::string a = "\x83\x41", other = "\x83\x61";
    auto r = TypeInCombo({a + "1"}, {"", 0, 0}, -1, Key::Char(other));
    EXPECT_EQ(r.state, (EditState{other, 2, 0})) << "no line fits: the character is inserted";
    EXPECT_EQ(r.currentLine, -1);
    EXPECT_TRUE(r.runChange);

    r = TypeInCombo({other + "1"}, {"x", 1, 0}, -1, Key::Char(a));
    EXPECT_EQ(r.state.text, "x" + a);
    EXPECT_EQ(r.currentLine, -1);

    // A letter typed after a two-byte character compares with the letter, not
    // with a trail byte.
    r = TypeInCombo({a + "b",
                     "\x83"
                     "B"},
                    {a, 2, 0}, -1, Key::Char("B"));
    EXPECT_EQ(r.state, (EditState{a + "B", 3, 0}));
    EXPECT_EQ(r.currentLine, 0);

    // The exact two-byte character still completes.
    r = TypeInCombo({other + "9", a + "12"}, {"", 0, 0}, -1, Key::Char(a));
    EXPECT_EQ(r.state, (EditState{a + "12", 2, 2}));
    EXPECT_EQ(r.currentLine, 1);
}

TEST(ComboCompletion, SearchTextIsTheTextBeforeTheSelectionOrTheWholeText) {
    const std::string entry = "12.5\x90\x7D\x90\xA1mm";
    // With a selection, only what precedes it counts.
    auto r = TypeInCombo({entry}, {"129", 2, 1}, -1, Key::Char("."));
    EXPECT_EQ(r.state, (EditState{"12." + entry.substr(3), 3, entry.size() - 3}));
    // Without a selection, the whole text counts wherever the caret is.
    r = TypeInCombo({"125", "15"}, {"12", 1, 0}, -1, Key::Char("5"));
    EXPECT_EQ(r.state, (EditState{"125", 3, 0}));
    EXPECT_EQ(r.currentLine, 0);
    // No line fits: insert at the caret, replacing the selection.
    r = TypeInCombo({"9"}, {"13", 1, 0}, 0, Key::Char("2"));
    EXPECT_EQ(r.state, (EditState{"123", 2, 0}));
    EXPECT_EQ(r.currentLine, -1);
    EXPECT_TRUE(r.runChange);
    r = TypeInCombo({"9"}, {"1abc4", 1, 3}, -1, Key::Char("\x82\x8D"));
    EXPECT_EQ(r.state, (EditState{"1\x82\x8D"
                                  "4",
                                  3, 0}));
}

TEST(ComboCompletion, BackspaceRemovesWholeCharactersOrTheSelection) {
    const std::string hyo = "\x95\x5C";  // "表": its trail byte is a backslash
    auto r = TypeInCombo({"1"}, {"1" + hyo, 3, 0}, 0, Key::Backspace());
    EXPECT_EQ(r.state, (EditState{"1", 1, 0}));
    EXPECT_EQ(r.currentLine, -1);
    EXPECT_TRUE(r.runChange);

    r = TypeInCombo({}, {"a" + hyo + "b", 1, 2}, -1, Key::Backspace());
    EXPECT_EQ(r.state, (EditState{"ab", 1, 0}));

    r = TypeInCombo({}, {"ab\x82\x8D", 2, 0}, -1, Key::Backspace());
    EXPECT_EQ(r.state, (EditState{"a\x82\x8D", 1, 0}));

    r = TypeInCombo({""}, {"", 0, 0}, 0, Key::Backspace());
    EXPECT_EQ(r.state, (EditState{"", 0, 0}));
    EXPECT_TRUE(r.runChange) << "even with nothing to delete";
    EXPECT_EQ(r.currentLine, -1);

    r = TypeInCombo({}, {"xy", 0, 0}, -1, Key::Backspace());
    EXPECT_EQ(r.state, (EditState{"xy", 0, 0}));
    EXPECT_TRUE(r.runChange);
}

TEST(EditTyping, InsertsAtCaretWithoutCompletion) {
    auto r = TypeInEdit({"15", 1, 0}, Key::Char("2"));
    EXPECT_EQ(r.state, (EditState{"125", 2, 0}));
    EXPECT_TRUE(r.runChange);
    r = TypeInEdit({"1\x82\x8D", 1, 2}, Key::Char("m"));
    EXPECT_EQ(r.state, (EditState{"1m", 2, 0}));
    r = TypeInEdit({"1\x82\x8D", 3, 0}, Key::Backspace());
    EXPECT_EQ(r.state, (EditState{"1", 1, 0}));
}

TEST(ComboCompletion, OffsetsStayInsideTheTextAndOnCharacterBoundaries) {
    const std::string text =
        "a\x82\x8D\x95\x5C"
        "b";  // a ｍ 表 b
    const Lines lines = {
        "a\x82\x8D\x95\x5C"
        "bc",
        "A\x82\x8D"
        "z",
        "\x95\x5C"};
    const std::vector<Key> keys = {Key::Char("c"), Key::Char("z"), Key::Char("\x95\x5C"), Key::Backspace()};
    for (std::size_t start = 0; start <= text.size() + 2; ++start) {
        for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{100}}) {
            const EditState e{text, start, length};
            for (const Key& k : keys) {
                SCOPED_TRACE(testing::Message() << "start " << start << " length " << length);
                auto c = TypeInCombo(lines, e, -1, k);
                ExpectWellFormed(c.state);
                EXPECT_GE(c.currentLine, -1);
                EXPECT_LT(c.currentLine, static_cast<int>(lines.size()));
                ExpectWellFormed(TypeInEdit(e, k).state);
            }
        }
    }
    // A caret inside a two-byte character never splits it when inserting.
    auto r = TypeInEdit({text, 2, 0}, Key::Char("x"));
    EXPECT_EQ(r.state.text.find("\x82"
                                "x"),
              std::string::npos)
        << r.state.text;
    EXPECT_EQ(r.state.text.size(), text.size() + 1);
}

}  // namespace
