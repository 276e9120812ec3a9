#include "plancalendar/import/ImportPreview.h"

#include "plancalendar/GroupCalendarMarks.h"
#include "plans/Group.h"

namespace quirn::plancalendar {

std::vector<CalendarMark> marksAfterChanges(const Group& group,
                                            const std::vector<CalendarChange>& changes,
                                            const CalendarSpan& span) {
    // A scratch group holding only the dated plans: the marks come from nothing else.
    Group after(group.masterGroup(), group.number());
    for (const VacationPlan& vacation : group.vacationPlans()) after.addVacationPlan(vacation);
    for (const AnnualPlan& plan : group.annualPlans()) after.addAnnualPlan(plan);
    const GroupRef self{group.masterGroup(), group.number()};
    for (const CalendarChange& change : changes) {
        if (change.group != self) continue;
        if (change.kind == CalendarChangeKind::Vacation)
            after.addVacationPlan(VacationPlan::over(
                self.masterGroup, self.group, change.first.year, change.first.month,
                change.first.day, change.last.year, change.last.month, change.last.day));
        else
            after.addAnnualPlan(AnnualPlan::on(self.masterGroup, self.group, change.plan,
                                               change.first.year, change.first.month,
                                               change.first.day));
    }
    return groupCalendarMarks(after, span);
}

}  // namespace quirn::plancalendar
