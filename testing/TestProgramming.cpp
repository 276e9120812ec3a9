#include "testing/TestProgramming.h"

#include <vector>

#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "testing/SwitchUnderTest.h"

namespace quirn::test_programming {

namespace {
constexpr int kMinutesPerHour = 60;
constexpr int kFirstStepMinute = 60;
constexpr int kStepSpacing = 15;
constexpr int kPlanShift = 2;
constexpr int kStartMinutePeriod = 240;
constexpr int kDaysPerWeek = 7;
constexpr int kRotationOffset = 2;

void addStep(Group& group, int plan, int minute, bool on) {
    group.addStep(Step::atMinuteOfDay(group.masterGroup(), group.number(), plan, minute,
                                      on ? kCommandOn : kCommandOff));
}
}  // namespace

int sixteenStepMinute(int plan, int step) {
    return kFirstStepMinute + kStepSpacing * step + kPlanShift * plan;
}

int fourStepMinute(int plan, int step) {
    return kMinutesPerHour * plan + kStepSpacing * step;
}

bool stepTurnsOn(int step) {
    return step % 2 == 0;
}

int rotationPlan(int rotation, int weekday) {
    int index = (rotation - kRotationOffset + weekday) % kDayPlans;
    if (index < 0) index += kDayPlans;
    return index + 1;
}

int startMinuteOnAt(int startMinute, int pair) {
    return (startMinute + kStartMinutePeriod * pair) % kMinutesPerDay;
}

Group& testGroup(PlanDatabase& db) {
    return db.group(SwitchUnderTest::kMasterGroup, SwitchUnderTest::kGroup);
}

Group& resetTestGroup(PlanDatabase& db) {
    Group& group = testGroup(db);
    for (const AnnualPlan& plan : std::vector<AnnualPlan>(group.annualPlans()))
        group.removeAnnualPlan(plan);
    for (const VacationPlan& plan : std::vector<VacationPlan>(group.vacationPlans()))
        group.removeVacationPlan(plan);
    group.clearProgramming();
    for (int weekday = 1; weekday <= kDaysPerWeek; ++weekday)
        group.setDefaultDay(weekday, kPlanNormal);
    return group;
}

Group& resetToSixteenStepPlans(PlanDatabase& db) {
    Group& group = resetTestGroup(db);
    for (int plan = 1; plan <= kDayPlans; ++plan)
        for (int step = 0; step < kSixteenSteps; ++step)
            addStep(group, plan, sixteenStepMinute(plan, step), stepTurnsOn(step));
    return group;
}

void addFourStepPlans(Group& group) {
    for (int plan = 1; plan <= kDayPlans; ++plan)
        for (int step = 0; step < kFourSteps; ++step)
            addStep(group, plan, fourStepMinute(plan, step), stepTurnsOn(step));
}

void setRotationWeek(Group& group, int rotation) {
    for (int weekday = 1; weekday <= kDaysPerWeek; ++weekday)
        group.setDefaultDay(weekday, rotationPlan(rotation, weekday));
}

void addStartMinutePlan(Group& group, int startMinute) {
    for (int pair = 0; pair < kStartMinutePairs; ++pair) {
        int on = startMinuteOnAt(startMinute, pair);
        addStep(group, kPlanNormal, on, true);
        addStep(group, kPlanNormal, (on + kStartMinuteOnLength) % kMinutesPerDay, false);
    }
}

Group& restoreTestGroup(PlanDatabase& db, const DatabaseTexts& texts, std::time_t now) {
    // The texts are read into a database of their own: loading them into the station's would
    // add to the plans of every group rather than replace them.
    PlanDatabase archived;
    DatabaseTexts programming;
    programming.dayPlans = texts.dayPlans;
    programming.steps = texts.steps;
    programming.groups = texts.groups;
    loadDatabaseTexts(archived, programming, now);

    Group& group = resetTestGroup(db);
    const Group* from = archived.findGroup(SwitchUnderTest::kMasterGroup, SwitchUnderTest::kGroup);
    if (from == nullptr) return group;
    group.setName(from->name());
    for (const auto& plan : from->dayPlans()) {
        group.setDayPlanName(plan->plan(), plan->name());
        for (const Step& step : plan->steps()) group.addStep(step);
    }
    for (int weekday = 1; weekday <= kDaysPerWeek; ++weekday)
        group.setDefaultDay(weekday, from->defaultWeek().day(weekday));
    for (const AnnualPlan& plan : from->annualPlans()) group.addAnnualPlan(plan);
    for (const VacationPlan& plan : from->vacationPlans()) group.addVacationPlan(plan);
    group.sortAnnualPlans();
    group.markProgrammingChanged();
    return group;
}

void addAnnualPlanOn(Group& group, int plan, std::time_t day) {
    LocalDateTime date = toLocal(day);
    group.addAnnualPlan(
        AnnualPlan::on(group.masterGroup(), group.number(), plan, date.year, date.month, date.day));
}

}  // namespace quirn::test_programming
