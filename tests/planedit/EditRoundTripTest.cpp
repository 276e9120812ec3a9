// What the editor makes survives the station's save of all and a reload of the real files, and
// the plan check finds nothing in them.
#include <gtest/gtest.h>

#include "plans/PlanCheck.h"
#include "tests/planedit/EditorFixture.h"

namespace quirn {
namespace {

class EditRoundTrip : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    // Wednesday 9 December 2026.
    std::time_t now = fromLocal(2026, 12, 9, 10, 0, 0);
    ManualClock clock{now};
    PlanDatabase db;
    OverrideStore overrides{clock, working};
    SummerPlanStore summer{clock, working};
    PlanEditor editor{db, overrides, summer, clock, working, true};

    void expectDone(const EditOutcome& r) { ASSERT_TRUE(r.done) << r.refusal; }

    // A new agency as a technician would enter it, with every kind of record.
    void buildAgency() {
        loadDatabase(db, working, now);  // the empty files of a new station
        expectDone(editor.addGroup({1, 1}, "Oak Elementary"));
        expectDone(editor.addGroup({4, 99}, "Maple Middle"));
        LocationFields radio;
        radio.name = "Oak & 3rd St.";
        radio.type = "Crossing";
        expectDone(editor.addLocation({1, 1}, 0, radio));
        LocationFields m2m;
        m2m.name = "Oak North";
        m2m.connection = kM2MAddress;
        m2m.imsi = "310150123456789";
        m2m.model = static_cast<int>(TimeSwitchModel::MX40);
        m2m.validateDisabled = true;
        expectDone(editor.addLocation({1, 1}, 99, m2m));
        LocationFields strider;
        strider.name = "Maple Gate";
        strider.connection = "198.51.100.23";
        strider.model = static_cast<int>(TimeSwitchModel::Strider);
        strider.striderTimeCode = 9;
        expectDone(editor.addLocation({4, 99}, 7, strider));
        LocationFields lr40;
        lr40.name = "Maple East";
        lr40.model = static_cast<int>(TimeSwitchModel::LR40);
        expectDone(editor.addLocation({4, 99}, 0, lr40));

        expectDone(editor.setDayPlanSteps({1, 1}, 1, {{7, 15, 1}, {8, 5, 0}, {14, 30, 1}}));
        for (int plan = 2; plan <= kMaxStoredStepsPlan; ++plan) {
            expectDone(editor.addDayPlan({1, 1}, plan, "Bell " + std::to_string(plan)));
            std::vector<StepEntry> steps;
            for (int i = 0; i < kMaxStepsPerDayPlan; ++i) steps.push_back({i + 6, plan, i % 2});
            expectDone(editor.setDayPlanSteps({1, 1}, plan, steps));
        }
        expectDone(editor.renameDayPlan({1, 1}, 3, "Early Release"));
        expectDone(editor.setDefaultDay({1, 1}, 1, 9));
        expectDone(editor.setDefaultDay({1, 1}, 2, kPlanHoliday));
        expectDone(editor.setDefaultDay({1, 1}, 3, kPlanNone));
        expectDone(editor.setAnnualPlan({1, 1}, {2027, 5, 3}, 3));
        expectDone(editor.setAnnualPlan({1, 1}, {2026, 12, 6}, kPlanHoliday));  // this Sunday
        expectDone(editor.setAnnualPlan({1, 1}, {2027, 1, 18}, kPlanHoliday));
        expectDone(editor.addVacation({1, 1}, {2026, 12, 21}, {2027, 1, 1}));
        expectDone(editor.addVacation({1, 1}, {2026, 12, 6}, {2026, 12, 6}));
        WeekPlan special = WeekPlan::standard();
        special.setDay(5, 3);
        expectDone(editor.setSpecialWeek({1, 1}, 0, special));
        expectDone(editor.copyProgramming({1, 1}, {{4, 99}}));
        expectDone(editor.addSummerPlan("Summer School, all of Maple"));
        expectDone(editor.setSummerDates(0, {2027, 6, 21}, {2027, 7, 30}));
        expectDone(editor.setSummerLocations(0, {{4, 99, 7}, {4, 99, 1}}));
        expectDone(editor.setSummerSteps(0, {{7, 30, 8, 15}, {11, 45, 12, 30}}));
    }
};

TEST_F(EditRoundTrip, SaveAndReloadGiveTheSameRecords) {
    buildAgency();
    ASSERT_TRUE(saveDatabase(db, working, now));
    ASSERT_TRUE(summer.save());

    PlanDatabase again;
    loadDatabase(again, working, now);
    SummerPlanStore summerAgain(clock, working);
    ASSERT_TRUE(summerAgain.load());

    EXPECT_EQ(dayPlanFileText(again, now), dayPlanFileText(db, now));
    EXPECT_EQ(stepsFileText(again), stepsFileText(db));
    EXPECT_EQ(groupsFileText(again), groupsFileText(db));
    EXPECT_EQ(locationsFileText(again), locationsFileText(db));
    EXPECT_EQ(summerAgain.fileText(), summer.fileText());

    // And record by record, for what the texts would hide.
    ASSERT_EQ(again.allGroups().size(), db.allGroups().size());
    for (const Group* g : db.allGroups()) {
        const Group* r = again.findGroup(g->masterGroup(), g->number());
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->name(), g->name());
        EXPECT_EQ(r->defaultWeek(), g->defaultWeek());
        ASSERT_EQ(r->dayPlans().size(), g->dayPlans().size());
        for (const auto& d : g->dayPlans()) {
            const DayPlan* rd = r->findDayPlan(d->plan());
            ASSERT_NE(rd, nullptr) << "plan " << d->plan();
            EXPECT_EQ(r->planName(d->plan()), g->planName(d->plan()));
            EXPECT_EQ(rd->steps(), d->steps());
        }
        ASSERT_EQ(r->annualPlans().size(), g->annualPlans().size());
        for (size_t i = 0; i < g->annualPlans().size(); ++i) {
            EXPECT_EQ(r->annualPlans()[i].date, g->annualPlans()[i].date);
            EXPECT_EQ(r->annualPlans()[i].plan, g->annualPlans()[i].plan);
        }
        ASSERT_EQ(r->vacationPlans().size(), g->vacationPlans().size());
        for (size_t i = 0; i < g->vacationPlans().size(); ++i) {
            EXPECT_EQ(r->vacationPlans()[i].start, g->vacationPlans()[i].start);
            EXPECT_EQ(r->vacationPlans()[i].end, g->vacationPlans()[i].end);
        }
        ASSERT_EQ(r->locations().size(), g->locations().size());
        for (size_t i = 0; i < g->locations().size(); ++i)
            EXPECT_EQ(LocationFields::of(*r->locations()[i]),
                      LocationFields::of(*g->locations()[i]));
    }
    ASSERT_NE(again.specialWeekPlanOf(1, 1), nullptr);
    EXPECT_EQ(again.specialWeekPlanOf(1, 1)->days, db.specialWeekPlanOf(1, 1)->days);
    EXPECT_EQ(again.specialWeekEnd(), db.specialWeekEnd());
    EXPECT_EQ(again.planForDate(1, 1, fromLocal(2026, 12, 10), now), 3);  // Thursday, special
}

TEST_F(EditRoundTrip, ThePlanCheckFindsNothingInWhatTheEditorMade) {
    buildAgency();
    ASSERT_TRUE(saveDatabase(db, working, now));
    const std::optional<std::vector<PlanFinding>> findings = checkWorkingFolder(working);
    ASSERT_TRUE(findings.has_value());
    EXPECT_TRUE(findings->empty()) << findingsText(*findings);
}

}  // namespace
}  // namespace quirn
