// The editor's edits of day plans and week plans.
#include <algorithm>

#include "planedit/PlanEditor.h"
#include "planedit/PlanEditorImpl.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {

// Uses of a day plan named in a refusal before "and N more".
constexpr size_t kUsesNamed = 3;

// Day plans 2..9 are the ones a technician adds, names and removes; plan 1 is always there.
FieldCheck checkNamedPlanNumber(int plan) {
    if (plan == kPlanNormal)
        return FieldCheck::bad(
            "Day plan 1 is the group's Normal plan: it is always there, by "
            "that name; only its steps change.");
    if (plan <= kPlanNormal || plan > kMaxStoredStepsPlan)
        return FieldCheck::bad("Day plan " + std::to_string(plan) + " is outside 2.." +
                               std::to_string(kMaxStoredStepsPlan) + ": only day plans up to " +
                               std::to_string(kMaxStoredStepsPlan) +
                               " keep their steps in the database files.");
    return FieldCheck::fine();
}

// The names the database files keep: "Plan N" is what a plan without a name line reads as,
// so a plan of that name without steps would not come back after a reload.
FieldCheck checkDayPlanName(int plan, const std::string& name) {
    if (FieldCheck n = checkRecordName(name, "day plan name"); !n) return n;
    if (name == DayPlan::defaultName(plan))
        return FieldCheck::bad("Give day plan " + std::to_string(plan) + " a name of its own: \"" +
                               name + "\" is how an unnamed plan reads.");
    return FieldCheck::fine();
}

std::vector<std::string> usesOf(const PlanDatabase& db, const Group& group, int plan) {
    std::vector<std::string> uses;
    for (int day = kSunday; day <= kSaturday; ++day)
        if (group.defaultWeek().day(day) == plan)
            uses.push_back(std::string(weekdayName(day)) + " of the default week");
    for (const SpecialWeekPlan& s : db.specialWeekPlans()) {
        if (s.masterGroup != group.masterGroup() || s.group != group.number()) continue;
        for (int day = kSunday; day <= kSaturday; ++day)
            if (s.days.day(day) == plan)
                uses.push_back(std::string(weekdayName(day)) + " of the special week plan");
    }
    for (const AnnualPlan& a : group.annualPlans())
        if (a.plan == plan) uses.push_back("the annual plan on " + dateText(a.date));
    return uses;
}

std::string listUses(const std::vector<std::string>& uses) {
    std::string text;
    for (size_t i = 0; i < uses.size() && i < kUsesNamed; ++i) text += (i ? ", " : "") + uses[i];
    if (uses.size() > kUsesNamed)
        text += " and " + std::to_string(uses.size() - kUsesNamed) + " more";
    return text;
}

}  // namespace

EditOutcome PlanEditor::addDayPlan(GroupKey key, int plan, const std::string& name) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (FieldCheck p = checkNamedPlanNumber(plan); !p) return EditOutcome::refused(p.problem);
    if (group->findDayPlan(plan))
        return EditOutcome::refused("Day plan " + std::to_string(plan) + " of " +
                                    impl_->groupText(key) + " already exists.");
    if (FieldCheck n = checkDayPlanName(plan, name); !n) return EditOutcome::refused(n.problem);
    EditRecord record;
    record.description = "add day plan";
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Programming));
    group->setDayPlanName(plan, name);
    group->markProgrammingChanged();
    return impl_->commit(std::move(record), plan);
}

EditOutcome PlanEditor::renameDayPlan(GroupKey key, int plan, const std::string& name) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (FieldCheck p = checkNamedPlanNumber(plan); !p) return EditOutcome::refused(p.problem);
    DayPlan* dayPlan = group->findDayPlan(plan);
    if (!dayPlan)
        return EditOutcome::refused("Day plan " + std::to_string(plan) + " of " +
                                    impl_->groupText(key) + " does not exist.");
    if (FieldCheck n = checkDayPlanName(plan, name); !n) return EditOutcome::refused(n.problem);
    if (dayPlan->name() == name) return EditOutcome::accepted(plan);
    EditRecord record;
    record.description = "rename day plan";
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Programming));
    group->setDayPlanName(plan, name);
    group->markProgrammingChanged();
    return impl_->commit(std::move(record), plan);
}

EditOutcome PlanEditor::removeDayPlan(GroupKey key, int plan) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (FieldCheck p = checkNamedPlanNumber(plan); !p) return EditOutcome::refused(p.problem);
    if (!group->findDayPlan(plan))
        return EditOutcome::refused("Day plan " + std::to_string(plan) + " of " +
                                    impl_->groupText(key) + " does not exist.");
    if (std::vector<std::string> uses = usesOf(impl_->db, *group, plan); !uses.empty())
        return EditOutcome::refused("Day plan " + std::to_string(plan) + " (" +
                                    group->planName(plan) + ") is still used by " + listUses(uses) +
                                    ".");
    EditRecord record;
    record.description = "remove day plan";
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Programming));
    group->deleteDayPlan(plan);
    return impl_->commit(std::move(record), plan);
}

EditOutcome PlanEditor::setDayPlanSteps(GroupKey key, int plan,
                                        const std::vector<StepEntry>& entries) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (FieldCheck p = checkUserDayPlanNumber(plan); !p) return EditOutcome::refused(p.problem);
    if (plan != kPlanNormal && !group->findDayPlan(plan))
        return EditOutcome::refused("Day plan " + std::to_string(plan) + " of " +
                                    impl_->groupText(key) + " does not exist.");
    if (FieldCheck s = checkStepEntries(entries, kMaxStepsPerDayPlan); !s)
        return EditOutcome::refused(s.problem);
    std::vector<Step> steps;
    steps.reserve(entries.size());
    for (const StepEntry& e : entries)
        steps.push_back(
            Step::atTime(key.masterGroup, key.group, plan, e.hour, e.minute, e.command));
    EditRecord record;
    record.description = "change day plan steps";
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Programming));
    DayPlan& dayPlan = group->dayPlan(plan);
    dayPlan.setSteps(steps);
    dayPlan.sortSteps();
    group->markProgrammingChanged();
    return impl_->commit(std::move(record), plan);
}

EditOutcome PlanEditor::setDefaultDay(GroupKey key, int weekday, int plan) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (weekday < kSunday || weekday > kSaturday)
        return EditOutcome::refused("Weekday " + std::to_string(weekday) +
                                    " is outside 1 (Sunday)..7 (Saturday).");
    if (FieldCheck c = impl_->checkPlanChoice(*group, plan); !c)
        return EditOutcome::refused(c.problem);
    if (group->defaultWeek().day(weekday) == plan) return EditOutcome::accepted();
    EditRecord record;
    record.description = "change default week";
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Programming));
    group->setDefaultDay(weekday, plan);
    return impl_->commit(std::move(record));
}

EditOutcome PlanEditor::setSpecialWeek(GroupKey key, int location, const WeekPlan& days) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (location != 0 && !group->findLocation(location))
        return EditOutcome::refused("Location " + std::to_string(location) + " of " +
                                    impl_->groupText(key) + " does not exist.");
    for (int day = kSunday; day <= kSaturday; ++day)
        if (FieldCheck c = impl_->checkPlanChoice(*group, days.day(day)); !c)
            return EditOutcome::refused(std::string(weekdayName(day)) + ": " + c.problem);
    EditRecord record;
    record.description = "set special week";
    record.specialWeeks =
        SpecialWeeksBefore{impl_->db.specialWeekPlans(), impl_->db.specialWeekEnd()};
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Name));
    const std::time_t now = impl_->clock.now();
    // Plans of a week gone by must not come back with the new end: they expire first, as the
    // schedule would have let them within the hour.
    impl_->db.expireSpecialWeekPlans(now);
    SpecialWeekPlan plan;
    plan.days = days;
    plan.masterGroup = key.masterGroup;
    plan.group = key.group;
    plan.location = location;
    impl_->db.addSpecialWeekPlan(plan);
    impl_->db.setSpecialWeekEnd(specialWeekEndFor(now));
    group->markProgrammingChanged();
    return impl_->commit(std::move(record));
}

EditOutcome PlanEditor::clearSpecialWeek(GroupKey key) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (!impl_->db.specialWeekPlanOf(key.masterGroup, key.group))
        return EditOutcome::refused(impl_->groupText(key) + " has no special week plan.");
    EditRecord record;
    record.description = "clear special week";
    record.specialWeeks =
        SpecialWeeksBefore{impl_->db.specialWeekPlans(), impl_->db.specialWeekEnd()};
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Name));
    impl_->db.removeSpecialWeekPlansOf(key.masterGroup, key.group);
    group->markProgrammingChanged();
    return impl_->commit(std::move(record));
}

}  // namespace quirn
