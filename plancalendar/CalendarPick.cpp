#include "plancalendar/CalendarPick.h"

#include "plancalendar/CalendarMark.h"
#include "plans/Group.h"
#include "plans/PlanTypes.h"

namespace quirn::plancalendar {

std::vector<CalendarPick> picksOf(const Group& group) {
    std::vector<CalendarPick> picks;
    for (const auto& dayPlan : group.dayPlans())
        picks.push_back({CalendarPick::Kind::DayPlan, dayPlan->plan()});
    picks.push_back({CalendarPick::Kind::Holiday, kPlanHoliday});
    picks.push_back({CalendarPick::Kind::Clear, 0});
    return picks;
}

std::string pickText(const Group& group, const CalendarPick& pick) {
    switch (pick.kind) {
        case CalendarPick::Kind::DayPlan:
            return group.dayPlanTitle(pick.plan);
        case CalendarPick::Kind::Holiday:
            return "Holiday";
        case CalendarPick::Kind::Clear:
            break;
    }
    return "Clear";
}

std::vector<std::int16_t> activePlanCalls(const CalendarPick& pick) {
    if (pick.kind == CalendarPick::Kind::Clear) return {kHighlightAll};
    const int code = pick.kind == CalendarPick::Kind::Holiday ? kPlanHoliday : pick.plan;
    return {kHighlightAllOff, static_cast<std::int16_t>(code)};
}

}  // namespace quirn::plancalendar
