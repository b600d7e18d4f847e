// What the Win32 peers decide, run on the host: the edit mirror between code
// page 932 bytes and UTF-16 units (with a fake converter), what a typed unit
// means to a text field, and which button Enter, Escape or an access key
// presses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/EditMirror.h"
#include "ui/Typing.h"

namespace {

using ui::TypedAction;

// ASCII as itself, two-byte characters with the lead byte 0x82 as U+FFxx
// (xx the trail byte); everything else is no character.
const ui::CharConverter kFake{[](std::string_view c, wchar_t& unit) {
                                  if (c.size() == 1 && static_cast<unsigned char>(c[0]) < 0x80) {
                                      unit = static_cast<wchar_t>(c[0]);
                                      return true;
                                  }
                                  if (c.size() == 2 && static_cast<unsigned char>(c[0]) == 0x82) {
                                      unit = static_cast<wchar_t>(0xFF00 + static_cast<unsigned char>(c[1]));
                                      return true;
                                  }
                                  return false;
                              },
                              [](wchar_t unit, std::string& out) {
                                  if (unit < 0x80) {
                                      out += static_cast<char>(unit);
                                      return true;
                                  }
                                  if (unit >= 0xFF40 && unit <= 0xFFFC) {
                                      out += '\x82';
                                      out += static_cast<char>(unit - 0xFF00);
                                      return true;
                                  }
                                  return false;
                              }};

TEST(EditMirror, ShowsACharacterAsOneUnitAndEachByteOfANonCharacterAsOne) {
    const std::string bytes =
        "a\x82\x60\x83\x40"
        "b";
    ui::EditMirror m = ui::EditMirror::Of(bytes, kFake);
    EXPECT_EQ(m.wide, std::wstring(L"a\xFF60\xFFFD\xFFFD"
                                   L"b"));
    EXPECT_EQ(m.byteAt, (std::vector<std::size_t>{0, 1, 3, 4, 5, 6}));
    EXPECT_EQ(m.ByteFromWide(2), 3u);
    EXPECT_EQ(m.ByteFromWide(99), 6u);
    EXPECT_EQ(m.WideFromByte(1), 1u);
    EXPECT_EQ(m.WideFromByte(3), 2u);
}

TEST(EditMirror, SpliceKeepsTheUntouchedBytesAndConvertsWhatWasTyped) {
    const std::string model = "\x83\x40x";  // shows as two U+FFFD and "x"
    ui::EditMirror m = ui::EditMirror::Of(model, kFake);
    std::string out;
    ASSERT_TRUE(ui::SpliceEdited(model, m, L"\xFFFD\xFFFDy\xFF60x", kFake, out));
    EXPECT_EQ(out, "\x83\x40y\x82\x60x");
    ASSERT_TRUE(ui::SpliceEdited(model, m, L"x", kFake, out));
    EXPECT_EQ(out, "x");
    out = "before";
    EXPECT_FALSE(ui::SpliceEdited(model, m, L"\xFFFD\xFFFD\x4E00x", kFake, out)) << "no code page 932 form";
}

TEST(TypedChar, EachUnitHasOneMeaning) {
    struct Row {
        std::uint32_t unit;
        TypedAction action;
        ui::KeyKind kind;
        std::string bytes;
    };
    for (const Row& r : std::vector<Row>{
             {'\b', TypedAction::Send, ui::KeyKind::Backspace, ""},
             {'\t', TypedAction::Swallow, ui::KeyKind::Char, ""},
             {0x1B, TypedAction::Swallow, ui::KeyKind::Char, ""},
             {0x03, TypedAction::PassOn, ui::KeyKind::Char, ""},  // Ctrl+C
             {0x16, TypedAction::PassOn, ui::KeyKind::Char, ""},  // Ctrl+V
             {'a', TypedAction::Send, ui::KeyKind::Char, "a"},
             {0xFF60, TypedAction::Send, ui::KeyKind::Char, "\x82\x60"},
             {0x4E00, TypedAction::Refuse, ui::KeyKind::Char, ""},
             {0xD83D, TypedAction::Refuse, ui::KeyKind::Char, ""},  // half of a pair
         }) {
        ui::TypedKey t = ui::ClassifyTypedChar(r.unit, kFake);
        EXPECT_EQ(t.action, r.action) << r.unit;
        if (r.action != TypedAction::Send) continue;
        EXPECT_EQ(t.key.kind, r.kind) << r.unit;
        EXPECT_EQ(t.key.bytes, r.bytes) << r.unit;
    }
}

// What WM_COMMAND IDs a control answers to: the dialog manager names the
// default button with IDOK for Enter, the cancel button with IDCANCEL for
// Escape, a radio group's items by their own IDs, and any other control by
// its ID (an access key).
TEST(CommandIds, EnterEscapeRadioItemsAndAccessKeysNameTheirControls) {
    using Ids = std::vector<int>;
    ui::Form form("form", 0, 0, 200, 100);
    ui::Panel outer(&form, 1, {0, 0, 200, 100}, 0xFFFFFF, false);
    ui::Label label(&outer, 1, {0, 0, 10, 10}, "label");
    ui::Panel inner(&outer, 2, {0, 50, 200, 50}, 0xFFFFFF, false);
    ui::Button ok(&inner, 1, {0, 0, 50, 20}, "ok");
    ui::Button cancel(&inner, 2, {60, 0, 50, 20}, "cancel");
    ui::RadioGroup group(&inner, 3, {0, 0, 100, 40}, "group", {"a", "b"}, 2);
    EXPECT_EQ(ui::CommandIds(ok), Ids{101}) << "no default button yet";
    ok.isDefault = true;
    cancel.isCancel = true;
    EXPECT_EQ(ui::CommandIds(ok), (Ids{101, ui::kEnterCommand}));
    EXPECT_EQ(ui::CommandIds(cancel), (Ids{102, ui::kEscapeCommand}));
    EXPECT_EQ(ui::CommandIds(label), Ids{1101});
    EXPECT_EQ(ui::CommandIds(group), (Ids{703, 7030, 7031}));
}

}  // namespace
