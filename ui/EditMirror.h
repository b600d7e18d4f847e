// The edit mirror: the bridge between a model's code page 932 text and what an edit window
// shows. Each character maps to one UTF-16 unit (code page 932 has nothing
// outside the BMP; an invalid byte shows as U+FFFD), so caret offsets map
// exactly both ways and bytes the user did not touch stay as they were.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Typing.h"

namespace ui {

struct EditMirror {
    std::wstring wide;
    std::vector<std::size_t> byteAt;  // byte offset of each UTF-16 unit, plus the end

    static EditMirror Of(std::string_view bytes, const CharConverter& convert);
    std::size_t ByteFromWide(std::size_t w) const { return byteAt[w < byteAt.size() ? w : byteAt.size() - 1]; }
    std::size_t WideFromByte(std::size_t b) const;
};

// The model text after the window's text changed from `before` to `after`:
// the unchanged head and tail keep their original bytes, the changed middle
// is converted. False when the middle holds a character code page 932 lacks.
bool SpliceEdited(std::string_view modelText,
                  const EditMirror& before,
                  std::wstring_view after,
                  const CharConverter& convert,
                  std::string& out);

}  // namespace ui
