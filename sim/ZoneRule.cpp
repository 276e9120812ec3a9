#include "sim/ZoneRule.h"

namespace quirn::sim {

namespace {

constexpr int kDaysPerWeek = 7;
constexpr int kChangeHour = 2;
constexpr int kUnixEpochWeekday = 5;  // 1970-01-01 was a Thursday
constexpr int kMonthsPerYear = 12;
constexpr int kMaxWeeksInMonth = 5;

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

int lastDayOfMonth(int year, int month) {
    return static_cast<int>(daysFromCivil(year, month + 1, 1) - daysFromCivil(year, month, 1));
}

}  // namespace

// Civil-date arithmetic after the well-known era-based algorithm (400-year cycles).
int64_t daysFromCivil(int year, int month, int day) {
    int64_t y = year;
    int64_t m = month;
    y += floorDiv(m - 1, kMonthsPerYear);
    m = (m - 1) - floorDiv(m - 1, kMonthsPerYear) * kMonthsPerYear + 1;
    y -= m <= 2;
    const int64_t era = floorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int weekdayOfDay(int64_t dayNumber) {
    int64_t w = (dayNumber + kUnixEpochWeekday - 1) % kDaysPerWeek;
    if (w < 0) w += kDaysPerWeek;
    return static_cast<int>(w) + 1;
}

int nthSunday(int year, int month, int n) {
    int64_t first = daysFromCivil(year, month, 1);
    int firstSunday = 1 + (kDaysPerWeek - (weekdayOfDay(first) - 1)) % kDaysPerWeek;
    int weeks = n < 1 ? 1 : (n > kMaxWeeksInMonth ? kMaxWeeksInMonth : n);
    int day = firstSunday + (weeks - 1) * kDaysPerWeek;
    while (day > lastDayOfMonth(year, month)) day -= kDaysPerWeek;
    return day;
}

LocalDateTime fieldsOf(int64_t wallSeconds) {
    int64_t days = floorDiv(wallSeconds, kSecondsPerDay);
    int64_t rest = wallSeconds - days * kSecondsPerDay;
    const int64_t z = days + 719468;
    const int64_t era = floorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    LocalDateTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    t.hour = static_cast<int>(rest / kSecondsPerHour);
    t.minute = static_cast<int>(rest % kSecondsPerHour / kSecondsPerMinute);
    t.second = static_cast<int>(rest % kSecondsPerMinute);
    t.weekday = weekdayOfDay(days);
    t.yearDay = static_cast<int>(days - daysFromCivil(t.year, 1, 1));
    return t;
}

int64_t wallSecondsOf(const LocalDateTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * kSecondsPerDay +
           int64_t{t.hour} * kSecondsPerHour + int64_t{t.minute} * kSecondsPerMinute + t.second;
}

ZoneRule ZoneRule::northAmerican(int hoursWest) {
    ZoneRule z;
    z.hoursWest = hoursWest;
    z.observesDst = true;
    return z;
}

bool ZoneRule::inDaylightTime(std::time_t utc) const {
    if (!observesDst) return false;
    int64_t standard = static_cast<int64_t>(utc) - int64_t{hoursWest} * kSecondsPerHour;
    int year = fieldsOf(standard).year;
    int64_t start =
        daysFromCivil(year, startMonth, nthSunday(year, startMonth, startWeek)) * kSecondsPerDay +
        kChangeHour * kSecondsPerHour;
    // The end is 02:00 daylight time, which is 01:00 standard time.
    int64_t end =
        daysFromCivil(year, endMonth, nthSunday(year, endMonth, endWeek)) * kSecondsPerDay +
        (kChangeHour - 1) * kSecondsPerHour;
    if (start <= end) return standard >= start && standard < end;
    return standard >= start || standard < end;  // a rule that spans the new year
}

LocalDateTime ZoneRule::toLocal(std::time_t utc) const {
    bool dst = inDaylightTime(utc);
    int64_t wall = static_cast<int64_t>(utc) - int64_t{hoursWest} * kSecondsPerHour +
                   (dst ? kSecondsPerHour : 0);
    LocalDateTime t = fieldsOf(wall);
    t.isDst = dst;
    return t;
}

std::time_t ZoneRule::fromLocal(const LocalDateTime& local) const {
    int64_t standardUtc = wallSecondsOf(local) + int64_t{hoursWest} * kSecondsPerHour;
    auto asDaylight = static_cast<std::time_t>(standardUtc - kSecondsPerHour);
    // A daylight reading that is itself in daylight time is the right one; this also takes
    // the first of the two readings of the hour repeated in autumn.
    if (inDaylightTime(asDaylight)) return asDaylight;
    return static_cast<std::time_t>(standardUtc);
}

}  // namespace quirn::sim
