// The editor's edits of the summer school plans (saved with the station's save of all).
#include <algorithm>

#include "planedit/PlanEditor.h"
#include "planedit/PlanEditorImpl.h"
#include "plans/SummerPlanStore.h"

namespace quirn {

namespace {

constexpr int kHoursPerDay = 24;
constexpr int kMinutesPerHour = 60;

bool validTime(int hour, int minute) {
    return hour >= 0 && hour < kHoursPerDay && minute >= 0 && minute < kMinutesPerHour;
}

}  // namespace

// The plan at an index, or nullptr with the refusal set.
static SummerPlan* summerPlanAt(SummerPlanStore& store, int index, EditOutcome& refusal) {
    std::vector<SummerPlan>& plans = store.editablePlans();
    if (index < 0 || static_cast<size_t>(index) >= plans.size()) {
        refusal = EditOutcome::refused("There is no summer plan " + std::to_string(index) + ".");
        return nullptr;
    }
    return &plans[static_cast<size_t>(index)];
}

EditOutcome PlanEditor::addSummerPlan(const std::string& name) {
    if (FieldCheck n = checkSummerPlanName(name); !n) return EditOutcome::refused(n.problem);
    EditRecord record;
    record.description = "add summer plan";
    record.summerPlans = impl_->summer.plans();
    SummerPlan plan;
    plan.name = name;
    impl_->summer.editablePlans().push_back(std::move(plan));
    return impl_->commit(std::move(record), static_cast<int>(impl_->summer.plans().size()) - 1);
}

EditOutcome PlanEditor::renameSummerPlan(int index, const std::string& name) {
    EditOutcome refusal;
    SummerPlan* plan = summerPlanAt(impl_->summer, index, refusal);
    if (!plan) return refusal;
    if (FieldCheck n = checkSummerPlanName(name); !n) return EditOutcome::refused(n.problem);
    if (plan->name == name) return EditOutcome::accepted(index);
    EditRecord record;
    record.description = "rename summer plan";
    record.summerPlans = impl_->summer.plans();
    plan->name = name;
    return impl_->commit(std::move(record), index);
}

EditOutcome PlanEditor::setSummerDates(int index, CalendarDay start, CalendarDay end) {
    EditOutcome refusal;
    SummerPlan* plan = summerPlanAt(impl_->summer, index, refusal);
    if (!plan) return refusal;
    std::string why;
    const std::optional<std::time_t> first = planDate(start, why);
    if (!first) return EditOutcome::refused(why);
    const std::optional<std::time_t> last = planDate(end, why);
    if (!last) return EditOutcome::refused(why);
    if (*last < *first)
        return EditOutcome::refused("The summer plan ends (" + dateText(*last) +
                                    ") before it starts (" + dateText(*first) + ").");
    EditRecord record;
    record.description = "change summer dates";
    record.summerPlans = impl_->summer.plans();
    plan->setStartDate(start.year, start.month, start.day);
    plan->setEndDate(end.year, end.month, end.day);
    return impl_->commit(std::move(record), index);
}

EditOutcome PlanEditor::setSummerLocations(int index, const std::vector<LocationKey>& locations) {
    EditOutcome refusal;
    SummerPlan* plan = summerPlanAt(impl_->summer, index, refusal);
    if (!plan) return refusal;
    std::vector<LocationKey> sorted = locations;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
        return EditOutcome::refused("A location is named twice.");
    for (const LocationKey& l : locations)
        if (!impl_->db.findLocation(l.masterGroup, l.group, l.location))
            return EditOutcome::refused("Location " + std::to_string(l.location) + " of " +
                                        impl_->groupText({l.masterGroup, l.group}) +
                                        " does not exist.");
    EditRecord record;
    record.description = "change summer locations";
    record.summerPlans = impl_->summer.plans();
    std::vector<SummerLocation> chosen;
    for (const LocationKey& l : locations) {
        SummerLocation s{l.masterGroup, l.group, l.location, false};
        // A location still waiting for this week's page keeps waiting.
        for (const SummerLocation& was : plan->locations)
            if (was.sameNumbers(l.masterGroup, l.group, l.location)) s.page = was.page;
        chosen.push_back(s);
    }
    plan->locations = std::move(chosen);
    return impl_->commit(std::move(record), index);
}

EditOutcome PlanEditor::setSummerSteps(int index, const std::vector<SummerPlanStep>& steps) {
    EditOutcome refusal;
    SummerPlan* plan = summerPlanAt(impl_->summer, index, refusal);
    if (!plan) return refusal;
    // Each pair becomes an ON and an OFF step of the week the time switch runs, which holds
    // as many steps as a day plan.
    if (steps.size() > kMaxSummerSteps)
        return EditOutcome::refused("A summer plan holds at most " +
                                    std::to_string(kMaxSummerSteps) + " ON/OFF pairs.");
    for (const SummerPlanStep& s : steps)
        if (!validTime(s.onHour, s.onMinute) || !validTime(s.offHour, s.offMinute))
            return EditOutcome::refused("A step time must lie within 00:00..23:59.");
    EditRecord record;
    record.description = "change summer steps";
    record.summerPlans = impl_->summer.plans();
    plan->steps = steps;
    return impl_->commit(std::move(record), index);
}

EditOutcome PlanEditor::removeSummerPlan(int index) {
    EditOutcome refusal;
    if (!summerPlanAt(impl_->summer, index, refusal)) return refusal;
    EditRecord record;
    record.description = "remove summer plan";
    record.summerPlans = impl_->summer.plans();
    std::vector<SummerPlan>& plans = impl_->summer.editablePlans();
    plans.erase(plans.begin() + index);
    return impl_->commit(std::move(record), index);
}

}  // namespace quirn
