#include <gtest/gtest.h>

#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"

namespace quirn {
namespace {

TEST(Step, TimesWrapIntoTheDay) {
    Step midnight = Step::atTime(1, 3, 1, 24, 0, kCommandOn);
    EXPECT_EQ(midnight.hour, 0);
    EXPECT_EQ(midnight.minute, 0);
    Step late = Step::atTime(1, 3, 1, 25, 30, kCommandOff);
    EXPECT_EQ(late.hour, 1);
    EXPECT_EQ(late.minute, 30);
    Step none = Step::notProgrammed(1, 3, 1);
    EXPECT_EQ(none.minuteOfDay(), -61);
    EXPECT_FALSE(none.isProgrammed());
}

TEST(DayPlan, EqualStepsAreKeptOnceAndAtMostSixteen) {
    Group g(1, 3);
    EXPECT_TRUE(g.addStep(Step::atTime(1, 3, 1, 7, 15, kCommandOn)));
    EXPECT_FALSE(g.addStep(Step::atTime(1, 3, 1, 7, 15, kCommandOn)));
    EXPECT_TRUE(g.addStep(Step::atTime(1, 3, 1, 7, 15, kCommandOff)));  // same time, other command
    EXPECT_EQ(g.findDayPlan(1)->steps().size(), 2u);
    for (int i = 0; i < 20; ++i) g.addStep(Step::atTime(1, 3, 2, 8, i, kCommandOn));
    EXPECT_EQ(g.findDayPlan(2)->steps().size(), 16u);
}

TEST(DayPlan, SortPutsNotProgrammedFirstAndRenumbers) {
    DayPlan d(1, 1, 1);
    d.addStep(Step::atTime(1, 1, 1, 15, 0, kCommandOff));
    d.addStep(Step::atTime(1, 1, 1, 7, 0, kCommandOn));
    d.addStep(Step::notProgrammed(1, 1, 1));
    d.sortSteps();
    ASSERT_EQ(d.steps().size(), 3u);
    EXPECT_FALSE(d.steps()[0].isProgrammed());
    EXPECT_EQ(d.steps()[1].hour, 7);
    EXPECT_EQ(d.steps()[2].hour, 15);
    EXPECT_EQ(d.steps()[2].position, 2);
}

TEST(Group, NewGroupDefaultsAndNames) {
    Group g(2, 14);
    EXPECT_EQ(g.name(), "Group 14");
    EXPECT_EQ(g.defaultWeek(), WeekPlan::standard());
    EXPECT_EQ(g.planName(g.defaultWeek().day(kSunday)), "None");
    EXPECT_EQ(g.planName(g.defaultWeek().day(2)), "Normal");
    EXPECT_EQ(g.planName(100), "Holiday Plan");
    EXPECT_EQ(g.dayPlanListName(100), "Holiday");
    EXPECT_EQ(g.planName(101), "Vacation Plan");
    EXPECT_EQ(g.planName(103), "Override Plan");
    EXPECT_EQ(g.planName(105), "None");
    EXPECT_EQ(g.planName(4), "Plan 4");
    EXPECT_EQ(g.planName(50), "Not Named");
    g.setDayPlanName(4, "Early Release");
    EXPECT_EQ(g.dayPlanTitle(4), "Day Plan 4 - Early Release");
    EXPECT_EQ(g.title(true), "Group 14, Group 14, Master Group 2");
    EXPECT_EQ(g.title(false), "Group 14, Group 14");
    EXPECT_EQ(g.listText(), "Group 14,14");
    g.setDefaultDay(kSaturday, 2);
    g.setDefaultDay(8, 2);  // no such weekday
    EXPECT_EQ(g.nonStandardWeekdays(), 1);
    g.clearProgramming();
    EXPECT_EQ(g.nonStandardWeekdays(), 0);
    EXPECT_TRUE(g.dayPlans().empty());
}

TEST(Group, DatedPlansReplaceOnTheSameDateOrRange) {
    Group g(1, 1);
    g.addAnnualPlan(AnnualPlan::on(1, 1, 2, 2026, 12, 24));
    g.addAnnualPlan(AnnualPlan::on(1, 1, kPlanHoliday, 2026, 12, 24));
    ASSERT_EQ(g.annualPlans().size(), 1u);
    EXPECT_EQ(g.annualPlans()[0].plan, kPlanHoliday);
    g.addVacationPlan(VacationPlan::over(1, 1, 2026, 12, 21, 2027, 1, 1));
    g.addVacationPlan(VacationPlan::over(1, 1, 2026, 12, 21, 2027, 1, 1));
    g.addVacationPlan(VacationPlan::over(1, 1, 2026, 12, 22, 2026, 12, 30));  // overlaps: kept
    EXPECT_EQ(g.vacationPlans().size(), 2u);
    EXPECT_TRUE(g.vacationCovering(fromLocal(2027, 1, 1, 23, 59, 55)));
    EXPECT_FALSE(g.vacationCovering(fromLocal(2027, 1, 2)));
}

TEST(Location, StriderCodeTypeAndListText) {
    Location l(1, 2, 7);
    l.setStriderTimeCode(12);
    EXPECT_EQ(l.striderTimeCode(), 0);
    EXPECT_STREQ(striderCodeText(12), "15 seconds");
    EXPECT_STREQ(striderCodeText(9), "90 seconds");
    l.setType("  Signal  ");
    EXPECT_EQ(l.type(), "Signal");
    l.name = "Main St";
    l.model = 2;
    EXPECT_EQ(l.listText(), "Main St, 7 ( Strider )");
    l.setValidateDisabled(true);
    EXPECT_EQ(l.listText(), "Validate Disabled: Main St, 7 ( Strider )");
    EXPECT_STREQ(modelShortName(9), "QN510");
}

TEST(Location, DisabledConnectionMakesItValidateDisabled) {
    struct Table : ConnectionStatus {
        bool isDisabled(const std::string& a) const override { return a == "127.0.0.9"; }
    } table;
    Location l(1, 1, 1);
    l.connection = "127.0.0.9";
    EXPECT_FALSE(l.validateDisabledFlag());
    EXPECT_TRUE(l.isValidateDisabled(&table));
    EXPECT_TRUE(l.validateDisabledFlag());
    EXPECT_TRUE(l.usesAddress("127.0.0.9"));
}

TEST(PlanDatabase, ModelFlagsOnlyEverSet) {
    PlanDatabase db;
    Location lr(1, 1, 1);
    lr.model = static_cast<int>(TimeSwitchModel::LR40);
    db.addLocation(lr);
    EXPECT_TRUE(db.hasImageModels());
    EXPECT_TRUE(db.hasLr40());
    EXPECT_FALSE(db.hasPagedModels());
    EXPECT_FALSE(db.hasStrider());
    db.findGroup(1, 1)->removeLocation(1);
    EXPECT_TRUE(db.hasLr40());
}

TEST(PlanDatabase, GroupsListedByNumberWithinMasterGroupsInFirstReferenceOrder) {
    PlanDatabase db;
    db.group(3, 20);
    db.group(1, 5);
    db.group(3, 2);
    auto groups = db.allGroups();
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0]->masterGroup(), 3);
    EXPECT_EQ(groups[0]->number(), 2);
    EXPECT_EQ(groups[1]->number(), 20);
    EXPECT_EQ(groups[2]->masterGroup(), 1);
    EXPECT_EQ(db.masterGroupNumbers(), (std::vector<int>{1, 3}));
}

TEST(PlanDatabase, LocationMergeKeepsOtherFields) {
    PlanDatabase db;
    Location a(1, 1, 7);
    a.name = "Old";
    a.connection = "127.0.0.5";
    db.addLocation(a);
    Location b(1, 1, 7);
    b.name = "New";
    b.setType("Signal");
    Location& merged = db.addLocation(b);
    EXPECT_EQ(merged.name, "New");
    EXPECT_EQ(merged.type(), "Signal");
    EXPECT_EQ(merged.connection, "127.0.0.5");
    EXPECT_TRUE(merged.changed);
    EXPECT_EQ(db.findGroup(1, 1)->lowestFreeLocationNumber(), 1);
}

TEST(PlanDatabase, ProgramViewFollowsModels) {
    Group g(1, 1);
    g.recomputeProgramView();
    EXPECT_TRUE(g.programView());
    Location a(1, 1, 1), b(1, 1, 2);
    a.model = 1;
    b.model = 3;
    g.addLocation(a);
    g.addLocation(b);
    g.recomputeProgramView();
    EXPECT_FALSE(g.programView());
    Location c(1, 1, 3);
    c.model = 0;
    g.addLocation(c);
    g.recomputeProgramView();  // a mix keeps the view
    EXPECT_FALSE(g.programView());
}

class PlanForDate : public ::testing::Test {
  protected:
    struct Overrides : OverrideQuery {
        bool on = false;
        bool overrideInForce(int, int, std::time_t) const override { return on; }
    } overrides;
    PlanDatabase db;
    // Wednesday 9 December 2026, 10:00.
    std::time_t now = fromLocal(2026, 12, 9, 10, 0, 0);
    void SetUp() override {
        db.group(1, 1);
        db.setOverrideQuery(&overrides);
    }
};

TEST_F(PlanForDate, RulesInOrder) {
    std::time_t thursday = fromLocal(2026, 12, 10);
    EXPECT_EQ(db.planForDate(1, 1, thursday, now), kPlanNormal);
    EXPECT_EQ(db.planForDate(1, 1, fromLocal(2026, 12, 12), now), kPlanNone);  // Saturday
    db.addVacationPlan(VacationPlan::over(1, 1, 2026, 12, 10, 2026, 12, 11));
    EXPECT_EQ(db.planForDate(1, 1, thursday, now), kPlanVacation);
    db.addAnnualPlan({1, 1, 4, thursday});
    EXPECT_EQ(db.planForDate(1, 1, thursday, now), 4);

    SpecialWeekPlan s;
    s.masterGroup = 1;
    s.group = 1;
    s.location = 0;
    for (int d = 1; d <= 7; ++d) s.days.setDay(d, 6);
    db.addSpecialWeekPlan(s);
    db.setSpecialWeekEnd(fromLocal(2026, 12, 12, 23, 59, 59));
    EXPECT_EQ(db.planForDate(1, 1, thursday, now), 6);
    // Past the coming Monday the special week no longer counts.
    EXPECT_EQ(db.planForDate(1, 1, fromLocal(2026, 12, 14, 0, 0, 20), now), kPlanNormal);

    overrides.on = true;
    EXPECT_EQ(db.planForDate(1, 1, now, now), kPlanOverride);
    EXPECT_EQ(db.planForDate(1, 1, thursday, now), 6);            // overrides are for today only
    EXPECT_EQ(db.planForDate(9, 9, thursday, now), kPlanNormal);  // no such group
}

TEST_F(PlanForDate, SpecialWeekForOneLocation) {
    SpecialWeekPlan s;
    s.masterGroup = 1;
    s.group = 1;
    s.location = 2;
    for (int d = 1; d <= 7; ++d) s.days.setDay(d, 5);
    db.addSpecialWeekPlan(s);
    db.setSpecialWeekEnd(fromLocal(2026, 12, 12, 23, 59, 59));
    EXPECT_EQ(db.effectiveWeek(1, 1, 2).day(3), 5);
    EXPECT_EQ(db.effectiveWeek(1, 1, 3).day(3), 1);
    EXPECT_EQ(db.planForDate(1, 1, fromLocal(2026, 12, 10), now), kPlanNormal);
    db.expireSpecialWeekPlans(fromLocal(2026, 12, 13));
    EXPECT_TRUE(db.specialWeekPlans().empty());
    EXPECT_TRUE(isNever(db.specialWeekEnd()));
    EXPECT_EQ(db.effectiveWeek(1, 1, 2).day(3), 1);
}

}  // namespace
}  // namespace quirn
