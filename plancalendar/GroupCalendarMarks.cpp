#include "plancalendar/GroupCalendarMarks.h"

#include <algorithm>

#include "plans/Group.h"
#include "platform/LocalTime.h"

namespace quirn::plancalendar {

namespace {

CalendarMark markOn(std::time_t day, int code) {
    const LocalDateTime t = toLocal(day);
    return {t.year, t.month, t.day, static_cast<std::int16_t>(code)};
}

std::time_t nextDay(std::time_t day) {
    const LocalDateTime t = toLocal(day);
    return fromLocal(t.year, t.month, t.day + 1);
}

void addVacation(const VacationPlan& vacation, const CalendarSpan& span,
                 std::vector<CalendarMark>& marks) {
    const std::time_t first = startOfDay(vacation.start);
    const std::time_t last = startOfDay(vacation.end);
    if (last < first) return;
    const std::time_t from = std::max(first, span.first);
    const std::time_t to = std::min(last, span.last);
    // Each step moves a whole local day forward, so the walk ends within the shown days.
    for (std::time_t day = from; day <= to; day = nextDay(day)) {
        const bool lastDay = day == last && last != first;
        marks.push_back(markOn(day, lastDay ? kMarkVacationEnd : kMarkVacation));
    }
}

}  // namespace

std::vector<CalendarMark> groupCalendarMarks(const Group& group, const CalendarSpan& span) {
    std::vector<CalendarMark> marks;
    for (const VacationPlan& vacation : group.vacationPlans()) addVacation(vacation, span, marks);
    for (const AnnualPlan& plan : group.annualPlans()) {
        const std::time_t day = startOfDay(plan.date);
        if (span.contains(day)) marks.push_back(markOn(day, plan.plan));
    }
    return marks;
}

}  // namespace quirn::plancalendar
