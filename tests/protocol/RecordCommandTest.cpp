#include <gtest/gtest.h>

#include <string>

#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/MessageFrame.h"
#include "protocol/RecordCommands.h"

namespace quirn {
namespace {

constexpr bool kNoMasterGroups = false;
constexpr bool kMasterGroups = true;

// Group 1 of master group 1 with the worked example's school day; location 2 in it.
class RecordCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        Group& g = db.group(1, 1);
        g.addStep(Step::atTime(1, 1, 1, 8, 30, kCommandOff));  // added out of order
        g.addStep(Step::atTime(1, 1, 1, 7, 0, kCommandOn));
        g.addStep(Step::atTime(1, 1, 2, 9, 0, kCommandOn));  // a plan no day uses
        db.addLocation(Location(1, 1, 2));
    }
    Group& group() { return *db.findGroup(1, 1); }
    Location& location() { return *db.findLocation(1, 1, 2); }

    PlanDatabase db;
};

TEST_F(RecordCommands, DefaultWeekOfTheWorkedExample) {
    std::time_t monday = fromLocal(2026, 3, 16, 12, 0, 0);
    EXPECT_EQ(defaultWeekCommand(group(), location(), monday, kNoMasterGroups).text(),
              "@D0102AH0AiU#33=>");
    EXPECT_EQ(groupSteps(group()).size(), 3u);
}

TEST_F(RecordCommands, DefaultWeekIsEmptyOnAnAnnualOrVacationDay) {
    std::time_t holiday = fromLocal(2026, 3, 17);
    group().addAnnualPlan(AnnualPlan{1, 1, kPlanHoliday, holiday});
    EXPECT_EQ(defaultWeekCommand(group(), 2, holiday + 3600, kNoMasterGroups).text(),
              pagedMessage("@", 'D', 1, 2, ""));
    EXPECT_EQ(defaultWeekCommand(group(), 2, fromLocal(2026, 3, 18, 9), kNoMasterGroups).text(),
              "@D0102AH0AiU#33=>");
    group().addVacationPlan(VacationPlan::over(1, 1, 2026, 7, 1, 2026, 7, 31));
    EXPECT_TRUE(dateInAnnualPlan(group(), fromLocal(2026, 7, 31, 18)));
    EXPECT_FALSE(dateInAnnualPlan(group(), fromLocal(2026, 8, 1, 0, 0, 1)));
}

TEST_F(RecordCommands, LocationWeekNeedsARecordedSpecialWeek) {
    SpecialWeekPlan plan;
    plan.masterGroup = 1, plan.group = 1, plan.location = 2;
    plan.days = WeekPlan::standard();
    plan.days.setDay(3, 2);  // Tuesday runs plan 2
    db.addSpecialWeekPlan(plan);
    db.setSpecialWeekEnd(neverTime());
    EXPECT_EQ(locationWeekCommand(db, group(), location(), kNoMasterGroups).text(), "");
    db.setSpecialWeekEnd(fromLocal(2026, 3, 21, 23, 59, 50));
    auto w = locationWeekCommand(db, group(), location(), kNoMasterGroups);
    EXPECT_TRUE(w.found());
    EXPECT_EQ(w.text(), pagedMessage("@", 'W', 1, 2, "LH0LiUEJ0"));
    // A plan for the whole group is not this location's own.
    Location other(1, 1, 3);
    db.addLocation(other);
    EXPECT_FALSE(locationWeekCommand(db, group(), *db.findLocation(1, 1, 3), false).found());
}

TEST_F(RecordCommands, EveryoneMeansEveryMasterGroupOnRecord) {
    db.group(4, 7);
    db.group(2, 1);
    ManualClock clock(fromLocal(2026, 3, 15, 7, 30, 0));
    const std::string data = "eG3F7U0F32B1";
    EXPECT_EQ(timeDateToEveryone(db, clock, kMasterGroups).text(),
              pagedMessage("@", 'Z', 0, 0, data) + pagedMessage("@1", 'Z', 0, 0, data) +
                  pagedMessage("@3", 'Z', 0, 0, data));
    EXPECT_EQ(timeDateToEveryone(db, clock, kNoMasterGroups).text(), "@Z0000eG3F7U0F32B1#35>>");
    EXPECT_EQ(timeToEveryone(db, clock, kNoMasterGroups).text(),
              pagedMessage("@", 'T', 0, 0, "1HU"));
}

TEST_F(RecordCommands, LocationAndGroupAddressing) {
    ManualClock clock(fromLocal(2026, 3, 16, 7, 30, 0));
    db.addLocation(Location(3, 12, 45));
    Location& far = *db.findLocation(3, 12, 45);
    far.setStriderTimeCode(6);
    EXPECT_EQ(timeCommand(far, clock, kMasterGroups).text(), pagedMessage("@2", 'T', 12, 0, "2HU"));
    EXPECT_EQ(timeDateCommand(far, clock, kMasterGroups).text(),
              pagedMessage("@2", 'Z', 12, 45, "eG3G7U0F32B1"));
    EXPECT_EQ(readCommand(far, kMasterGroups).text(), "X@2R1245o");
    EXPECT_EQ(readCommand(group(), kNoMasterGroups).text(), "X@R0100o");
    EXPECT_EQ(delayTimeCommand(far, kMasterGroups).text(), pagedMessage("@2", 'E', 12, 45, "6"));
    EXPECT_EQ(manualCommand(group(), false, kNoMasterGroups).text(),
              pagedMessage("@", 'M', 1, 0, "0"));
    EXPECT_EQ(logRequestCommand(far, 3, false).text(), pagedMessage("@", 'B', 12, 45, "3"));
    EXPECT_EQ(logClearCommand(far, false).text(), pagedMessage("@", 'C', 12, 45, ""));
    EXPECT_EQ(mx40ReadCommand(far).bytes(), std::string("C78\x03\x12\x45", 6));
    EXPECT_EQ(lr40ReadCommand(far).bytes(), std::string("C79\x03\x12\x45", 6));
    EXPECT_EQ(bcdRelayCommand(group(), 1).bytes(), std::string("$M\x01\x01\x00\x03", 6));
    EXPECT_EQ(bcdTimeCommand(far, clock).bytes().substr(0, 5), std::string("$T\x03\x12\x45", 5));
}

}  // namespace
}  // namespace quirn
