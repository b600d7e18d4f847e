// Typing rules of the text fields: completion, insertion, Backspace.
#include "ui/Typing.h"

#include "common/Cp932.h"

namespace ui {

EditState NormalizeEdit(EditState s) {
    const std::string_view t = s.text;
    auto floorBoundary = [&](std::size_t i) {
        if (i >= t.size()) return t.size();
        std::size_t p = 0;
        while (p + cp932::CharLength(t, p) <= i) p += cp932::CharLength(t, p);
        return p;
    };
    std::size_t start = floorBoundary(s.selStart);
    std::size_t end = s.selLength > t.size() - start ? t.size() : start + s.selLength;
    // The end is rounded up so that a half-selected character is selected whole.
    std::size_t endBoundary = floorBoundary(end);
    if (endBoundary < end) endBoundary += cp932::CharLength(t, endBoundary);
    s.selStart = start;
    s.selLength = endBoundary - start;
    return s;
}

namespace {

EditState Insert(const EditState& e, const std::string& bytes) {
    EditState r;
    r.text.reserve(e.text.size() + bytes.size());
    r.text.append(e.text, 0, e.selStart);
    r.text.append(bytes);
    r.text.append(e.text, e.selStart + e.selLength, std::string::npos);
    r.selStart = e.selStart + bytes.size();
    r.selLength = 0;
    return r;
}

EditState Backspace(const EditState& e) {
    EditState r = e;
    if (e.selLength > 0) {
        r.text.erase(e.selStart, e.selLength);
    } else if (e.selStart > 0) {
        std::size_t prev = cp932::PreviousCharStart(e.text, e.selStart);
        r.text.erase(prev, e.selStart - prev);
        r.selStart = prev;
    }
    r.selLength = 0;
    return r;
}

}  // namespace

TypingResult TypeInEdit(const EditState& edit, const Key& key) {
    EditState e = NormalizeEdit(edit);
    return {key.kind == KeyKind::Backspace ? Backspace(e) : Insert(e, key.bytes), -1, true};
}

TypingResult TypeInCombo(const std::vector<std::string>& lines,
                         const EditState& edit,
                         int currentLine,
                         const Key& key) {
    EditState e = NormalizeEdit(edit);
    // Runs the change handling even when there was nothing to delete.
    if (key.kind == KeyKind::Backspace) return {Backspace(e), -1, true};
    if (key.bytes.empty()) return {e, currentLine, false};
    std::string search = e.selLength > 0 ? e.text.substr(0, e.selStart) : e.text;
    search += key.bytes;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!cp932::StartsWithIgnoringAsciiCase(line, search)) continue;
        EditState r;
        r.text = search;
        r.text.append(line, search.size(), std::string::npos);
        r.selStart = search.size();
        r.selLength = line.size() - search.size();
        int index = static_cast<int>(i);
        return {r, index, index != currentLine};
    }
    // No line fits: the field inserts the character itself. No line is current
    // then, so a later completion to any line counts as a change.
    return {Insert(e, key.bytes), -1, true};
}

TypedKey ClassifyTypedChar(std::uint32_t unit, const CharConverter& convert) {
    // A surrogate half: outside the BMP, never in code page 932.
    if (unit >= 0xD800 && unit <= 0xDFFF) return {TypedAction::Refuse, {}};
    auto ch = static_cast<wchar_t>(unit);
    if (ch == L'\b') return {TypedAction::Send, Key::Backspace()};
    if (ch == L'\t' || ch == 0x1B) return {TypedAction::Swallow, {}};
    if (ch < 0x20) return {TypedAction::PassOn, {}};
    std::string bytes;
    if (!convert.fromWide(ch, bytes) || bytes.empty()) return {TypedAction::Refuse, {}};
    return {TypedAction::Send, Key::Char(std::move(bytes))};
}

}  // namespace ui
