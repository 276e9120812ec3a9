#include "schoolyear/CalendarApply.h"

#include <set>

#include "plans/PlanDatabase.h"
#include "plans/PlanTypes.h"
#include "platform/Format.h"

namespace quirn {

namespace {

// The years the time switches keep (their clocks count two-digit years from 2000).
constexpr int kFirstStationYear = 2000;
constexpr int kLastStationYear = 2099;

bool inStationYears(CalendarDate d) {
    return d.valid() && d.year >= kFirstStationYear && d.year <= kLastStationYear;
}

std::string changeProblem(const PlanDatabase& database, const CalendarChange& change) {
    const Group* group = database.findGroup(change.group.masterGroup, change.group.group);
    if (!group) return "does not exist";
    if (!inStationYears(change.first) || !inStationYears(change.last)) {
        return format("%s..%s lies outside the years %d..%d", change.first.iso().c_str(),
                      change.last.iso().c_str(), kFirstStationYear, kLastStationYear);
    }
    if (change.last < change.first) {
        return change.first.iso() + ".." + change.last.iso() + " ends before it starts";
    }
    if (change.kind == CalendarChangeKind::Vacation) {
        if (change.plan != kPlanVacation) return format("a vacation with plan %d", change.plan);
        return "";
    }
    if (change.last != change.first) {
        return "an annual plan over more than one day (" + change.first.iso() + ".." +
               change.last.iso() + ")";
    }
    if (change.plan == kPlanHoliday) return "";
    if (change.plan < kPlanNormal || change.plan > kMaxUserDayPlan) {
        return format("day plan %d on %s is neither a holiday nor a day plan 1..%d", change.plan,
                      change.first.iso().c_str(), kMaxUserDayPlan);
    }
    if (!group->findDayPlan(change.plan)) {
        return format("has no day plan %d (for %s)", change.plan, change.first.iso().c_str());
    }
    return "";
}

}  // namespace

std::string calendarChangesRefusal(const PlanDatabase& database,
                                   const std::vector<CalendarChange>& changes) {
    for (const auto& change : changes) {
        const std::string problem = changeProblem(database, change);
        if (!problem.empty()) {
            return format("group %d:%d ", change.group.masterGroup, change.group.group) + problem +
                   " <- " + change.sourceEvent;
        }
    }
    return "";
}

CalendarApplyResult applyCalendarChanges(PlanDatabase& database,
                                         const std::vector<CalendarChange>& changes) {
    CalendarApplyResult result;
    result.refusal = calendarChangesRefusal(database, changes);
    if (!result.ok()) return result;
    for (const auto& change : changes) {
        const int mg = change.group.masterGroup;
        const int g = change.group.group;
        if (change.kind == CalendarChangeKind::Vacation) {
            database.addVacationPlan(
                VacationPlan::over(mg, g, change.first.year, change.first.month, change.first.day,
                                   change.last.year, change.last.month, change.last.day));
        } else {
            database.addAnnualPlan(AnnualPlan::on(mg, g, change.plan, change.first.year,
                                                  change.first.month, change.first.day));
        }
        ++result.applied;
    }
    std::set<GroupRef> touched;
    for (const auto& change : changes) touched.insert(change.group);
    for (const GroupRef ref : touched) {
        if (Group* group = database.findGroup(ref.masterGroup, ref.group)) group->sortAnnualPlans();
    }
    return result;
}

}  // namespace quirn
