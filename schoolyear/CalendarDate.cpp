#include "schoolyear/CalendarDate.h"

#include <cstdio>

#include "platform/Format.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;
constexpr int kMonthsPerYear = 12;
// 1970-01-01 was a Thursday (weekday 5 with 1 = Sunday).
constexpr int kEpochWeekday = 5;
constexpr int kDaysPerWeek = 7;

}  // namespace

// Days from civil (H. Hinnant's algorithm): exact for every Gregorian date, no time zone.
long CalendarDate::dayNumber() const {
    const long y = static_cast<long>(year) - (month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long mp = (month + 9) % 12;
    const long doy = (153 * mp + 2) / 5 + day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CalendarDate CalendarDate::fromDayNumber(long days) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long doe = days - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return CalendarDate{static_cast<int>(y), m, d};
}

int CalendarDate::weekday() const {
    const long n = dayNumber();
    const long w = ((n % kDaysPerWeek) + kDaysPerWeek + kEpochWeekday - 1) % kDaysPerWeek;
    return static_cast<int>(w) + 1;
}

bool CalendarDate::valid() const {
    return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= kMonthsPerYear &&
           day >= 1 && day <= daysInMonth(year, month);
}

std::string CalendarDate::iso() const {
    return format("%04d-%02d-%02d", year, month, day);
}

std::time_t CalendarDate::localMidnight() const {
    return fromLocal(year, month, day);
}

CalendarDate CalendarDate::ofLocal(std::time_t t) {
    const LocalDateTime local = toLocal(t);
    return CalendarDate{local.year, local.month, local.day};
}

CalendarDate CalendarDate::plusMonths(int months) const {
    const int index = year * kMonthsPerYear + (month - 1) + months;
    CalendarDate result{index / kMonthsPerYear, index % kMonthsPerYear + 1, day};
    const int last = daysInMonth(result.year, result.month);
    if (result.day > last) result.day = last;
    return result;
}

std::optional<CalendarDate> parseIsoDate(std::string_view text) {
    constexpr size_t kIsoLength = 10;
    if (text.size() != kIsoLength || text[4] != '-' || text[7] != '-') return std::nullopt;
    auto digits = [&](size_t from, size_t count) -> int {
        int value = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9') return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const CalendarDate date{digits(0, 4), digits(5, 2), digits(8, 2)};
    if (!date.valid()) return std::nullopt;
    return date;
}

CalendarWindow defaultCalendarWindow(std::time_t now) {
    const CalendarDate today = CalendarDate::ofLocal(now);
    return CalendarWindow{today, today.plusMonths(kDefaultWindowMonths)};
}

}  // namespace quirn
