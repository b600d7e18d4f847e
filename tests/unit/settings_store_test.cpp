#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Unit3z.h"

namespace {

TEST(SettingsStore, ResetClearsEverythingButTheProgramFolder) {
    SettingsStore s;
    s.ProgramDir = os::PathFromAscii("prog/");
    s.ScreenType = 1;
    s.RadiusCount = 2;
    s.RadiusList = {"1", "2"};
    s.DiameterCount = -3;
    s.DiameterList = {"9"};
    s.ResetSettings();
    EXPECT_EQ(s.ProgramDir, os::PathFromAscii("prog/"));
    EXPECT_EQ(s.ScreenType, 0);
    EXPECT_EQ(s.RadiusCount, 0);
    EXPECT_TRUE(s.RadiusList.empty());
    EXPECT_EQ(s.DiameterCount, 0);
    EXPECT_TRUE(s.DiameterList.empty());
}

TEST(SettingsStore, TheProcessWideStoreIsOneObject) {
    SettingsStore& a = Settings();
    SettingsStore& b = Settings();
    EXPECT_EQ(&a, &b);
    os::Path saved = a.ProgramDir;
    a.ResetSettings();
    a.RadiusList.push_back("5");
    a.RadiusCount = 1;
    EXPECT_EQ(b.RadiusEntries(), 1u);
    a.ResetSettings();
    EXPECT_EQ(b.RadiusEntries(), 0u);
    a.ProgramDir = saved;
}

TEST(SettingsStore, UsableCountNeverPassesTheListOrANonPositiveCount) {
    const std::vector<std::string> three = {"a", "b", "c"};
    const std::vector<std::string> none;
    EXPECT_EQ(SettingsStore::UsableCount(3, three), 3u);
    EXPECT_EQ(SettingsStore::UsableCount(2, three), 2u);
    EXPECT_EQ(SettingsStore::UsableCount(4, three), 3u);
    EXPECT_EQ(SettingsStore::UsableCount(INT32_MAX, three), 3u);
    EXPECT_EQ(SettingsStore::UsableCount(0, three), 0u);
    EXPECT_EQ(SettingsStore::UsableCount(-1, three), 0u);
    EXPECT_EQ(SettingsStore::UsableCount(INT32_MIN, three), 0u);
    EXPECT_EQ(SettingsStore::UsableCount(5, none), 0u);
}

TEST(SettingsStore, EntriesFollowEachListsOwnCount) {
    SettingsStore s;
    s.RadiusList = {"1", "2", "3"};
    s.RadiusCount = 2;
    s.DiameterList = {"4", "5"};
    s.DiameterCount = -1;  // what a broken configuration file leaves
    EXPECT_EQ(s.RadiusEntries(), 2u);
    EXPECT_EQ(s.DiameterEntries(), 0u);
    s.DiameterCount = 7;
    EXPECT_EQ(s.DiameterEntries(), 2u);
}

}  // namespace
