#include "testing/WallClock.h"

#include <chrono>

namespace quirn {

namespace {

constexpr long long kSecondsPerDay = 86400;
constexpr long long kSecondsPerHour = 3600;
constexpr long long kSecondsPerMinute = 60;

std::chrono::sys_days dayOf(const LocalDateTime& t) {
    using namespace std::chrono;
    return sys_days(year(t.year) / month(static_cast<unsigned>(t.month)) / 1) + days(t.day - 1);
}

}  // namespace

long long wallSeconds(const LocalDateTime& t) {
    long long days = dayOf(t).time_since_epoch().count();
    return days * kSecondsPerDay + t.hour * kSecondsPerHour + t.minute * kSecondsPerMinute +
           t.second;
}

long long wallDifference(const LocalDateTime& later, const LocalDateTime& earlier) {
    return wallSeconds(later) - wallSeconds(earlier);
}

LocalDateTime withWeekday(LocalDateTime t) {
    t.weekday = static_cast<int>(std::chrono::weekday(dayOf(t)).c_encoding()) + 1;
    return t;
}

}  // namespace quirn
