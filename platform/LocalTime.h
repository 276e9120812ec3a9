#pragma once
#include <ctime>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>

namespace quirn {

// Broken-down local time, with the fields numbered as people read them.
struct LocalDateTime {
    int year = 1970;
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int second = 0;   // 0..59
    int weekday = 1;  // 1 = Sunday .. 7 = Saturday (filled by toLocal)
    int yearDay = 0;  // 0..365 (filled by toLocal)
    bool isDst = false;

    friend bool operator==(const LocalDateTime& a, const LocalDateTime& b) {
        return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
               a.minute == b.minute && a.second == b.second;
    }
};

// The stored time that stands for "never": 25 December 2005 12:00:00 local time.
inline constexpr LocalDateTime kNever{2005, 12, 25, 12, 0, 0};

// Local time of t, from the C library (TZ decides the zone and daylight saving). A t beyond
// the years it can break down gives the default LocalDateTime (1 January 1970).
LocalDateTime toLocal(std::time_t t);

// What fromLocal gives for a date it cannot represent (mktime's answer).
inline constexpr std::time_t kImpossibleTime = -1;

// The time_t of a local date and time; out-of-range fields roll over as mktime does.
// Daylight saving is decided by the C library for that date. A date that rolls over past the
// years an int holds is impossible: kImpossibleTime.
std::time_t fromLocal(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
inline std::time_t fromLocal(const LocalDateTime& t) {
    return fromLocal(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// kNever as a time_t in the current time zone.
std::time_t neverTime();
bool isNever(std::time_t t);

// Local midnight of the calendar day holding t.
std::time_t startOfDay(std::time_t t);
// True when both times fall on the same local calendar date.
bool sameLocalDate(std::time_t a, std::time_t b);

// English names whatever the user's locale.
const char* monthName(int month);           // 1..12 -> "January"..; "" outside
const char* weekdayName(int weekday);       // 1..7 -> "Sunday"..; "" outside
const char* weekdayShortName(int weekday);  // "Sun".."Sat"

// strftime-like formatting with English names; supports %B %b %A %a %d %m %Y %y %H %M %S %I %p %%
// (other conversions are copied as written).
std::string formatLocal(const char* format, const LocalDateTime& t);
inline std::string formatLocal(const char* format, std::time_t t) {
    return formatLocal(format, toLocal(t));
}

// Days in a month of the proleptic Gregorian calendar.
int daysInMonth(int year, int month);

// Standard-time offset west of UTC in seconds (the C library's `timezone` after tzset).
long standardOffsetWestSeconds();

// How far local time is ahead of UTC at t, in seconds (negative west of Greenwich), daylight
// saving included: the C library's local time of t read as if it were UTC, less t. It needs no
// tm_gmtoff nor timegm, which not every C runtime has.
long utcOffsetSeconds(std::time_t t);

}  // namespace quirn

namespace quirn {

// Converts calendar dates to local midnight and back, remembering the answers: loading and
// saving a fleet meet the same few hundred dates tens of thousands of times, and each
// conversion through the C library costs a time-zone lookup.
class LocalDayCache {
  public:
    std::time_t midnight(int year, int month, int day);
    // The local date and time of t.
    LocalDateTime date(std::time_t t);

  private:
    std::map<std::tuple<int, int, int>, std::time_t> midnights_;
    std::unordered_map<std::time_t, LocalDateTime> dates_;
};

}  // namespace quirn
