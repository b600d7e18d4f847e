// The selection file "k307.dat": reading it at start, writing it on every change.
#include "app/Selection.h"

#include <string_view>

#include "common/TextFile.h"
#include "common/Texts.h"
#include "common/uMyFunc.h"

using texts::kSelectionHeader;
using texts::kUnspecified;

Selection DefaultSelection() {
    return {kUnspecified, kUnspecified, 0};
}

namespace {
// Every byte of a space's code or lower goes from both ends. Trail bytes of
// two-byte characters are never that low, so this is safe on raw bytes.
std::string_view TrimControls(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
    return s;
}
}  // namespace

Selection ReadSelectionFile(const os::Path& path) {
    Selection s = DefaultSelection();
    if (os::FileStamp(path) == -1) return s;
    bool ok = false;
    {
        TextReader reader(path);
        if (reader.IsOpen()) {
            std::string line;
            if (reader.ReadLine(line)) {
                if (TrimControls(line) != kSelectionHeader) return s;  // foreign file: defaults, file left alone
                std::string radius, diameter, mode;
                if (reader.ReadText(radius) && reader.ReadText(diameter) && reader.ReadLine(mode)) {
                    s.radiusText = std::move(radius);
                    s.diameterText = std::move(diameter);
                    s.mode = IntOrZero(mode);
                    ok = reader.Close();
                }
            }
        }
    }
    if (!ok) {
        os::DeleteFile(path);  // the result is deliberately not checked
        return DefaultSelection();
    }
    return s;
}

SelectionWrite WriteSelectionFile(const os::Path& path, const Selection& s) {
    std::string content;
    content.reserve(64 + s.radiusText.size() + s.diameterText.size());
    AppendLine(content, kSelectionHeader);
    AppendLine(content, s.radiusText);
    AppendLine(content, s.diameterText);
    AppendLine(content, IntToText(s.mode));
    bool ok = false;
    {
        os::File f = os::File::CreateWrite(path);
        // A reader of the companion's has the file: it still holds the last
        // choice whole. Deleting it would win whenever the reader closes
        // between the two calls, and leave the companion with no choice at all.
        if (f.InUse()) return SelectionWrite::Refused;
        // An open refused for any other reason changed nothing: the file
        // still holds the last choice whole, which serves the companion
        // better than no file.
        if (!f.IsOpen()) return SelectionWrite::Failed;
        bool written = f.Write(content);
        ok = f.Close() && written;
    }
    if (ok) return SelectionWrite::Written;
    // Truncated and not written whole: no companion may read half a choice.
    os::DeleteFile(path);
    return SelectionWrite::Failed;
}
