#include "plancalendar/ui/CalendarHost.h"

namespace quirn::plancalendar {

void showMarks(CalendarHost& host, const std::vector<CalendarMark>& marks,
               const std::vector<std::int16_t>& activePlanCalls) {
    host.eraseMarks();
    for (const CalendarMark& m : marks) host.addMark(m.year, m.month, m.day, m.code);
    for (std::int16_t code : activePlanCalls) host.setActivePlan(code);
}

}  // namespace quirn::plancalendar
