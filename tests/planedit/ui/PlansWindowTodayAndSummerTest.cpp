// Today's override and the summer plans in the plans window: what the technician enters lands
// in override.csv (which the scheduler pages from) and in the summer plans the station saves.
#include <QCheckBox>
#include <QDateEdit>
#include <QListWidget>
#include <QTableWidget>

#include "platform/LocalTime.h"
#include "tests/planedit/ui/PlansWindowFixture.h"

namespace quirn::test {
namespace {

using PlansWindowTodayAndSummerTest = PlansWindowFixture;

TEST_F(PlansWindowTodayAndSummerTest, TodaysOverrideIsWrittenForTheSchedulerAndCleared) {
    PlansWindow window(plansServices());
    window.show();
    clickRow(window, kMasterGroup, kGroup);
    showTab(window, "Today's override");
    EXPECT_TRUE(child<QCheckBox>(window, "overrideEnabled")->isChecked());
    choose(window, "overrideStepsCommand", "ON");
    typeInto(window, "overrideStepsTime", "17:00");
    choose(window, "overrideStepsCommand", "OFF");
    typeInto(window, "overrideStepsTime", "21:30");
    const OverridePlan* plan = overrides.find(kMasterGroup, kGroup);
    ASSERT_NE(plan, nullptr) << text(window, "overrideStepsProblem");
    EXPECT_TRUE(plan->inForce());
    ASSERT_EQ(plan->steps.size(), 2u);
    EXPECT_EQ(plan->steps[1].minuteOfDay(), 21 * 60 + 30);
    EXPECT_EQ(readFile(working.file("override.csv")),
              "Step,1,5,0,1020,1\r\nStep,1,5,0,1290,0\r\nEnabled,1,5,0\r\n");
    EXPECT_EQ(child<QTableWidget>(window, "overrideStepsTable")->rowCount(), 2);

    press(window, "clearOverride");
    EXPECT_EQ(overrides.find(kMasterGroup, kGroup), nullptr);
    EXPECT_EQ(child<QTableWidget>(window, "overrideStepsTable")->rowCount(), 0);
}

TEST_F(PlansWindowTodayAndSummerTest, ASummerPlanTakesItsDatesALocationAndItsTimes) {
    PlansWindow window(plansServices());
    window.show();
    clickRow(window, kMasterGroup, kGroup, 1);
    showTab(window, "Summer plans");
    typeInto(window, "newSummerName", "Summer school, Elm");
    ASSERT_EQ(summer.plans().size(), 1u) << text(window, "summerProblem");
    EXPECT_EQ(summer.plans()[0].name, "Summer school, Elm");
    EXPECT_EQ(child<QListWidget>(window, "summerPlans")->currentRow(), 0);

    child<QDateEdit>(window, "summerStart")->setDate(QDate(2026, 7, 1));
    child<QDateEdit>(window, "summerEnd")->setDate(QDate(2026, 7, 31));
    press(window, "setSummerDates");
    EXPECT_EQ(summer.plans()[0].startDate, fromLocal(2026, 7, 1, 12, 0, 0))
        << text(window, "summerProblem");
    press(window, "addSummerLocation");
    ASSERT_EQ(summer.plans()[0].locations.size(), 1u) << text(window, "summerProblem");
    EXPECT_EQ(child<QListWidget>(window, "summerLocations")->item(0)->text(), "1:5:1  Elm School");

    typeInto(window, "summerOn", "08:00", false);
    typeInto(window, "summerOff", "8:45", false);
    press(window, "addSummerStep");
    ASSERT_EQ(summer.plans()[0].steps.size(), 1u) << text(window, "summerProblem");
    EXPECT_EQ(summer.plans()[0].steps[0].offMinute, 45);

    // An end before the start is refused with the reason, and the dates stay.
    child<QDateEdit>(window, "summerEnd")->setDate(QDate(2026, 6, 1));
    press(window, "setSummerDates");
    EXPECT_FALSE(text(window, "summerProblem").empty());
    EXPECT_EQ(summer.plans()[0].endDate, fromLocal(2026, 7, 31, 12, 0, 0));

    press(window, "save");
    SummerPlanStore reread(clock, working);
    ASSERT_TRUE(reread.load());
    ASSERT_EQ(reread.plans().size(), 1u);
    EXPECT_EQ(reread.plans()[0].name, "Summer school, Elm");
    EXPECT_TRUE(reread.plans()[0].hasLocation(kMasterGroup, kGroup, 1));
}

}  // namespace
}  // namespace quirn::test
