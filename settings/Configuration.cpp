// The configuration file: reading and writing its plain values.
#include "settings/Configuration.h"

#include "common/TextFile.h"
#include "common/uMyFunc.h"

namespace {

// Reads a count and its entries; false when reading must stop here.
bool ReadList(TextReader& reader, int32_t& count, std::vector<std::string>& list) {
    std::string line;
    if (!reader.ReadLine(line)) return false;
    count = IntOrZero(line);
    if (count < 0) return false;  // cannot be sized below zero; the count stays
    if (count > kMaxListCount) {
        count = 0;
        return false;
    }
    list.assign(static_cast<std::size_t>(count), std::string());
    for (auto& entry : list) {
        if (reader.AtEnd()) break;  // the rest would all read empty
        if (!reader.ReadText(entry)) return false;
    }
    return true;
}

void AppendInt(std::string& content, int32_t value) {
    AppendLine(content, IntToText(value));
}

}  // namespace

ConfigurationValues ReadConfiguration(const os::Path& path) {
    ConfigurationValues values;
    if (os::FileStamp(path) == -1) return values;
    TextReader reader(path);
    if (!reader.IsOpen()) return values;
    std::string x, y;
    if (!reader.ReadLine(x) || !reader.ReadLine(y)) return values;
    values.palette = WindowPlace{IntOrZero(x), IntOrZero(y)};
    if (!reader.ReadLine(x) || !reader.ReadLine(y)) return values;
    values.dialog = WindowPlace{IntOrZero(x), IntOrZero(y)};
    if (!reader.ReadLine(x)) return values;
    StoredSettings& store = values.settings;
    store.ScreenType = IntOrZero(x);
    if (!ReadList(reader, store.RadiusCount, store.RadiusList)) return values;
    if (!ReadList(reader, store.DiameterCount, store.DiameterList)) return values;
    reader.Close();
    return values;
}

std::string ConfigurationContent(const WindowPlace& palette, const WindowPlace& dialog, const StoredSettings& store) {
    std::size_t size = 64;
    for (const auto& e : store.RadiusList) size += e.size() + 2;
    for (const auto& e : store.DiameterList) size += e.size() + 2;
    std::string content;
    content.reserve(size);
    AppendInt(content, palette.left);
    AppendInt(content, palette.top);
    AppendInt(content, dialog.left);
    AppendInt(content, dialog.top);
    AppendInt(content, store.ScreenType);
    AppendInt(content, store.RadiusCount);
    for (std::size_t i = 0; i < store.RadiusEntries(); ++i) AppendLine(content, store.RadiusList[i]);
    AppendInt(content, store.DiameterCount);
    for (std::size_t i = 0; i < store.DiameterEntries(); ++i) AppendLine(content, store.DiameterList[i]);
    return content;
}

void WriteConfiguration(const os::Path& path,
                        const WindowPlace& palette,
                        const WindowPlace& dialog,
                        const StoredSettings& settings,
                        const os::Path& program) {
    std::string content = ConfigurationContent(palette, dialog, settings);
    // The counts are written as held; entries only as far as the lists hold
    // them, so a count beyond the list never reads past its end.
    const os::Path temp = os::ReplacementPath(path, program);
    bool written = false;
    {
        os::File f = os::File::CreateWrite(temp);
        if (f.IsOpen()) {
            bool ok = f.Write(content) && f.Flush();
            written = f.Close() && ok;
        }
    }
    if (!written || !os::ReplaceFile(temp, path)) os::DeleteFile(temp);
}
