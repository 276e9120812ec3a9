// Taking groups and locations out of the database and putting them back, and a group's
// programming as a value.
#include <gtest/gtest.h>

#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"

namespace quirn {
namespace {

TEST(GroupRemoval, RemovedGroupTakesItsSpecialWeekPlansAndComesBackInOrder) {
    PlanDatabase db;
    for (int g : {3, 5, 8}) db.addLocation(Location(2, g, 1));
    SpecialWeekPlan s;
    s.masterGroup = 2;
    s.group = 5;
    s.location = 1;
    db.addSpecialWeekPlan(s);
    Location* kept = db.findLocation(2, 5, 1);

    std::unique_ptr<Group> taken = db.removeGroup(2, 5);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(db.findGroup(2, 5), nullptr);
    EXPECT_EQ(db.specialWeekPlanOf(2, 5), nullptr);
    EXPECT_EQ(db.groupsOf(2).size(), 2u);
    EXPECT_EQ(db.removeGroup(2, 5), nullptr);
    EXPECT_EQ(db.removeGroup(7, 1), nullptr);
    // The master group stays until asked, and only empty.
    EXPECT_FALSE(db.removeMasterGroupIfEmpty(2));

    ASSERT_TRUE(db.restoreGroup(std::move(taken)));
    const std::vector<Group*> groups = db.groupsOf(2);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[1]->number(), 5);
    EXPECT_EQ(db.findLocation(2, 5, 1), kept);

    auto twin = std::make_unique<Group>(2, 5);
    EXPECT_FALSE(db.restoreGroup(std::move(twin)));
    EXPECT_FALSE(db.masterGroup(2).insertGroup(std::make_unique<Group>(3, 6)));

    for (int g : {3, 5, 8}) ASSERT_NE(db.removeGroup(2, g), nullptr);
    EXPECT_TRUE(db.removeMasterGroupIfEmpty(2));
    EXPECT_EQ(db.findMasterGroup(2), nullptr);
}

TEST(GroupRemoval, TakenLocationReturnsToItsPlace) {
    Group g(1, 4);
    for (int n : {7, 2, 9}) g.addLocation(Location(1, 4, n));
    size_t index = 99;
    std::unique_ptr<Location> taken = g.takeLocation(2, &index);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(g.findLocation(2), nullptr);
    EXPECT_EQ(g.lowestFreeLocationNumber(), 1);
    EXPECT_EQ(g.takeLocation(2), nullptr);
    Location* raw = taken.get();
    ASSERT_TRUE(g.putLocation(std::move(taken), index));
    EXPECT_EQ(g.locations()[1].get(), raw);
    EXPECT_EQ(g.findLocation(2), raw);
    EXPECT_FALSE(g.putLocation(std::make_unique<Location>(1, 4, 9), 0));
    EXPECT_FALSE(g.putLocation(std::make_unique<Location>(1, 5, 3), 0));
}

TEST(GroupRemoval, ProgrammingCopiedToAnotherGroupTakesItsNumbers) {
    Group from(1, 4);
    from.setDayPlanName(2, "Early");
    from.addStep(Step::atTime(1, 4, 2, 12, 0, kCommandOff));
    from.addStep(Step::atTime(1, 4, 2, 7, 0, kCommandOn));
    from.setDefaultDay(3, 2);
    from.addAnnualPlan(AnnualPlan::on(1, 4, 2, 2027, 5, 3));
    from.addVacationPlan(VacationPlan::over(1, 4, 2027, 4, 5, 2027, 4, 9));

    Group to(3, 8);
    to.setDayPlanName(5, "Theirs");
    to.setImageCurrent();
    to.setProgramming(from.programming());
    EXPECT_FALSE(to.isImageCurrent());
    EXPECT_TRUE(to.changed());
    EXPECT_EQ(to.findDayPlan(5), nullptr);
    ASSERT_NE(to.findDayPlan(2), nullptr);
    EXPECT_EQ(to.findDayPlan(2)->name(), "Early");
    ASSERT_EQ(to.findDayPlan(2)->steps().size(), 2u);
    EXPECT_EQ(to.findDayPlan(2)->steps()[0].hour, 12);  // the order as given
    EXPECT_EQ(to.findDayPlan(2)->steps()[0].masterGroup, 3);
    EXPECT_EQ(to.findDayPlan(2)->steps()[0].group, 8);
    EXPECT_EQ(to.findDayPlan(2)->masterGroup(), 3);
    EXPECT_EQ(to.defaultWeek().day(3), 2);
    ASSERT_EQ(to.annualPlans().size(), 1u);
    EXPECT_EQ(to.annualPlans()[0].group, 8);
    EXPECT_EQ(to.annualPlans()[0].masterGroup, 3);
    ASSERT_EQ(to.vacationPlans().size(), 1u);
    EXPECT_EQ(to.vacationPlans()[0].group, 8);
    EXPECT_EQ(to.vacationPlans()[0].masterGroup, 3);
}

TEST(GroupRemoval, ComingMondayIsAWeekOnFromAMonday) {
    // Monday 7 December 2026 and Sunday 13 December both look to Monday the 14th.
    EXPECT_EQ(PlanDatabase::comingMonday(fromLocal(2026, 12, 7, 0, 0, 0)),
              fromLocal(2026, 12, 14, 0, 0, 15));
    EXPECT_EQ(PlanDatabase::comingMonday(fromLocal(2026, 12, 13, 23, 59, 0)),
              fromLocal(2026, 12, 14, 0, 0, 15));
    EXPECT_EQ(PlanDatabase::comingMonday(fromLocal(2026, 12, 12, 12, 0, 0)),
              fromLocal(2026, 12, 14, 0, 0, 15));
}

}  // namespace
}  // namespace quirn
