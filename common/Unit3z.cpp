// The settings store (Unit3z).
#include "common/Unit3z.h"

void SettingsStore::ResetSettings() {
    ScreenType = 0;
    RadiusCount = 0;
    RadiusList.clear();
    RadiusList.shrink_to_fit();
    DiameterCount = 0;
    DiameterList.clear();
    DiameterList.shrink_to_fit();
}

std::size_t StoredSettings::UsableCount(int32_t count, const std::vector<std::string>& list) {
    if (count <= 0) return 0;
    auto n = static_cast<std::size_t>(count);
    return n < list.size() ? n : list.size();
}

SettingsStore& Settings() {
    static SettingsStore store;
    return store;
}
