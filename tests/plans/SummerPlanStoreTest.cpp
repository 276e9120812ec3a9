#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "plans/SummerPlan.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "tests/plans/RecordingPager.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;
using test::RecordingPager;
using test::writeFile;

TEST(SummerPlanActive, RunsFromTheSundayBeforeTheStartToTheSundayAfterTheEnd) {
    SummerPlan p;
    ASSERT_TRUE(p.setStartDate(2025, 7, 1));  // a Tuesday
    ASSERT_TRUE(p.setEndDate(2025, 7, 31));   // a Thursday
    EXPECT_EQ(p.startDate, fromLocal(2025, 7, 1, 12, 0, 0));
    EXPECT_EQ(p.activeFrom(), fromLocal(2025, 6, 29, 0, 0, 10));
    EXPECT_EQ(p.activeUntil(), fromLocal(2025, 8, 3, 23, 59, 50));
    EXPECT_FALSE(p.isActive(fromLocal(2025, 6, 29, 0, 0, 9)));
    EXPECT_TRUE(p.isActive(fromLocal(2025, 6, 29, 0, 0, 10)));
    EXPECT_TRUE(p.isActive(fromLocal(2025, 7, 14, 4, 0, 0)));
    EXPECT_TRUE(p.isActive(fromLocal(2025, 8, 3, 23, 59, 50)));
    EXPECT_FALSE(p.isActive(fromLocal(2025, 8, 3, 23, 59, 51)));

    // Dates on a Sunday are their own Sundays.
    ASSERT_TRUE(p.setStartDate(2025, 6, 29));
    ASSERT_TRUE(p.setEndDate(2025, 8, 3));
    EXPECT_EQ(p.activeFrom(), fromLocal(2025, 6, 29, 0, 0, 10));
    EXPECT_EQ(p.activeUntil(), fromLocal(2025, 8, 3, 23, 59, 50));
    // A Saturday end moves on one day, across a month's end.
    ASSERT_TRUE(p.setEndDate(2025, 5, 31));
    EXPECT_EQ(p.activeUntil(), fromLocal(2025, 6, 1, 23, 59, 50));
}

TEST(SummerPlanActive, PlaceholderDatesAndDatesThatDoNotExist) {
    SummerPlan none;
    EXPECT_TRUE(isNever(none.startDate));
    EXPECT_TRUE(isNever(none.endDate));
    EXPECT_FALSE(none.isActive(fromLocal(2026, 7, 6, 4, 0, 0)));

    // Only an end date: active from the placeholder's Sunday until the end.
    SummerPlan endOnly;
    ASSERT_TRUE(endOnly.setEndDate(2026, 7, 31));
    EXPECT_TRUE(endOnly.isActive(fromLocal(2010, 1, 4, 4, 0, 0)));
    EXPECT_TRUE(endOnly.isActive(fromLocal(2026, 7, 6, 4, 0, 0)));
    EXPECT_FALSE(endOnly.isActive(fromLocal(2026, 8, 3, 4, 0, 0)));

    SummerPlan p;
    EXPECT_FALSE(p.setStartDate(2026, 2, 30));
    EXPECT_FALSE(p.setEndDate(2026, 13, 1));
    EXPECT_FALSE(p.setEndDate(2026, 0, 10));
    EXPECT_TRUE(isNever(p.startDate));
    EXPECT_TRUE(isNever(p.endDate));
}

TEST(SummerPlanRecord, LocationsAreKeptOnceAndStepsPageAsOnAndOff) {
    SummerPlan p;
    EXPECT_TRUE(p.addLocation(1, 3, 7));
    EXPECT_FALSE(p.addLocation(1, 3, 7));
    EXPECT_TRUE(p.addLocation(1, 3, 8));
    EXPECT_EQ(p.locations.size(), 2u);

    p.steps.push_back({7, 30, 8, 15});
    p.steps.push_back({14, 0, 15, 45});
    std::vector<Step> steps = p.pagingSteps(1, 3);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0], Step::atTime(1, 3, 0, 7, 30, kCommandOn));
    EXPECT_EQ(steps[1], Step::atTime(1, 3, 0, 8, 15, kCommandOff));
    EXPECT_EQ(steps[2], Step::atTime(1, 3, 0, 14, 0, kCommandOn));
    EXPECT_EQ(steps[3], Step::atTime(1, 3, 0, 15, 45, kCommandOff));
}

class SummerStoreTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    ManualClock clock{fromLocal(2026, 7, 6, 3, 59, 0)};  // a Monday
    SummerPlanStore store{clock, working};

    void loadFile(const std::string& text) {
        ASSERT_TRUE(writeFile(summerFileName(working), text));
        ASSERT_TRUE(store.load());
    }
};

TEST_F(SummerStoreTest, LoadReadsBlocksAndIgnoresWhatDoesNotBelong) {
    loadFile(
        "Step,7,0,8,0\r\n"  // before any plan
        "Location,1,1,1\r\n"
        "SummerPlan,North, East and Main\r\n"  // name keeps its commas
        "StartDate,2026,6,22\r\n"
        "EndDate,2026,8,14\r\n"
        "Location,1,3,7\r\n"
        "Location,1,3,7\r\n"    // the same location again
        "Location,1,3\r\n"      // short
        "Location,1,3,100\r\n"  // no such location number
        "Step,7,30,8,15\r\n"
        "Step,7,30,8\r\n"    // short
        "Step,25,0,8,0\r\n"  // no such time
        "Whatever,1,2,3\r\n"
        "SummerPlan,Dates missing\n"
        "Location,2,4,1\n"
        "StartDate,2026,2,30\n"  // no such date: stays unset
        "SummerPlan,End only\r"
        "EndDate,2026,7,31\r"
        "Location,2,5,2\r");
    const auto& plans = store.plans();
    ASSERT_EQ(plans.size(), 3u);

    EXPECT_EQ(plans[0].name, "North, East and Main");
    EXPECT_EQ(plans[0].startDate, fromLocal(2026, 6, 22, 12, 0, 0));
    EXPECT_EQ(plans[0].endDate, fromLocal(2026, 8, 14, 12, 0, 0));
    ASSERT_EQ(plans[0].locations.size(), 1u);
    EXPECT_TRUE(plans[0].locations[0].sameNumbers(1, 3, 7));
    EXPECT_FALSE(plans[0].locations[0].page);
    ASSERT_EQ(plans[0].steps.size(), 1u);
    EXPECT_EQ(plans[0].steps[0].onMinute, 30);
    EXPECT_EQ(plans[0].steps[0].offHour, 8);
    EXPECT_EQ(plans[0].steps[0].offMinute, 15);

    EXPECT_TRUE(isNever(plans[1].startDate));
    EXPECT_TRUE(isNever(plans[1].endDate));
    EXPECT_FALSE(store.isActive(plans[1]));
    EXPECT_TRUE(isNever(plans[2].startDate));
    EXPECT_TRUE(store.isActive(plans[2]));

    EXPECT_EQ(store.findPlanOf(2, 5, 2), &plans[2]);
    EXPECT_EQ(store.findPlanOf(1, 1, 1), nullptr);

    // A missing file leaves the store empty and is not created.
    ASSERT_TRUE(removeFile(summerFileName(working)));
    EXPECT_FALSE(store.load());
    EXPECT_TRUE(store.plans().empty());
    EXPECT_FALSE(fileExists(summerFileName(working)));
}

TEST_F(SummerStoreTest, FileRoundTripKeepsNamesDatesLocationsAndSteps) {
    const std::string text =
        "SummerPlan,North, East and Main\r\n"
        "StartDate,2026,6,22\r\n"
        "EndDate,2026,8,14\r\n"
        "Location,1,3,7\r\n"
        "Location,2,4,1\r\n"
        "Step,7,30,8,15\r\n"
        "Step,14,0,15,45\r\n"
        "SummerPlan,\r\n"
        "StartDate,2005,12,25\r\n"
        "EndDate,2026,7,31\r\n";
    loadFile(text);
    ASSERT_EQ(store.plans().size(), 2u);
    EXPECT_EQ(store.fileText(), text);
    ASSERT_TRUE(store.save());
    EXPECT_EQ(readFile(summerFileName(working)), text);

    SummerPlanStore again{clock, working};
    ASSERT_TRUE(again.load());
    ASSERT_EQ(again.plans().size(), 2u);
    EXPECT_EQ(again.plans()[0].name, "North, East and Main");
    EXPECT_EQ(again.plans()[0].locations.size(), 2u);
    EXPECT_EQ(again.plans()[0].steps.size(), 2u);
    EXPECT_EQ(again.plans()[0].endDate, store.plans()[0].endDate);
    EXPECT_TRUE(isNever(again.plans()[1].startDate));
    EXPECT_EQ(again.fileText(), text);
}

TEST_F(SummerStoreTest, MondayAtFourPagesEveryActiveLocationOncePerTick) {
    loadFile(
        "SummerPlan,First\r\nStartDate,2026,6,22\r\nEndDate,2026,8,14\r\n"
        "Location,1,3,7\r\nLocation,1,3,8\r\nLocation,1,4,1\r\nStep,7,30,8,15\r\n"
        "SummerPlan,Over\r\nStartDate,2026,5,1\r\nEndDate,2026,5,29\r\n"
        "Location,1,9,9\r\n"
        "SummerPlan,Second\r\nStartDate,2026,7,1\r\nEndDate,2026,7,31\r\n"
        "Location,2,1,1\r\nLocation,2,1,2\r\nLocation,2,1,3\r\n");
    RecordingPager pager;
    // The scheduler ticks every 10 s except on the first pass of each minute.
    auto runMinute = [&](std::time_t minuteStart) {
        for (int pass = 1; pass < 6; ++pass) {
            clock.set(minuteStart + pass * 10);
            store.tick(pager);
        }
    };
    const std::time_t monday = fromLocal(2026, 7, 6, 0, 0, 0);
    runMinute(fromLocal(2026, 7, 6, 3, 59, 0));
    EXPECT_TRUE(pager.summerPages.empty());

    // 04:00:10 flags, then one page per tick: four in the first minute, two in the next.
    runMinute(fromLocal(2026, 7, 6, 4, 0, 0));
    EXPECT_EQ(pager.summerPages.size(), 4u);
    EXPECT_EQ(store.pendingPages(), 2u);
    runMinute(fromLocal(2026, 7, 6, 4, 1, 0));
    const std::vector<std::tuple<int, int, int>> expected{{1, 3, 7}, {1, 3, 8}, {1, 4, 1},
                                                          {2, 1, 1}, {2, 1, 2}, {2, 1, 3}};
    EXPECT_EQ(pager.summerPages, expected);
    EXPECT_EQ(pager.summerPlanNames.front(), "First");
    EXPECT_EQ(pager.summerPlanNames.back(), "Second");
    EXPECT_EQ(store.pendingPages(), 0u);

    // More passes within and after the minute page nothing again.
    clock.set(monday + 4 * 3600 + 55);
    EXPECT_FALSE(store.tick(pager));
    runMinute(fromLocal(2026, 7, 6, 4, 2, 0));
    runMinute(fromLocal(2026, 7, 7, 4, 0, 0));  // Tuesday
    EXPECT_EQ(pager.summerPages.size(), 6u);

    // The next Monday pages them all again.
    runMinute(fromLocal(2026, 7, 13, 4, 0, 0));
    runMinute(fromLocal(2026, 7, 13, 4, 1, 0));
    EXPECT_EQ(pager.summerPages.size(), 12u);
}

TEST_F(SummerStoreTest, AFlagTickPagesNothingAndAnEmptyMinuteFlagsOnlyOnce) {
    loadFile("SummerPlan,One\r\nStartDate,2026,6,22\r\nEndDate,2026,8,14\r\nLocation,1,3,7\r\n");
    RecordingPager pager;
    clock.set(fromLocal(2026, 7, 6, 4, 0, 10));
    EXPECT_FALSE(store.tick(pager));
    EXPECT_EQ(store.pendingPages(), 1u);
    clock.set(fromLocal(2026, 7, 6, 4, 0, 20));
    EXPECT_TRUE(store.tick(pager));
    clock.set(fromLocal(2026, 7, 6, 4, 0, 30));
    EXPECT_FALSE(store.tick(pager));
    EXPECT_EQ(store.pendingPages(), 0u);
    EXPECT_EQ(pager.summerPages.size(), 1u);
}

TEST_F(SummerStoreTest, FileThatCannotBeReadIsNotOverwritten) {
    // A folder in the file's place can be neither read nor replaced by a file.
    ASSERT_TRUE(makeFolder(summerFileName(working)));
    EXPECT_FALSE(store.load());
    EXPECT_FALSE(store.save());
    EXPECT_TRUE(folderExists(summerFileName(working)));
}

}  // namespace
}  // namespace quirn
