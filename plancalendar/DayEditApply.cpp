#include "plancalendar/DayEditApply.h"

#include "planedit/PlanEditor.h"
#include "platform/LocalTime.h"

namespace quirn::plancalendar {

namespace {

CalendarDay calendarDay(std::time_t t) {
    const LocalDateTime local = toLocal(t);
    return {local.year, local.month, local.day};
}

}  // namespace

EditOutcome applyDayEdit(PlanEditor& editor, GroupKey group, const DayEdit& edit) {
    switch (edit.kind) {
        case DayEdit::Kind::SetDayPlan:
            return editor.setAnnualPlan(group, calendarDay(edit.first), edit.plan);
        case DayEdit::Kind::ClearDay:
            return editor.clearAnnualPlan(group, calendarDay(edit.first));
        case DayEdit::Kind::AddVacation:
            break;
    }
    return editor.addVacation(group, calendarDay(edit.first), calendarDay(edit.last));
}

}  // namespace quirn::plancalendar
