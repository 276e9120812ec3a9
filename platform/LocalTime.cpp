#include "platform/LocalTime.h"

#include <climits>
#include <mutex>

#include "platform/Format.h"

namespace quirn {

namespace {

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
constexpr const char* kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

// struct tm counts years from 1900.
constexpr int kTmYearBase = 1900;
constexpr long long kSecondsPerDay = 86400;
constexpr long long kSecondsPerHour = 3600;
constexpr long long kSecondsPerMinute = 60;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (negative before it):
// years counted from March, so that the leap day ends each 4-, 100- and 400-year cycle.
long long daysFromCivil(long long year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    constexpr long long kDaysFromEraStartTo1970 = 719468;
    return era * 146097 + dayOfEra - kDaysFromEraStartTo1970;
}

void ensureTzset() {
    static std::once_flag once;
    std::call_once(once, [] { tzset(); });
}

}  // namespace

LocalDateTime toLocal(std::time_t t) {
    ensureTzset();
    std::tm tm{};
#ifdef _WIN32
    const bool converted = localtime_s(&tm, &t) == 0;
#else
    const bool converted = localtime_r(&t, &tm) != nullptr;
#endif
    LocalDateTime r;
    // fromLocal never makes such a time, but a time_t from elsewhere may lie outside the years
    // the C library can break down or an int can hold.
    if (!converted || tm.tm_year > INT_MAX - kTmYearBase) return r;
    r.year = tm.tm_year + kTmYearBase;
    r.month = tm.tm_mon + 1;
    r.day = tm.tm_mday;
    r.hour = tm.tm_hour;
    r.minute = tm.tm_min;
    r.second = tm.tm_sec;
    r.weekday = tm.tm_wday + 1;
    r.yearDay = tm.tm_yday;
    r.isDst = tm.tm_isdst > 0;
    return r;
}

std::time_t fromLocal(int year, int month, int day, int hour, int minute, int second) {
    ensureTzset();
    // A date read from a file may hold any int; one whose year falls outside what toLocal can
    // give back is as impossible as one mktime refuses.
    if (year < INT_MIN + kTmYearBase || month == INT_MIN) return kImpossibleTime;
    std::tm tm{};
    tm.tm_year = year - kTmYearBase;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t != kImpossibleTime && tm.tm_year > INT_MAX - kTmYearBase) return kImpossibleTime;
    return t;
}

// The time zone is fixed for the life of the process, so the constant is converted once.
std::time_t neverTime() {
    static const std::time_t never = fromLocal(kNever);
    return never;
}
bool isNever(std::time_t t) {
    return t == neverTime();
}

std::time_t startOfDay(std::time_t t) {
    LocalDateTime l = toLocal(t);
    return fromLocal(l.year, l.month, l.day);
}

bool sameLocalDate(std::time_t a, std::time_t b) {
    LocalDateTime x = toLocal(a), y = toLocal(b);
    return x.year == y.year && x.month == y.month && x.day == y.day;
}

const char* monthName(int month) {
    return month >= 1 && month <= 12 ? kMonths[month - 1] : "";
}
const char* weekdayName(int weekday) {
    return weekday >= 1 && weekday <= 7 ? kWeekdays[weekday - 1] : "";
}
const char* weekdayShortName(int weekday) {
    static constexpr const char* kShort[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    return weekday >= 1 && weekday <= 7 ? kShort[weekday - 1] : "";
}

std::string formatLocal(const char* format, const LocalDateTime& t) {
    std::string out;
    auto two = [&](int v) { out += quirn::format("%02d", v); };
    for (const char* p = format; *p; ++p) {
        if (*p != '%' || p[1] == '\0') {
            out += *p;
            continue;
        }
        switch (*++p) {
            case 'B':
                out += monthName(t.month);
                break;
            case 'b':
                out += std::string(monthName(t.month)).substr(0, 3);
                break;
            case 'A':
                out += weekdayName(t.weekday);
                break;
            case 'a':
                out += weekdayShortName(t.weekday);
                break;
            case 'd':
                two(t.day);
                break;
            case 'm':
                two(t.month);
                break;
            case 'Y':
                out += quirn::format("%d", t.year);
                break;
            case 'y':
                two(t.year % 100);
                break;
            case 'H':
                two(t.hour);
                break;
            case 'M':
                two(t.minute);
                break;
            case 'S':
                two(t.second);
                break;
            case 'I':
                two(t.hour % 12 == 0 ? 12 : t.hour % 12);
                break;
            case 'p':
                out += t.hour < 12 ? "AM" : "PM";
                break;
            case '%':
                out += '%';
                break;
            default:
                out += '%';
                out += *p;
        }
    }
    return out;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2) {
        bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return leap ? 29 : 28;
    }
    return kDays[month - 1];
}

long standardOffsetWestSeconds() {
    ensureTzset();
#ifdef _WIN32
    return _timezone;
#else
    return timezone;
#endif
}

long utcOffsetSeconds(std::time_t t) {
    const LocalDateTime local = toLocal(t);
    const long long localAsUtc =
        daysFromCivil(local.year, local.month, local.day) * kSecondsPerDay +
        local.hour * kSecondsPerHour + local.minute * kSecondsPerMinute + local.second;
    return static_cast<long>(localAsUtc - static_cast<long long>(t));
}

}  // namespace quirn

namespace quirn {

std::time_t LocalDayCache::midnight(int year, int month, int day) {
    // Out-of-range fields roll over in mktime, so they are part of the key as given.
    auto [it, inserted] = midnights_.try_emplace({year, month, day}, 0);
    if (inserted) it->second = fromLocal(year, month, day);
    return it->second;
}

LocalDateTime LocalDayCache::date(std::time_t t) {
    auto it = dates_.find(t);
    if (it != dates_.end()) return it->second;
    return dates_.emplace(t, toLocal(t)).first->second;
}

}  // namespace quirn
