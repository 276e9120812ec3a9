#pragma once
#include <vector>

#include "plancalendar/CalendarMark.h"
#include "plancalendar/CalendarSpan.h"
#include "schoolyear/CalendarChanges.h"

namespace quirn {
class Group;
}

namespace quirn::plancalendar {

// The marks the group would show after the import's changes for it (annual plans replace the
// plan on their date, vacations the one with the same range), without touching the group.
std::vector<CalendarMark> marksAfterChanges(const Group& group,
                                            const std::vector<CalendarChange>& changes,
                                            const CalendarSpan& span);

}  // namespace quirn::plancalendar
