#include "plancalendar/DayEdit.h"

#include "plans/Group.h"
#include "platform/LocalTime.h"

namespace quirn::plancalendar {

namespace {

bool sameVacation(const VacationPlan& vacation, const DayRange& range) {
    return sameLocalDate(vacation.start, range.first) && sameLocalDate(vacation.end, range.last);
}

std::string isoDate(std::time_t day) {
    return formatLocal("%Y-%m-%d", day);
}

}  // namespace

std::optional<DayEdit> dayEditFor(const Group& group, const DayRange& range,
                                  const CalendarPick& pick) {
    if (!range.oneDay()) {
        for (const VacationPlan& vacation : group.vacationPlans())
            if (sameVacation(vacation, range)) return std::nullopt;
        return DayEdit{DayEdit::Kind::AddVacation, range.first, range.last, kPlanVacation};
    }
    const AnnualPlan* existing = group.annualPlanOn(range.first);
    if (pick.kind == CalendarPick::Kind::Clear) {
        if (!existing) return std::nullopt;
        return DayEdit{DayEdit::Kind::ClearDay, range.first, range.first, existing->plan};
    }
    const int plan = pick.kind == CalendarPick::Kind::Holiday ? kPlanHoliday : pick.plan;
    if (existing && existing->plan == plan) return std::nullopt;
    return DayEdit{DayEdit::Kind::SetDayPlan, range.first, range.first, plan};
}

std::string dayEditText(const Group& group, const DayEdit& edit) {
    switch (edit.kind) {
        case DayEdit::Kind::SetDayPlan:
            return isoDate(edit.first) + ": " +
                   (edit.plan == kPlanHoliday ? std::string("Holiday")
                                              : group.dayPlanTitle(edit.plan));
        case DayEdit::Kind::ClearDay:
            return isoDate(edit.first) + ": cleared";
        case DayEdit::Kind::AddVacation:
            break;
    }
    return isoDate(edit.first) + " to " + isoDate(edit.last) + ": vacation";
}

}  // namespace quirn::plancalendar
