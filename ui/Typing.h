// The typing rules of the text fields: which typed characters reach a field,
// what a key does to its text and selection, and the completion of a combo
// box against its list. Pure functions of their arguments, so that every
// keystroke rule is tested without a window. Offsets are byte offsets into
// code page 932 texts and always lie on character boundaries.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// How one character converts between code page 932 and the UTF-16 of the
// W APIs. The program passes the real conversion; host tests pass a small
// fake, so the rules built on it run without Windows.
struct CharConverter {
    // The one UTF-16 unit of a valid code page 932 character (one or two
    // bytes); false for bytes that are no character.
    bool (*toWide)(std::string_view character, wchar_t& unit);
    // Appends the code page 932 bytes of one UTF-16 unit to `out`; false when
    // code page 932 has no such character.
    bool (*fromWide)(wchar_t unit, std::string& out);
};

struct EditState {
    std::string text;
    std::size_t selStart = 0;  // also the caret when nothing is selected
    std::size_t selLength = 0;
    bool operator==(const EditState&) const = default;
};

enum class KeyKind { Char, Backspace };

struct Key {
    KeyKind kind = KeyKind::Char;
    std::string bytes;  // the typed character: one byte, or both bytes of a two-byte one
    static Key Char(std::string b) { return {KeyKind::Char, std::move(b)}; }
    static Key Backspace() { return {KeyKind::Backspace, {}}; }
};

// What a text field does with one UTF-16 unit typed into it (WM_CHAR).
enum class TypedAction {
    Send,     // `key` goes to the model's typing rules
    Swallow,  // Tab and Escape: nothing happens
    Refuse,   // a character the files cannot hold: a beep, nothing else
    PassOn,   // other control characters (Ctrl+C, Ctrl+V): the window's own work
};

struct TypedKey {
    TypedAction action = TypedAction::PassOn;
    Key key;
};

TypedKey ClassifyTypedChar(std::uint32_t unit, const CharConverter& convert);

struct TypingResult {
    EditState state;
    int currentLine = -1;    // the list line that is current afterwards
    bool runChange = false;  // whether the change handling runs
};

// Keeps offsets inside the text and on character boundaries.
EditState NormalizeEdit(EditState s);

// A key typed into a plain edit field: insert (replacing the selection),
// Backspace.
TypingResult TypeInEdit(const EditState& edit, const Key& key);

// A key typed into a combo box whose list is `lines` and whose current line
// is `currentLine`.
TypingResult TypeInCombo(const std::vector<std::string>& lines, const EditState& edit, int currentLine, const Key& key);

}  // namespace ui
