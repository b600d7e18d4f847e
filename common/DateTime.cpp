// Date-time numbers from the local clock.
#include "common/DateTime.h"

namespace {
// Days from 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's
// days_from_civil).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}
constexpr long long kDaysFrom1899To1970 = 25569;
}  // namespace

double DateTimeFromLocal(const os::LocalTime& t) {
    long long days =
        DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) + kDaysFrom1899To1970;
    long long ms = ((static_cast<long long>(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
    double fraction = static_cast<double>(ms) / 86400000.0;
    // Before the epoch the OLE convention counts the days negative but the
    // time of day still forward, hence the subtraction.
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

double NowDateTime(os::Environment& env) {
    return DateTimeFromLocal(env.Now());
}
