#pragma once
#include <string>

#include "schoolyear/CalendarDate.h"

namespace quirn::test::school_year {

// A district's 2026-27 school year as it publishes it, chosen so that every day of it lies in
// the 446 days a program image reaches from the loader's and the time tests' start (Monday
// 16 March 2026), and its dated runs fit the image's 36 annual entries.
//
// First day Monday 24 August 2026 (Ignore: a normal school day). Early release every Wednesday
// from 2 September until 28 October 2026 except 30 September (RRULE with UNTIL, EXDATE).
// Holidays (CATEGORIES:No School): Labor Day 7 September, Thanksgiving Recess Thursday 26 and
// Friday 27 November (DTEND 28, exclusive), Martin Luther King Jr. Day 18 January 2027,
// Presidents' Day 15 February. Vacations: Winter Break Monday 21 December 2026 through Monday
// 4 January 2027 (DTEND 5 January, exclusive: school is back on Tuesday 5 January), Spring
// Break 22..26 March 2027. Last day of school Thursday 27 May 2027, an early release.
std::string districtIcs();

// The mapping the technician confirms for it, in the mapping file's own form.
std::string mappingText();

// The days the import reads (the school year and its summer).
inline const CalendarWindow kWindow{{2026, 8, 1}, {2027, 7, 31}};

// Events the reader gives for the window: 8 early releases and one of everything else.
inline constexpr int kEventCount = 16;
// Annual plans per group: 9 early-release days and 5 holidays; vacation plans: 2.
inline constexpr int kAnnualPlanCount = 14;
inline constexpr int kVacationCount = 2;

// Day plan numbers and the steps of the two plans every school group runs (minutes of day).
inline constexpr int kNormalPlan = 1;
inline constexpr int kEarlyReleasePlan = 2;
inline constexpr const char* kEarlyReleaseName = "Early Release";
inline constexpr int kMorningOn = 7 * 60 + 15;
inline constexpr int kMorningOff = 8 * 60;
inline constexpr int kNormalAfternoonOn = 14 * 60 + 30;
inline constexpr int kNormalAfternoonOff = 15 * 60 + 15;
inline constexpr int kEarlyAfternoonOn = 11 * 60 + 30;
inline constexpr int kEarlyAfternoonOff = 12 * 60 + 15;

// Days of the year the checks look at.
inline constexpr CalendarDate kFirstDay{2026, 8, 24};             // Ignore: Normal
inline constexpr CalendarDate kFirstEarlyRelease{2026, 9, 2};     // DTSTART of the rule
inline constexpr CalendarDate kLaborDay{2026, 9, 7};              // holiday (by category)
inline constexpr CalendarDate kEarlyRelease{2026, 9, 16};         // an occurrence
inline constexpr CalendarDate kExcludedWednesday{2026, 9, 30};    // EXDATE: Normal
inline constexpr CalendarDate kLastEarlyRelease{2026, 10, 28};    // UNTIL, inclusive
inline constexpr CalendarDate kAfterUntil{2026, 11, 4};           // past UNTIL: Normal
inline constexpr CalendarDate kThanksgivingFriday{2026, 11, 27};  // second day of a range
inline constexpr CalendarDate kWinterBreakFirst{2026, 12, 21};
inline constexpr CalendarDate kWinterBreakWeekday{2026, 12, 30};
inline constexpr CalendarDate kWinterBreakLast{2027, 1, 4};
inline constexpr CalendarDate kBackFromWinter{2027, 1, 5};  // DTEND, exclusive: Normal
inline constexpr CalendarDate kMlkDay{2027, 1, 18};
inline constexpr CalendarDate kLastDay{2027, 5, 27};          // early release
inline constexpr CalendarDate kDayAfterLastDay{2027, 5, 28};  // no event: the week plan

}  // namespace quirn::test::school_year
