#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "schoolyear/CalendarDate.h"

namespace quirn {

// One day or range of days of a school calendar as a reader found it: what the district
// published, before anyone decides what it means for the time switches.
struct CalendarEvent {
    CalendarDate first;  // first day
    CalendarDate last;   // last day, inclusive (equal to first for a one-day event)
    std::string summary;
    std::vector<std::string> categories;
    // Where it came from, for the technician: "line 12" (CSV) or "UID abc@district" (.ics,
    // "line 40" when the event has no UID).
    std::string source;

    long dayCount() const { return last.dayNumber() - first.dayNumber() + 1; }
};

// Bounds that keep a hostile or mistaken file from costing more than a school year can need.
struct CalendarReadLimits {
    size_t maxFileBytes = 4 * 1024 * 1024;
    // Events kept after expanding recurrences (a district's year has a few hundred).
    size_t maxEvents = 5000;
    // Components (VEVENTs) or CSV lines read.
    size_t maxRecords = 20000;
    // The longest single event, in days.
    long maxEventDays = 400;
};

// What a reader gives: the events inside the window (a range that reaches into the window is
// kept whole), sorted by first day then summary; or one error naming the file and what is
// wrong, with no events.
struct CalendarReadResult {
    std::vector<CalendarEvent> events;
    std::string error;

    bool ok() const { return error.empty(); }
};

}  // namespace quirn
