#pragma once
#include <compare>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace quirn {

// A calendar date without a time or a zone: what a school calendar names. Arithmetic goes
// through a day number (days since 1970-01-01 in the proleptic Gregorian calendar), so it never
// meets daylight saving.
struct CalendarDate {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31

    auto operator<=>(const CalendarDate&) const = default;

    // Days since 1970-01-01 (negative before).
    long dayNumber() const;
    static CalendarDate fromDayNumber(long days);
    CalendarDate plusDays(long days) const { return fromDayNumber(dayNumber() + days); }
    // 1 = Sunday .. 7 = Saturday.
    int weekday() const;
    // A real date of years 1..9999.
    bool valid() const;
    // "2027-09-06".
    std::string iso() const;
    // Local midnight of the date (the C library's zone).
    std::time_t localMidnight() const;
    // The local calendar date of t.
    static CalendarDate ofLocal(std::time_t t);
    // The same day of the month n months later, clamped to the month's last day.
    CalendarDate plusMonths(int months) const;
};

// "YYYY-MM-DD" exactly, a real date; nothing otherwise.
std::optional<CalendarDate> parseIsoDate(std::string_view text);

// The days a reader keeps events for, both inclusive.
struct CalendarWindow {
    CalendarDate first;
    CalendarDate last;

    bool contains(CalendarDate d) const { return first <= d && d <= last; }
};

// How far ahead an import looks when the technician names no school year.
inline constexpr int kDefaultWindowMonths = 18;
// The widest window a technician may name: expansion of recurrences is bounded by it.
inline constexpr long kMaxWindowDays = 3 * 366;

// Today (from the clock's now, local date) through 18 months later.
CalendarWindow defaultCalendarWindow(std::time_t now);

}  // namespace quirn
