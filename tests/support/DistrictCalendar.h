#pragma once
#include <string>

namespace quirn::test {

// A school district's 2027-28 calendar as districts publish it (.ics, CR LF lines): 15
// one-day holidays (CATEGORIES:Holiday), three breaks with exclusive DTEND (Thanksgiving
// 2027-11-24..26, Winter 2027-12-20..31, Spring 2028-04-03..07; CATEGORIES:Break), an early
// release every Wednesday from 2027-09-08 until 2028-06-07 except the four Wednesdays in
// breaks (RRULE with UNTIL and EXDATE; CATEGORIES:Early Release), the first and last day of
// school, a Back to School Night at 18:00 in America/New_York, and one long folded
// description. With bom, a UTF-8 byte-order mark starts the text.
std::string districtCalendarIcs(bool bom = false);

// The mapping a technician writes for it: holidays, breaks, early release on day plan 3, the
// rest ignored.
std::string districtCalendarMapping();

// Counts the calendar holds inside 2027-08-01..2028-07-31.
inline constexpr int kDistrictHolidays = 15;
inline constexpr int kDistrictBreaks = 3;
inline constexpr int kDistrictBreakDays = 3 + 12 + 5;
inline constexpr int kDistrictEarlyReleases = 40 - 4;

}  // namespace quirn::test
