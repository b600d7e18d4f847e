#include <gtest/gtest.h>

#include "os/Os.h"

namespace {

os::Path P(const char* utf8) {
    return os::PathFromUtf8(utf8);
}

#ifdef _WIN32
#define SEP "\\"
#else
#define SEP "/"
#endif

TEST(FolderOf, KeepsTheTrailingDelimiter) {
    EXPECT_EQ(os::FolderOf(P(SEP "tools" SEP "k307.exe")), P(SEP "tools" SEP));
    EXPECT_EQ(os::FolderOf(P(SEP "a" SEP "b" SEP "c")), P(SEP "a" SEP "b" SEP));
    EXPECT_EQ(os::FolderOf(P(SEP "a" SEP)), P(SEP "a" SEP));
    EXPECT_EQ(os::FolderOf(P("k307.exe")), P(""));
    EXPECT_EQ(os::FolderOf(P("")), P(""));
    EXPECT_EQ(os::FolderOf(P(SEP "\xE5\x9B\xB3\xE9\x9D\xA2" SEP "k307.exe")), P(SEP "\xE5\x9B\xB3\xE9\x9D\xA2" SEP));
}

#ifdef _WIN32
TEST(FolderOf, KnowsEveryWindowsDelimiter) {
    EXPECT_EQ(os::FolderOf(P("C:\\Tools\\k307.exe")), P("C:\\Tools\\"));
    EXPECT_EQ(os::FolderOf(P("C:/Tools/k307.exe")), P("C:/Tools/"));
    EXPECT_EQ(os::FolderOf(P("C:k307.exe")), P("C:"));
    EXPECT_EQ(os::FolderOf(P("\\\\server\\share\\k307.exe")), P("\\\\server\\share\\"));
}
#endif

TEST(ReplaceExtension, ReplacesFromTheLastDotOfTheName) {
    EXPECT_EQ(os::ReplaceExtension(P("X.exe"), ".dat"), P("X.dat"));
    EXPECT_EQ(os::ReplaceExtension(P(SEP "tools" SEP "k307.exe"), ".dat"), P(SEP "tools" SEP "k307.dat"));
    EXPECT_EQ(os::ReplaceExtension(P("k307.old.exe"), ".dat"), P("k307.old.dat"));
    EXPECT_EQ(os::ReplaceExtension(P("k307."), ".dat"), P("k307.dat"));
}

TEST(ReplaceExtension, AppendsWhenTheNameHasNoDot) {
    EXPECT_EQ(os::ReplaceExtension(P("k307"), ".dat"), P("k307.dat"));
    // Dots in folder names are not the file's extension.
    EXPECT_EQ(os::ReplaceExtension(P(SEP "my.tools" SEP "k307"), ".dat"), P(SEP "my.tools" SEP "k307.dat"));
    EXPECT_EQ(os::ReplaceExtension(P("v1.2" SEP "k307"), ".dat"), P("v1.2" SEP "k307.dat"));
}

TEST(ReplaceExtension, KeepsAJapaneseFolder) {
    EXPECT_EQ(os::ReplaceExtension(P(SEP "\xE5\x9B\xB3.\xE9\x9D\xA2" SEP "k307.exe"), ".dat"),
              P(SEP "\xE5\x9B\xB3.\xE9\x9D\xA2" SEP "k307.dat"));
}

TEST(ReplacementPath, IsNoLongerThanTheConfigurationAndNeverTheProgram) {
    const os::Path config = P(SEP "tools" SEP "k307palette.dat");
    const os::Path temp = os::ReplacementPath(config, P(SEP "tools" SEP "k307palette.exe"));
    EXPECT_EQ(temp, P(SEP "tools" SEP "k307palette.tmp"));
    EXPECT_EQ(temp.size(), config.size());
    const os::Path other = os::ReplacementPath(P(SEP "tools" SEP "X.dat"), P(SEP "tools" SEP "x.TMP"));
    EXPECT_EQ(other, P(SEP "tools" SEP "X.$$$"));
}

TEST(SamePathIgnoringCase, FoldsAsciiCase) {
    EXPECT_TRUE(os::SamePathIgnoringCase(P(SEP "Tools" SEP "K307.EXE"), P(SEP "tools" SEP "k307.exe")));
    EXPECT_TRUE(os::SamePathIgnoringCase(P(""), P("")));
    EXPECT_FALSE(os::SamePathIgnoringCase(P(SEP "tools" SEP "k307.exe"), P(SEP "tools" SEP "k308.exe")));
    EXPECT_FALSE(os::SamePathIgnoringCase(P("k307.exe"), P("k307.exe ")));
    EXPECT_FALSE(os::SamePathIgnoringCase(P("k307.exe"), P("k307.ex")));
    // "[" and "{" differ by 0x20 as letters' cases do, but are not letters.
    EXPECT_FALSE(os::SamePathIgnoringCase(P("a["), P("a{")));
    EXPECT_FALSE(os::SamePathIgnoringCase(P("a@"), P("a`")));
}

#ifdef _WIN32
TEST(SamePathIgnoringCase, FoldsNonAsciiCaseAsWindowsDoes) {
    // Ä / ä and Ｋ / ｋ (full-width)
    EXPECT_TRUE(os::SamePathIgnoringCase(P("C:\\\xC3\x84\\k"), P("c:\\\xC3\xA4\\K")));
    EXPECT_TRUE(os::SamePathIgnoringCase(P("\xEF\xBC\xAB"), P("\xEF\xBD\x8B")));
    EXPECT_FALSE(os::SamePathIgnoringCase(P("\xE5\x9B\xB3"), P("\xE5\xAF\xB8")));
}
#endif

TEST(PathFromUtf8, RoundTripsThroughUtf8) {
    for (const char* s : {"", "k307.dat", "C:\\\xE5\x9B\xB3\xE9\x9D\xA2\\k307.exe", "\xF0\x9F\x98\x80"}) {
        EXPECT_EQ(os::PathToUtf8(os::PathFromUtf8(s)), s);
    }
    EXPECT_EQ(os::PathFromAscii("k307.ini"), P("k307.ini"));
}

TEST(ProgramPath, NamesTheRunningTestProgram) {
    os::Path self = os::SystemEnvironment().ProgramPath();
    ASSERT_FALSE(self.empty());
    std::string utf8 = os::PathToUtf8(self);
    EXPECT_NE(utf8.find("k307_unit_tests"), std::string::npos) << utf8;
    EXPECT_FALSE(os::FolderOf(self).empty());
}

}  // namespace
