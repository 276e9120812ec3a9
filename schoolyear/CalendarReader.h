#pragma once
#include <string>
#include <string_view>

#include "schoolyear/CalendarEvent.h"

namespace quirn {

// Reads an iCalendar text (.ics) through libical. All-day events (DTSTART;VALUE=DATE) cover
// DTSTART up to the day before DTEND (DTEND is exclusive), or DTSTART alone without DTEND.
// A timed event falls on the date written in its DTSTART (the district's own wall-clock date
// in its TZID, or floating); a UTC time (…Z) falls on the station's local date of that
// instant. A timed event that ends at midnight ends the day before. Recurring events
// (RRULE, RDATE, EXDATE) are expanded by libical within the window; rules that repeat more
// often than daily, or by hour, minute or second, are refused. A UTF-8 byte-order mark and
// folded lines are accepted. fileName only names the file in the error.
CalendarReadResult readIcsText(std::string_view text, const std::string& fileName,
                               const CalendarWindow& window, const CalendarReadLimits& limits = {});

// Reads the plain school-calendar CSV (docs/school-calendar-csv.md): one event per line,
// "DATE[..DATE],Kind[,Note]" with ISO dates, '#' comment lines and blank lines ignored.
CalendarReadResult readCalendarCsvText(std::string_view text, const std::string& fileName,
                                       const CalendarWindow& window,
                                       const CalendarReadLimits& limits = {});

// Reads a file: an iCalendar text when it begins with "BEGIN:VCALENDAR" (after a byte-order
// mark and blank space), otherwise the CSV. A file larger than the limit, unreadable, or
// holding NUL bytes gives an error without being parsed.
CalendarReadResult readCalendarFile(const std::string& path, const CalendarWindow& window,
                                    const CalendarReadLimits& limits = {});

}  // namespace quirn
