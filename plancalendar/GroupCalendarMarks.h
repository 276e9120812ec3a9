#pragma once
#include <vector>

#include "plancalendar/CalendarMark.h"
#include "plancalendar/CalendarSpan.h"

namespace quirn {
class Group;
}

namespace quirn::plancalendar {

// The marks that show a group's annual and vacation plans on the control, in the order they
// are to be added, for the days of `span` only.
//
// A vacation marks its first day 101 and its last day 102 (the control's opening and closing
// brackets) and every day between 101 as well: each of those days runs the vacation plan, so
// each shows "V", and picking the vacation plan inverts the whole range. A one-day vacation is
// one 101. Annual plans come after the vacations because a date's annual plan wins over a
// vacation covering it, and the control paints a later mark over an earlier one.
std::vector<CalendarMark> groupCalendarMarks(const Group& group, const CalendarSpan& span);

}  // namespace quirn::plancalendar
