#include "plancalendar/CalendarSpan.h"

#include "platform/LocalTime.h"

namespace quirn::plancalendar {

CalendarSpan shownSpan(std::time_t today) {
    const LocalDateTime now = toLocal(today);
    // Day 0 of the month after the last shown one is that month's last day (mktime rolls over).
    return {fromLocal(now.year, now.month, 1), fromLocal(now.year, now.month + kShownMonths, 0)};
}

}  // namespace quirn::plancalendar
