// The edit mirror: caret offsets and edits between bytes and UTF-16 units.
#include "ui/EditMirror.h"

#include "common/Cp932.h"

namespace ui {

EditMirror EditMirror::Of(std::string_view bytes, const CharConverter& convert) {
    EditMirror m;
    m.wide.reserve(bytes.size());
    m.byteAt.reserve(bytes.size() + 1);
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t len = cp932::CharLength(bytes, i);
        wchar_t unit = 0;
        if (convert.toWide(bytes.substr(i, len), unit)) {
            m.wide.push_back(unit);
            m.byteAt.push_back(i);
        } else {
            // Not a valid character: every byte shows as its own U+FFFD.
            for (std::size_t k = 0; k < len; ++k) {
                m.wide.push_back(L'\xFFFD');
                m.byteAt.push_back(i + k);
            }
        }
        i += len;
    }
    m.byteAt.push_back(bytes.size());
    return m;
}

std::size_t EditMirror::WideFromByte(std::size_t b) const {
    std::size_t w = 0;
    while (w + 1 < byteAt.size() && byteAt[w] < b) ++w;
    return w;
}

bool SpliceEdited(std::string_view modelText,
                  const EditMirror& before,
                  std::wstring_view after,
                  const CharConverter& convert,
                  std::string& out) {
    std::wstring_view old = before.wide;
    std::size_t prefix = 0;
    while (prefix < old.size() && prefix < after.size() && old[prefix] == after[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < after.size() - prefix &&
           old[old.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    std::string middle;
    for (wchar_t unit : after.substr(prefix, after.size() - prefix - suffix))
        if (!convert.fromWide(unit, middle)) return false;
    std::size_t headEnd = before.ByteFromWide(prefix);
    std::size_t tailStart = before.ByteFromWide(old.size() - suffix);
    out.assign(modelText.substr(0, headEnd));
    out += middle;
    out.append(modelText.substr(tailStart));
    return true;
}

}  // namespace ui
