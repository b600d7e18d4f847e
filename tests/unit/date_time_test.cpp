#include <gtest/gtest.h>

#include "common/DateTime.h"

namespace {

os::LocalTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    os::LocalTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    t.millisecond = ms;
    return t;
}

TEST(DateTimeFromLocal, KnownDays) {
    // Day numbers of the OLE Automation calendar, counted independently.
    struct {
        int y, mo, d;
        double days;
    } cases[] = {
        {1899, 12, 30, 0},   {1899, 12, 31, 1},     {1900, 1, 1, 2},      {1900, 3, 1, 61},
        {1980, 1, 1, 29221}, {1999, 12, 31, 36525}, {2000, 1, 1, 36526},  {2024, 2, 29, 45351},
        {2024, 3, 1, 45352}, {2026, 12, 8, 46364},  {2038, 1, 19, 50424}, {2107, 12, 31, 75971},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateTimeFromLocal(At(c.y, c.mo, c.d)), c.days) << c.y << '-' << c.mo << '-' << c.d;
    }
}

TEST(DateTimeFromLocal, EveryDayFollowsTheDayBefore) {
    // A plain calendar walk from the epoch, as the oracle for 300 years.
    auto daysIn = [](int y, int m) {
        static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        return m == 2 && leap ? 29 : kDays[m - 1];
    };
    int y = 1899, m = 12, d = 30;
    long expected = 0;
    int mismatches = 0;
    while (y < 2200) {
        if (DateTimeFromLocal(At(y, m, d)) != static_cast<double>(expected) && ++mismatches <= 5) {
            ADD_FAILURE() << y << '-' << m << '-' << d << " is not day " << expected;
        }
        ++expected;
        if (++d > daysIn(y, m)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(DateTimeFromLocal, TimeOfDayIsTheFractionToTheMillisecond) {
    EXPECT_DOUBLE_EQ(DateTimeFromLocal(At(2026, 12, 8, 12, 0, 0, 500)), 46364.0 + 43200.5 / 86400.0);
    EXPECT_DOUBLE_EQ(DateTimeFromLocal(At(2026, 12, 8, 12)), 46364.5);
    EXPECT_DOUBLE_EQ(DateTimeFromLocal(At(2000, 1, 1, 6)), 36526.25);
    EXPECT_DOUBLE_EQ(DateTimeFromLocal(At(2000, 1, 1, 18)), 36526.75);
    EXPECT_DOUBLE_EQ(DateTimeFromLocal(At(2000, 1, 1, 0, 0, 0, 1)), 36526.0 + 0.001 / 86400.0);
    EXPECT_DOUBLE_EQ(DateTimeFromLocal(At(2000, 1, 1, 23, 59, 59, 999)), 36526.0 + 86399.999 / 86400.0);
    EXPECT_DOUBLE_EQ(DateTimeFromLocal(At(1899, 12, 30, 18)), 0.75);
    EXPECT_LT(DateTimeFromLocal(At(2000, 1, 1, 23, 59, 59, 999)), DateTimeFromLocal(At(2000, 1, 2)));
}

TEST(DateTimeFromLocal, MillisecondsOrderMoments) {
    // The watcher compares time stamps: one millisecond later must be larger.
    double before = DateTimeFromLocal(At(2107, 12, 31, 23, 59, 59, 998));
    double after = DateTimeFromLocal(At(2107, 12, 31, 23, 59, 59, 999));
    EXPECT_LT(before, after);
}

TEST(DateTimeFromLocal, BeforeTheEpochTheTimeOfDayStillCountsForward) {
    // OLE: -1.25 is 29 December 1899, 06:00.
    EXPECT_DOUBLE_EQ(DateTimeFromLocal(At(1899, 12, 29, 6)), -1.25);
    EXPECT_DOUBLE_EQ(DateTimeFromLocal(At(1899, 12, 29)), -1.0);
    EXPECT_DOUBLE_EQ(DateTimeFromLocal(At(1899, 12, 28, 12)), -2.5);
}

class FixedClock final : public os::Environment {
public:
    explicit FixedClock(os::LocalTime t) : t_(t) {}
    os::LocalTime Now() override { return t_; }
    std::vector<os::TopWindow> TopLevelWindows() override { return {}; }
    os::Path ProgramPath() override { return {}; }

private:
    os::LocalTime t_;
};

TEST(NowDateTime, ReadsTheEnvironmentsLocalClock) {
    FixedClock clock(At(2026, 12, 8, 12, 0, 0, 500));
    EXPECT_DOUBLE_EQ(NowDateTime(clock), 46364.0 + 43200.5 / 86400.0);
}

TEST(NowDateTime, SystemClockIsInTheRangeOfTheFileStamps) {
    double now = NowDateTime(os::SystemEnvironment());
    EXPECT_GE(now, 29221.0);  // 1980-01-01
    EXPECT_LT(now, 75972.0);  // 2108-01-01
}

}  // namespace
