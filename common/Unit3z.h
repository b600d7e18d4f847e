// The settings store (Unit3z): one process-wide record shared by the palette,
// the configuration file and the settings dialog.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "os/Os.h"

// What the configuration file holds besides the window positions: plain
// values, read and written by settings/Configuration.
struct StoredSettings {
    int32_t ScreenType = 0;  // 0 horizontal; any other value vertical
    // Counts equal the list sizes, except that a broken configuration file may
    // leave a negative count, which means no entries.
    int32_t RadiusCount = 0;
    std::vector<std::string> RadiusList;
    int32_t DiameterCount = 0;
    std::vector<std::string> DiameterList;

    // The entries a loop over a list may visit: the first `count`, never more
    // than the list holds, none for a count of zero or less.
    static std::size_t UsableCount(int32_t count, const std::vector<std::string>& list);
    std::size_t RadiusEntries() const { return UsableCount(RadiusCount, RadiusList); }
    std::size_t DiameterEntries() const { return UsableCount(DiameterCount, DiameterList); }
};

struct SettingsStore : StoredSettings {
    os::Path ProgramDir;  // folder of the program file, with trailing delimiter

    // Screen type and both counts 0, both lists empty; ProgramDir stays.
    void ResetSettings();
};

SettingsStore& Settings();
