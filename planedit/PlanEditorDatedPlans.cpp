// The editor's edits of annual and vacation plans.
#include "planedit/PlanEditor.h"
#include "planedit/PlanEditorImpl.h"
#include "plans/DatabaseFiles.h"
#include "platform/Clock.h"

namespace quirn {

namespace {

// A save drops plans that ended before this week's Sunday, so such a plan is never entered.
bool droppedBySave(std::time_t lastMoment, std::time_t now) {
    return datedPlanCutOff(now) > lastMoment;
}

std::string tooOld(std::time_t date) {
    return dateText(date) + " is before this week's Sunday: plans that old are not kept.";
}

}  // namespace

EditOutcome PlanEditor::setAnnualPlan(GroupKey key, CalendarDay day, int plan) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    std::string why;
    const std::optional<std::time_t> date = planDate(day, why);
    if (!date) return EditOutcome::refused(why);
    if (FieldCheck c = impl_->checkPlanChoice(*group, plan); !c)
        return EditOutcome::refused(c.problem);
    if (droppedBySave(*date, impl_->clock.now())) return EditOutcome::refused(tooOld(*date));
    const AnnualPlan* current = group->annualPlanOn(*date);
    if (current && current->plan == plan && current->date == *date) return EditOutcome::accepted();
    EditRecord record;
    record.description = "set annual plan";
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Programming));
    if (current) group->removeAnnualPlan(AnnualPlan(*current));
    group->addAnnualPlan(
        AnnualPlan::on(key.masterGroup, key.group, plan, day.year, day.month, day.day));
    group->sortAnnualPlans();
    return impl_->commit(std::move(record));
}

EditOutcome PlanEditor::clearAnnualPlan(GroupKey key, CalendarDay day) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    std::string why;
    const std::optional<std::time_t> date = planDate(day, why);
    if (!date) return EditOutcome::refused(why);
    const AnnualPlan* current = group->annualPlanOn(*date);
    if (!current)
        return EditOutcome::refused("There is no annual plan on " + dateText(*date) + ".");
    EditRecord record;
    record.description = "clear annual plan";
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Programming));
    group->removeAnnualPlan(AnnualPlan(*current));
    return impl_->commit(std::move(record));
}

EditOutcome PlanEditor::addVacation(GroupKey key, CalendarDay start, CalendarDay end) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    std::string why;
    const std::optional<std::time_t> first = planDate(start, why);
    if (!first) return EditOutcome::refused(why);
    const std::optional<std::time_t> last = planDate(end, why);
    if (!last) return EditOutcome::refused(why);
    if (*last < *first)
        return EditOutcome::refused("The vacation ends (" + dateText(*last) +
                                    ") before it starts (" + dateText(*first) + ").");
    const VacationPlan vacation =
        VacationPlan::over(key.masterGroup, key.group, start.year, start.month, start.day, end.year,
                           end.month, end.day);
    if (droppedBySave(vacation.end, impl_->clock.now())) return EditOutcome::refused(tooOld(*last));
    for (const VacationPlan& v : group->vacationPlans())
        if (v.start == vacation.start && v.end == vacation.end)
            return EditOutcome::refused("That vacation is already there.");
    EditRecord record;
    record.description = "add vacation";
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Programming));
    group->addVacationPlan(vacation);
    return impl_->commit(std::move(record));
}

EditOutcome PlanEditor::removeVacation(GroupKey key, CalendarDay start, CalendarDay end) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    std::string why;
    if (!planDate(start, why) || !planDate(end, why)) return EditOutcome::refused(why);
    const VacationPlan vacation =
        VacationPlan::over(key.masterGroup, key.group, start.year, start.month, start.day, end.year,
                           end.month, end.day);
    bool found = false;
    for (const VacationPlan& v : group->vacationPlans())
        found = found || (v.start == vacation.start && v.end == vacation.end);
    if (!found)
        return EditOutcome::refused("There is no vacation from " + dateText(vacation.start) +
                                    " to " + dateText(vacation.end) + ".");
    EditRecord record;
    record.description = "remove vacation";
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Programming));
    group->removeVacationPlan(vacation);
    return impl_->commit(std::move(record));
}

}  // namespace quirn
