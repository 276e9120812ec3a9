#include <gtest/gtest.h>

#include <string>

#include "plans/DatabaseFiles.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/PlanTypes.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "tests/plans/RecordingPager.h"
#include "tests/support/FileTimes.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;
using test::RecordingPager;
using test::writeFile;

class OverrideStoreTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    // Monday 7 December 2026, the scheduler's reload minute.
    std::time_t today = fromLocal(2026, 12, 7, 23, 58, 0);
    ManualClock clock{today};
    OverrideStore store{clock, working};

    // Writes override.csv as if it had been written at `when`.
    void writeOverride(const std::string& text, std::time_t when) {
        ASSERT_TRUE(writeFile(overrideFileName(working), text));
        ASSERT_TRUE(test::setModifiedTime(overrideFileName(working), when));
    }
    void writeToday(const std::string& text) { writeOverride(text, today - 3600); }
};

TEST_F(OverrideStoreTest, FileOfAnotherDayIsDeletedAndLeavesTheStoreEmpty) {
    writeToday("Step,1,5,0,600,1\r\nEnabled,1,5,0\r\n");
    ASSERT_EQ(store.load().plans, 1u);

    // Written yesterday evening: the plans of today's earlier load go, and the file with them.
    writeOverride("Step,1,5,0,600,1\r\nEnabled,1,5,0\r\n", fromLocal(2026, 12, 6, 18, 0, 0));
    OverrideLoadResult r = store.load();
    EXPECT_TRUE(r.staleFile);
    EXPECT_TRUE(r.fileDeleted);
    EXPECT_FALSE(r.fileRead);
    EXPECT_TRUE(store.plans().empty());
    EXPECT_FALSE(fileExists(overrideFileName(working)));

    // The same day and month of last year is another day too.
    writeOverride("Step,1,5,0,600,1\r\n", fromLocal(2025, 12, 7, 12, 0, 0));
    EXPECT_TRUE(store.load().staleFile);
    EXPECT_TRUE(store.plans().empty());
}

TEST_F(OverrideStoreTest, MissingFileIsCreatedEmptyOnlyByTheStationLoad) {
    OverrideLoadResult readOnly = store.load(OverrideLoadMode::ReadOnly);
    EXPECT_FALSE(readOnly.fileRead);
    EXPECT_FALSE(fileExists(overrideFileName(working)));

    OverrideLoadResult station = store.load();
    EXPECT_FALSE(station.fileRead);
    EXPECT_TRUE(fileExists(overrideFileName(working)));
    EXPECT_EQ(readFile(overrideFileName(working)), "");
    EXPECT_TRUE(store.plans().empty());
}

TEST_F(OverrideStoreTest, FolderInPlaceOfTheFileReadsAsNoPlans) {
    writeToday("Step,1,5,0,600,1\r\nEnabled,1,5,0\r\n");
    ASSERT_EQ(store.load().plans, 1u);
    ASSERT_TRUE(removeFile(overrideFileName(working)));
    ASSERT_TRUE(makeFolder(overrideFileName(working)));
    OverrideLoadResult r = store.load();
    EXPECT_FALSE(r.fileRead);
    EXPECT_TRUE(store.plans().empty());
    EXPECT_TRUE(folderExists(overrideFileName(working)));
}

TEST_F(OverrideStoreTest, ReadOnlyLoadIgnoresButKeepsAFileOfAnotherDay) {
    const std::string text = "Step,1,5,0,600,1\r\nEnabled,1,5,0\r\n";
    writeOverride(text, fromLocal(2026, 12, 6, 18, 0, 0));
    OverrideLoadResult r = store.load(OverrideLoadMode::ReadOnly);
    EXPECT_TRUE(r.staleFile);
    EXPECT_FALSE(r.fileDeleted);
    EXPECT_TRUE(store.plans().empty());
    EXPECT_EQ(readFile(overrideFileName(working)), text);

    // Today's file is read the same way as by the station.
    writeToday(text);
    r = store.load(OverrideLoadMode::ReadOnly);
    EXPECT_TRUE(r.fileRead);
    ASSERT_NE(store.findInForce(1, 5), nullptr);
    EXPECT_EQ(readFile(overrideFileName(working)), text);
}

TEST_F(OverrideStoreTest, LinesBuildOnePlanPerGroupWithItsState) {
    writeToday(
        "Step,1,5,3,480,1\r\n"   // plan of group 5 created with location 3
        "Step,1,5,7,1500,0\r\n"  // joins it (time wraps to 1:00); location 7 is not taken
        "Step,1,6,0,600,1\n"     // group 6: no "Enabled" line
        "Step,2,5,0,720,1\r"     // master group 2, group 5 is another plan
        "Enabled,1,5,9\r\n"      // the location of the line does not matter
        "Enabled,2,5,0\r\n"
        "Enabled,1,9,0\r\n"      // names no plan
        "Step,1,5,0,600\r\n"     // short: ignored
        "Step,1,5,0,-61,1\r\n"   // no time: ignored
        "Step,1,5,0,600,2\r\n"   // unknown command: ignored
        "Step,11,5,0,600,1\r\n"  // master group out of range
        "step,1,5,0,600,1\r\n"   // keyword compared exactly
        "Steps,1,5,0,600,1\r\n");
    OverrideLoadResult r = store.load();
    EXPECT_TRUE(r.fileRead);
    ASSERT_EQ(r.plans, 3u);

    const OverridePlan* five = store.find(1, 5);
    ASSERT_NE(five, nullptr);
    EXPECT_EQ(five->location, 3);
    EXPECT_EQ(five->state, OverridePlan::kEnabled);
    EXPECT_TRUE(isNever(five->lastSent));
    ASSERT_EQ(five->steps.size(), 2u);
    // Sorted by time: 1:00 OFF before 8:00 ON.
    EXPECT_EQ(five->steps[0].hour, 1);
    EXPECT_EQ(five->steps[0].minute, 0);
    EXPECT_EQ(five->steps[0].command, kCommandOff);
    EXPECT_EQ(five->steps[1].hour, 8);
    EXPECT_EQ(five->steps[1].command, kCommandOn);
    EXPECT_EQ(five->steps[1].plan, OverridePlan::kStepPlan);

    const OverridePlan* six = store.find(1, 6);
    ASSERT_NE(six, nullptr);
    EXPECT_EQ(six->state, OverridePlan::kInactive);
    EXPECT_EQ(store.findInForce(1, 6), nullptr);
    EXPECT_NE(store.findInForce(2, 5), nullptr);
    EXPECT_EQ(store.find(1, 9), nullptr);
    EXPECT_EQ(store.plans()[0].group, 5);  // insertion order
    EXPECT_EQ(store.plans()[1].group, 6);
}

std::string stepLines(int masterGroup, int group, int count) {
    std::string text;
    // Times run backwards so that the sort has to move every step.
    for (int i = 0; i < count; ++i)
        text += "Step," + std::to_string(masterGroup) + "," + std::to_string(group) + ",0," +
                std::to_string(1400 - i * 10) + "," + std::to_string(i % 2) + "\r\n";
    return text;
}

TEST_F(OverrideStoreTest, ThirtyStepsSortIntoPositionsAndFurtherStepsAreDropped) {
    writeToday(stepLines(1, 5, 30) + stepLines(1, 6, 33) + "Enabled,1,6,0\r\n");
    OverrideLoadResult r = store.load();

    const OverridePlan* full = store.find(1, 5);
    ASSERT_NE(full, nullptr);
    ASSERT_EQ(full->steps.size(), OverridePlan::kMaxSteps);
    for (size_t i = 0; i < full->steps.size(); ++i) {
        EXPECT_EQ(full->steps[i].position, static_cast<int>(i));
        if (i > 0) {
            EXPECT_LT(full->steps[i - 1].minuteOfDay(), full->steps[i].minuteOfDay());
        }
    }
    EXPECT_EQ(full->steps.front().minuteOfDay(), 1400 - 29 * 10);
    EXPECT_EQ(full->steps.back().minuteOfDay(), 1400);

    // The first thirty lines are kept; the three after them are reported, not stored.
    const OverridePlan* over = store.find(1, 6);
    ASSERT_NE(over, nullptr);
    ASSERT_EQ(over->steps.size(), OverridePlan::kMaxSteps);
    EXPECT_EQ(over->steps.front().minuteOfDay(), 1400 - 29 * 10);
    EXPECT_EQ(over->state, OverridePlan::kEnabled);
    EXPECT_EQ(r.droppedSteps, 3u);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_NE(r.messages[0].find("group 6"), std::string::npos);
    EXPECT_NE(r.messages[0].find("3 steps"), std::string::npos);
}

TEST_F(OverrideStoreTest, SortKeepsStepsOfTheSameMinuteInTheirOrder) {
    OverridePlan plan;
    for (int command : {1, 0, 1}) ASSERT_TRUE(plan.addStep(Step::atTime(1, 5, 0, 7, 30, command)));
    ASSERT_TRUE(plan.addStep(Step::atTime(1, 5, 0, 6, 0, 0)));
    plan.sortSteps();
    EXPECT_EQ(plan.steps[0].hour, 6);
    EXPECT_EQ(plan.steps[1].command, 1);
    EXPECT_EQ(plan.steps[2].command, 0);
    EXPECT_EQ(plan.steps[3].command, 1);
    EXPECT_EQ(plan.steps[3].position, 3);
    while (plan.steps.size() < OverridePlan::kMaxSteps) ASSERT_TRUE(plan.addStep(plan.steps[0]));
    EXPECT_FALSE(plan.addStep(plan.steps[0]));
    EXPECT_EQ(plan.steps.size(), OverridePlan::kMaxSteps);
}

TEST_F(OverrideStoreTest, TickPagesEnabledPlansOnceAndNeverOnTheLoadTick) {
    writeToday(
        "Step,1,5,0,480,1\r\nStep,1,5,0,900,0\r\nEnabled,1,5,0\r\n"
        "Step,1,6,0,600,1\r\n"  // inactive
        "Step,1,7,0,660,1\r\nEnabled,1,7,0\r\n");
    RecordingPager pager;
    // The scheduler loads on the first pass of 23:58 and ticks on the later passes.
    store.load();
    for (int pass = 1; pass < 6; ++pass) {
        clock.set(today + pass * 10);
        store.tick(pager);
    }
    ASSERT_EQ(pager.overrides.size(), 2u);
    EXPECT_EQ(pager.overrides[0].group, 5);
    EXPECT_EQ(pager.overrides[1].group, 7);
    ASSERT_EQ(pager.overrides[0].steps.size(), 2u);
    EXPECT_EQ(pager.overrides[0].steps[0].hour, 8);
    ASSERT_EQ(pager.batchSizes.size(), 1u);
    EXPECT_EQ(pager.batchSizes[0], 2u);

    const OverridePlan* five = store.find(1, 5);
    EXPECT_EQ(five->state, OverridePlan::kPaged);
    EXPECT_EQ(five->lastSent, today + 10);
    EXPECT_EQ(store.find(1, 6)->state, OverridePlan::kInactive);

    // Minutes and hours later nothing is paged again until the next load.
    clock.set(today + 3600);
    EXPECT_EQ(store.tick(pager), 0u);
    EXPECT_EQ(pager.overrides.size(), 2u);
    EXPECT_EQ(pager.batchSizes.size(), 1u);

    // Reloading today's file enables them again for one more page.
    clock.set(today + 30);
    store.load();
    clock.set(today + 40);
    EXPECT_EQ(store.tick(pager), 2u);
    EXPECT_EQ(store.tick(pager), 0u);
}

TEST_F(OverrideStoreTest, BatchStopsAfterThePlanThatPassesTheLimit) {
    std::string text;
    for (int g = 1; g <= 5; ++g)
        text +=
            "Step,1," + std::to_string(g) + ",0,600,1\r\nEnabled,1," + std::to_string(g) + ",0\r\n";
    writeToday(text);
    store.load();
    RecordingPager pager;
    pager.bytesPerOverride = 1000;  // 1000, 2000, 3000 stay within; 4000 passes the limit

    clock.set(today + 10);
    EXPECT_EQ(store.tick(pager), 4u);
    EXPECT_EQ(store.find(1, 5)->state, OverridePlan::kEnabled);
    clock.set(today + 20);
    EXPECT_EQ(store.tick(pager), 1u);
    EXPECT_EQ(store.find(1, 5)->state, OverridePlan::kPaged);
    ASSERT_EQ(pager.batchSizes.size(), 2u);
    EXPECT_EQ(pager.batchSizes[0], 4u);
    EXPECT_EQ(pager.batchSizes[1], 1u);
    ASSERT_EQ(pager.overrides.size(), 5u);
    EXPECT_EQ(pager.overrides[4].group, 5);
}

TEST_F(OverrideStoreTest, PlanForDateShowsTheOverrideOnlyOnTheDayOfItsFile) {
    writeToday("Step,1,5,0,600,1\r\nEnabled,1,5,0\r\nStep,1,6,0,600,1\r\n");
    store.load();
    PlanDatabase db;
    db.group(1, 5);
    db.group(1, 6);
    db.setOverrideQuery(&store);

    const std::time_t now = today + 30;
    EXPECT_EQ(db.planForDate(1, 5, now, now), kPlanOverride);
    EXPECT_NE(db.planForDate(1, 6, now, now), kPlanOverride);  // not enabled
    const std::time_t tomorrow = now + 24 * 3600;
    EXPECT_NE(db.planForDate(1, 5, tomorrow, now), kPlanOverride);

    // The file is deleted at 23:59 but the plans stay; the next day they are not in force.
    removeFile(overrideFileName(working));
    EXPECT_EQ(db.planForDate(1, 5, now + 60, now + 60), kPlanOverride);
    EXPECT_NE(db.planForDate(1, 5, tomorrow, tomorrow), kPlanOverride);
    EXPECT_NE(store.findInForce(1, 5), nullptr);
}

TEST_F(OverrideStoreTest, FileRoundTripKeepsPlansStepsAndStates) {
    const std::string text =
        "Step,1,5,3,480,1\r\n"
        "Step,1,5,3,900,0\r\n"
        "Enabled,1,5,3\r\n"
        "Step,2,6,0,0,1\r\n"
        "Step,2,6,0,1439,0\r\n";
    writeToday(text);
    store.load();
    EXPECT_EQ(store.fileText(), text);

    // A paged plan is written as enabled, so a reload pages it again.
    RecordingPager pager;
    clock.set(today + 10);
    store.tick(pager);
    ASSERT_EQ(store.find(1, 5)->state, OverridePlan::kPaged);
    ASSERT_TRUE(store.save());
    EXPECT_EQ(readFile(overrideFileName(working)), text);
    // The save is dated by the computer's clock; the reload judges the day by the test's.
    ASSERT_TRUE(test::setModifiedTime(overrideFileName(working), clock.now()));

    OverrideStore again{clock, working};
    OverrideLoadResult r = again.load();
    EXPECT_TRUE(r.fileRead);
    ASSERT_EQ(again.plans().size(), 2u);
    EXPECT_EQ(again.fileText(), text);
    EXPECT_EQ(again.find(1, 5)->state, OverridePlan::kEnabled);
}

}  // namespace
}  // namespace quirn
