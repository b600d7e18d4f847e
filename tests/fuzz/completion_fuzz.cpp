// Typing into a combo box (and into a plain edit field). The input is
//   n, then n lines as (length, bytes), the edit text as (length, bytes),
//   selection start, selection length, current line, then the keys:
//   0x08 Backspace, 0x09 and 0x1B skipped (Tab and Escape never reach the
//   typing rules), a lead byte and the next byte a
//   two-byte character (the next byte mapped onto a trail byte), any other
//   byte a one-byte character.
// After every key the selection and caret lie inside the text and on
// character boundaries, no two-byte character of the old text is split, the
// current line is a line of the list or -1, and the completion rule holds.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/fuzz/FuzzSupport.h"
#include "ui/Typing.h"

namespace {

struct Reader {
    const uint8_t* p;
    const uint8_t* end;
    bool More() const { return p < end; }
    uint8_t Byte() { return p < end ? *p++ : 0; }
    std::string Bytes(std::size_t n) {
        std::size_t take = std::min<std::size_t>(n, static_cast<std::size_t>(end - p));
        std::string s(reinterpret_cast<const char*>(p), take);
        p += take;
        return s;
    }
};

unsigned char TrailFrom(uint8_t b) {
    unsigned t = b % 188u;  // 0x40-0x7E, then 0x80-0xFC
    return static_cast<unsigned char>(t < 63 ? 0x40 + t : 0x80 + (t - 63));
}

unsigned char Lower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Whether `line` begins with `search`, character by character: the
// characters line up, one-byte ASCII letters compare without case, two-byte
// characters exactly.
bool BeginsWith(std::string_view line, std::string_view search) {
    if (search.size() > line.size()) return false;
    std::vector<bool> sb = fuzz::Boundaries(search), lb = fuzz::Boundaries(line);
    for (std::size_t i = 0; i < search.size();) {
        std::size_t n = (i + 1 < search.size() && !sb[i + 1]) ? 2 : 1;
        std::size_t ln = (i + 1 < line.size() && !lb[i + 1]) ? 2 : 1;
        if (!lb[i] || ln != n) return false;
        if (n == 2) {
            if (line.compare(i, 2, search, i, 2) != 0) return false;
        } else if (Lower(static_cast<unsigned char>(line[i])) != Lower(static_cast<unsigned char>(search[i]))) {
            return false;
        }
        i += n;
    }
    return true;
}

// Every two-byte character of `old` inside [from, to) starts, shifted by
// `shift`, on a boundary of `now` and keeps its bytes.
void CheckKept(const std::string& old, std::size_t from, std::size_t to, const std::string& now, std::ptrdiff_t shift) {
    std::vector<bool> ob = fuzz::Boundaries(old), nb = fuzz::Boundaries(now);
    for (std::size_t i = from; i < to; ++i) {
        if (!ob[i]) continue;
        std::size_t j = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(i) + shift);
        FUZZ_CHECK(j < now.size() && now[j] == old[i] && nb[j]);
        if (i + 1 < old.size() && !ob[i + 1]) {
            // A two-byte character: its range holds both bytes, and it is
            // still one character afterwards.
            FUZZ_CHECK(i + 1 < to);
            FUZZ_CHECK(j + 1 < now.size() && now[j + 1] == old[i + 1] && !nb[j + 1]);
        }
    }
}

bool ValidState(const ui::EditState& s) {
    if (s.selStart > s.text.size() || s.selLength > s.text.size() - s.selStart) return false;
    std::vector<bool> b = fuzz::Boundaries(s.text);
    return b[s.selStart] && b[s.selStart + s.selLength];
}

void CheckStep(const std::vector<std::string>& lines,
               const ui::EditState& old,
               int oldLine,
               const ui::Key& key,
               const ui::TypingResult& r,
               bool combo) {
    const ui::EditState& now = r.state;
    // Inside the text, on boundaries.
    FUZZ_CHECK(ValidState(now));
    FUZZ_CHECK(r.currentLine == -1 || (r.currentLine >= 0 && static_cast<std::size_t>(r.currentLine) < lines.size()));
    const bool oldValid = ValidState(old);
    const std::vector<bool> ob = fuzz::Boundaries(old.text);

    switch (key.kind) {
        case ui::KeyKind::Backspace: {
            FUZZ_CHECK(r.runChange && r.currentLine == -1 && now.selLength == 0);
            // One piece [a, b) cut out, both ends on boundaries of the old text.
            const std::size_t a = now.selStart;
            FUZZ_CHECK(now.text.size() <= old.text.size() && a <= now.text.size());
            const std::size_t b = a + (old.text.size() - now.text.size());
            FUZZ_CHECK(ob[a] && ob[b]);
            FUZZ_CHECK(now.text == old.text.substr(0, a) + old.text.substr(b));
            CheckKept(old.text, 0, a, now.text, 0);
            CheckKept(old.text, b, old.text.size(), now.text, -static_cast<std::ptrdiff_t>(b - a));
            if (oldValid) {
                if (old.selLength > 0) {
                    FUZZ_CHECK(a == old.selStart && b == old.selStart + old.selLength);
                } else if (old.selStart == 0) {
                    FUZZ_CHECK(a == b && a == 0);
                } else {
                    // Exactly the one character before the caret.
                    FUZZ_CHECK(b == old.selStart && a < b);
                    for (std::size_t i = a + 1; i < b; ++i) FUZZ_CHECK(!ob[i]);
                }
            }
            return;
        }
        case ui::KeyKind::Char:
            break;
    }
    if (combo && r.currentLine >= 0) {
        // Completed: the search text followed by the rest of the first line
        // that begins with it, the rest selected.
        const std::string& line = lines[static_cast<std::size_t>(r.currentLine)];
        FUZZ_CHECK(now.text.size() == line.size() && now.selStart + now.selLength == now.text.size());
        FUZZ_CHECK(now.selStart >= key.bytes.size());
        const std::string search = now.text.substr(0, now.selStart);
        FUZZ_CHECK(now.text.substr(now.selStart) == line.substr(now.selStart));
        FUZZ_CHECK(BeginsWith(line, search));
        FUZZ_CHECK(fuzz::Boundaries(now.text) == fuzz::Boundaries(line));
        const std::size_t kept = search.size() - key.bytes.size();
        FUZZ_CHECK(search.substr(kept) == key.bytes);
        FUZZ_CHECK(kept <= old.text.size() && search.substr(0, kept) == old.text.substr(0, kept) && ob[kept]);
        CheckKept(old.text, 0, kept, now.text, 0);
        for (int j = 0; j < r.currentLine; ++j) FUZZ_CHECK(!BeginsWith(lines[static_cast<std::size_t>(j)], search));
        if (oldValid) {
            FUZZ_CHECK(kept == (old.selLength > 0 ? old.selStart : old.text.size()));
        }
        // The change handling runs only when the line was not current already.
        FUZZ_CHECK(r.runChange == (r.currentLine != oldLine));
        return;
    }
    // Inserted at the caret, replacing the selection.
    FUZZ_CHECK(r.runChange && r.currentLine == -1);
    FUZZ_CHECK(now.selLength == 0 && now.selStart >= key.bytes.size());
    const std::size_t a = now.selStart - key.bytes.size();
    FUZZ_CHECK(old.text.size() + key.bytes.size() >= now.text.size());
    const std::size_t b = a + (old.text.size() + key.bytes.size() - now.text.size());
    FUZZ_CHECK(a <= b && b <= old.text.size() && ob[a] && ob[b]);
    FUZZ_CHECK(now.text == old.text.substr(0, a) + key.bytes + old.text.substr(b));
    CheckKept(old.text, 0, a, now.text, 0);
    CheckKept(old.text, b, old.text.size(), now.text, static_cast<std::ptrdiff_t>(a + key.bytes.size() - b));
    // The typed character stays whole, unless it completes a lone lead
    // byte at the very end of the old text.
    const bool loneLeadBefore = a > 0 && a == old.text.size() &&
                                fuzz::Lead932(static_cast<unsigned char>(old.text[a - 1])) &&
                                fuzz::Boundaries(old.text)[a - 1];
    if (!loneLeadBefore) FUZZ_CHECK(fuzz::Boundaries(now.text)[a]);
    if (oldValid) {
        FUZZ_CHECK(a == old.selStart && b == old.selStart + old.selLength);
        if (combo) {
            const std::string search = (old.selLength > 0 ? old.text.substr(0, old.selStart) : old.text) + key.bytes;
            for (const auto& line : lines) FUZZ_CHECK(!BeginsWith(line, search));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Reader in{data, data + size};
    std::vector<std::string> lines(in.Byte() % 9);
    for (auto& l : lines) l = in.Bytes(in.Byte() % 64);
    ui::EditState combo;
    combo.text = in.Bytes(in.Byte() % 64);
    combo.selStart = in.Byte();
    combo.selLength = in.Byte();
    int current = static_cast<int>(in.Byte() % (lines.size() + 1)) - 1;
    ui::EditState edit = combo;

    int keys = 0;
    while (in.More() && keys++ < 256) {
        uint8_t b = in.Byte();
        ui::Key key;
        if (b == 0x08) {
            key = ui::Key::Backspace();
        } else if (b == 0x09 || b == 0x1B) {
            continue;  // Tab and Escape never reach the typing rules
        } else if (fuzz::Lead932(b)) {
            key = ui::Key::Char(std::string{static_cast<char>(b), static_cast<char>(TrailFrom(in.Byte()))});
        } else {
            key = ui::Key::Char(std::string(1, static_cast<char>(b)));
        }
        ui::TypingResult r = ui::TypeInCombo(lines, combo, current, key);
        CheckStep(lines, combo, current, key, r, true);
        combo = r.state;
        current = r.currentLine;

        ui::TypingResult e = ui::TypeInEdit(edit, key);
        CheckStep(lines, edit, -1, key, e, false);
        FUZZ_CHECK(e.currentLine == -1);
        edit = e.state;
    }
    return 0;
}
