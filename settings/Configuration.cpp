#include "settings/Configuration.h"

#include "common/TextFile.h"
#include "common/uMyFunc.h"

namespace {

void PlaceReachable(ui::Form& form, int left, int top, os::Environment& env) {
    env.KeepReachable(left, top, form.Width(), form.Height());
    form.SetPosition(left, top);
}

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

void LoadConfiguration(const os::Path& path, ui::Form& palette, ui::Form& dialog, os::Environment& env) {
    SettingsStore& store = Settings();
    store.ResetSettings();
    if (os::FileStamp(path) == -1) return;
    TextReader reader(path);
    if (!reader.IsOpen()) return;
    std::string x, y;
    if (!reader.ReadLine(x) || !reader.ReadLine(y)) return;
    PlaceReachable(palette, IntOrZero(x), IntOrZero(y), env);
    if (!reader.ReadLine(x) || !reader.ReadLine(y)) return;
    PlaceReachable(dialog, IntOrZero(x), IntOrZero(y), env);
    if (!reader.ReadLine(x)) return;
    store.ScreenType = IntOrZero(x);
    if (!ReadList(reader, store.RadiusCount, store.RadiusList)) return;
    if (!ReadList(reader, store.DiameterCount, store.DiameterList)) return;
    reader.Close();
}

std::string ConfigurationContent(int paletteLeft,
                                 int paletteTop,
                                 int dialogLeft,
                                 int dialogTop,
                                 const SettingsStore& store) {
    std::size_t size = 64;
    for (const auto& e : store.RadiusList) size += e.size() + 2;
    for (const auto& e : store.DiameterList) size += e.size() + 2;
    std::string content;
    content.reserve(size);
    AppendInt(content, paletteLeft);
    AppendInt(content, paletteTop);
    AppendInt(content, dialogLeft);
    AppendInt(content, dialogTop);
    AppendInt(content, store.ScreenType);
    AppendInt(content, store.RadiusCount);
    for (std::size_t i = 0; i < store.RadiusEntries(); ++i) AppendLine(content, store.RadiusList[i]);
    AppendInt(content, store.DiameterCount);
    for (std::size_t i = 0; i < store.DiameterEntries(); ++i) AppendLine(content, store.DiameterList[i]);
    return content;
}

void SaveConfiguration(const os::Path& path, ui::Form& palette, ui::Form& dialog) {
    std::string content = ConfigurationContent(palette.Left(), palette.Top(), dialog.Left(), dialog.Top(), Settings());
    // The counts are written as held; entries only as far as the lists hold
    // them, so a count beyond the list never reads past its end.
    os::Path temp = path + os::PathFromAscii(".tmp");
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
