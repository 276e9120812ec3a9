#pragma once
#include <cstdint>
#include <ctime>

#include "platform/LocalTime.h"

namespace quirn::sim {

// The simulated time switch keeps its own idea of local time, as the real ones do: a zone
// (whole hours west of UTC) and a daylight-saving rule (start month and week, end month and
// week, changes at 02:00), both set by the station's messages. The calendar arithmetic is our
// own so that the switch does not silently share the station's C library view of local time.

inline constexpr int kSecondsPerMinute = 60;
inline constexpr int kSecondsPerHour = 3600;
inline constexpr int kSecondsPerDay = 86400;
inline constexpr int kMinutesPerDay = 1440;

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t daysFromCivil(int year, int month, int day);
// Weekday of a day number, 1 = Sunday .. 7 = Saturday.
int weekdayOfDay(int64_t dayNumber);
// Day of month of the n-th Sunday (n 1..5; 5 or more gives the last one) of a month.
int nthSunday(int year, int month, int n);
// Local fields of a count of seconds taken as a wall-clock time (no zone applied).
LocalDateTime fieldsOf(int64_t wallSeconds);
// Seconds of wall-clock fields (no zone applied); out-of-range fields roll over.
int64_t wallSecondsOf(const LocalDateTime& t);

struct ZoneRule {
    int hoursWest = 0;         // standard time = UTC - hoursWest
    bool observesDst = false;  // without it the months and weeks are not used
    int startMonth = 3;        // daylight time from the start week's Sunday 02:00 standard
    int startWeek = 2;
    int endMonth = 11;  // to the end week's Sunday 02:00 daylight time
    int endWeek = 1;

    // The rule every station sends: 2nd Sunday of March to 1st Sunday of November.
    static ZoneRule northAmerican(int hoursWest);

    bool inDaylightTime(std::time_t utc) const;
    LocalDateTime toLocal(std::time_t utc) const;
    // The UTC time of local fields; in the hour skipped in spring the standard reading wins.
    std::time_t fromLocal(const LocalDateTime& local) const;

    friend bool operator==(const ZoneRule&, const ZoneRule&) = default;
};

}  // namespace quirn::sim
