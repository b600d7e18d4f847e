#include <gtest/gtest.h>

#include "os/Faults.h"
#include "os/Os.h"
#include "tests/helpers/TestSupport.h"

namespace {

using testkit::DosStamp;
using testkit::SetLocalWriteTime;

class FileStamps : public ::testing::Test {
protected:
    void SetUp() override {
        os::Faults::Clear();
        ASSERT_TRUE(testkit::WriteBytes(file_, "stamp"));
    }
    testkit::ScratchDir dir_;
    const os::Path file_ = dir_ / "k307.ini";
};

TEST_F(FileStamps, PacksTheLocalWriteTimeInMsDosForm) {
    ASSERT_TRUE(SetLocalWriteTime(file_, 2026, 12, 8, 13, 45, 58));
    EXPECT_EQ(os::FileStamp(file_), DosStamp(2026, 12, 8, 13, 45, 58));
    // The packing itself: 1980-01-01 00:00:00 is date 0x0021, time 0.
    ASSERT_TRUE(SetLocalWriteTime(file_, 1980, 1, 1, 0, 0, 0));
    EXPECT_EQ(os::FileStamp(file_), 0x00210000);
}

TEST_F(FileStamps, HasTwoSecondResolution) {
    ASSERT_TRUE(SetLocalWriteTime(file_, 2026, 12, 8, 10, 20, 31, 700));
    EXPECT_EQ(os::FileStamp(file_), DosStamp(2026, 12, 8, 10, 20, 30));
    ASSERT_TRUE(SetLocalWriteTime(file_, 2026, 12, 8, 10, 20, 30, 0));
    EXPECT_EQ(os::FileStamp(file_), DosStamp(2026, 12, 8, 10, 20, 30));
    ASSERT_TRUE(SetLocalWriteTime(file_, 2026, 12, 8, 10, 20, 32, 0));
    EXPECT_EQ(os::FileStamp(file_), DosStamp(2026, 12, 8, 10, 20, 32));
}

TEST_F(FileStamps, SetFileStampRoundTrips) {
    int checked = 0;
    for (int year : {1980, 1999, 2000, 2024, 2038, 2039, 2099, 2107}) {
        for (int month : {1, 2, 6, 12}) {
            for (int day : {1, 28}) {
                for (int hour : {0, 11, 23}) {
                    for (int second : {0, 2, 58}) {
                        int32_t stamp = DosStamp(year, month, day, hour, 59 - hour, second);
                        ASSERT_TRUE(os::SetFileStamp(file_, stamp));
                        ASSERT_EQ(os::FileStamp(file_), stamp)
                            << year << '-' << month << '-' << day << ' ' << hour << ':' << second;
                        ++checked;
                    }
                }
            }
        }
    }
    EXPECT_EQ(checked, 8 * 4 * 2 * 3 * 3);
}

TEST_F(FileStamps, BothEndsOfTheRangeAreRepresentable) {
    ASSERT_TRUE(SetLocalWriteTime(file_, 1980, 1, 1, 0, 0, 0));
    EXPECT_EQ(os::FileStamp(file_), DosStamp(1980, 1, 1, 0, 0, 0));
    ASSERT_TRUE(SetLocalWriteTime(file_, 2107, 12, 31, 23, 59, 59));
    EXPECT_EQ(os::FileStamp(file_), DosStamp(2107, 12, 31, 23, 59, 58));
}

TEST_F(FileStamps, TimesOutsideTheRangeMeanNoFile) {
    ASSERT_TRUE(SetLocalWriteTime(file_, 1979, 12, 31, 23, 59, 59));
    EXPECT_EQ(os::FileStamp(file_), -1);
    ASSERT_TRUE(SetLocalWriteTime(file_, 1975, 6, 15, 12, 0, 0));
    EXPECT_EQ(os::FileStamp(file_), -1);
    ASSERT_TRUE(SetLocalWriteTime(file_, 2108, 1, 1, 0, 0, 0));
    EXPECT_EQ(os::FileStamp(file_), -1);
    ASSERT_TRUE(SetLocalWriteTime(file_, 2110, 7, 1, 12, 0, 0));
    EXPECT_EQ(os::FileStamp(file_), -1);
}

TEST_F(FileStamps, MissingFilesAndFoldersHaveNone) {
    EXPECT_EQ(os::FileStamp(dir_ / "missing"), -1);
    EXPECT_EQ(os::FileStamp(dir_ / "missing/k307.ini"), -1);
    EXPECT_EQ(os::FileStamp(dir_.Folder()), -1);
    ASSERT_TRUE(testkit::MakeFolder(dir_ / "k307.dat"));
    EXPECT_EQ(os::FileStamp(dir_ / "k307.dat"), -1);
    EXPECT_FALSE(os::SetFileStamp(dir_ / "missing", DosStamp(2000, 1, 1, 0, 0, 0)));
}

TEST_F(FileStamps, AFreshWriteIsStampedNow) {
    ASSERT_TRUE(SetLocalWriteTime(file_, 2000, 1, 1, 0, 0, 0));
    {
        os::File f = os::File::CreateWrite(file_);
        ASSERT_TRUE(f.Write("new"));
    }
    int32_t stamp = os::FileStamp(file_);
    ASSERT_NE(stamp, -1);
    EXPECT_NE(stamp, DosStamp(2000, 1, 1, 0, 0, 0));
    os::LocalTime now = os::SystemEnvironment().Now();
    // Only the date: the clock may have passed midnight in between.
    int year = static_cast<int>((static_cast<uint32_t>(stamp) >> 25) + 1980);
    EXPECT_TRUE(year == now.year || year + 1 == now.year) << year;
}

}  // namespace
