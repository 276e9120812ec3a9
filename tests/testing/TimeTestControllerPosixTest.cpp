#include <gtest/gtest.h>

#include "ops/LogWriter.h"
#include "plans/Archive.h"
#include "testing/TimeTestController.h"
#include "tests/testing/TimeTestBench.h"

namespace quirn::test {
namespace {

constexpr long long kMinuteMs = 60LL * 1000;

// Answers every question of the controller as told, and keeps them.
class AnsweringView final : public TimeTestView {
  public:
    bool askYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back(text);
        EXPECT_EQ(caption, "Quirn Radio Software");
        return answer;
    }
    bool answer = true;
    std::vector<std::string> questions;
};

// The testing window's logic over the bench: the lines it shows, the pickers and buttons, the
// test log and "Save Lines".
class TimeTestControllerTest : public TimeTestBench {
  protected:
    void SetUp() override {
        attachSwitch(sim::SimModel::MX40);
        device->setLogSink([this](const std::string& line) { switchLog.push_back(line); });
        controller = std::make_unique<TimeTestController>(TimeTestWindowServices{
            clock, working, timers, *handler, db, download,
            [this] { saveDatabase(db, working, clock.now()); }, [this] { return type; }});
        controller->setView(&view);
        controller->open();
    }
    // The date flip then runs one midnight only: the last day before the switch's clock ends.
    void pickLastDateFlipDay() {
        TimeTestController::Pickers p = controller->pickers();
        p.year = 2037;
        p.month = 12;
        p.day = 31;
        controller->setPickers(p);
    }
    bool switchLogged(const std::string& text) const {
        for (const std::string& line : switchLog)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (const TimeTestLine& line : controller->lines()) out.push_back(line.shown());
        return out;
    }

    AttachedType type = AttachedType::Mx40;
    AnsweringView view;
    std::vector<std::string> switchLog;
    std::unique_ptr<TimeTestController> controller;
};

TEST_F(TimeTestControllerTest, LinesCarryTheirTimeAndCancelEndsTheRunningTest) {
    ASSERT_TRUE(controller->startTest(TestKind::Step16));
    advance(1500);
    controller->close();
    EXPECT_FALSE(controller->runner().running());
    EXPECT_EQ(shown().front(),
              "Monday, March 16, 2026, 09:15.00: Opened Dialog.  No testing started.");
    EXPECT_EQ(shown()[1],
              "Monday, March 16, 2026, 09:15.00: Starting Sixteen Step Test.  Should run about 3 "
              "hours.");
    EXPECT_EQ(shown().back(), "Monday, March 16, 2026, 09:15.01: Testing Dialog exited.");
    // Nothing more happens once it is closed.
    const std::size_t count = controller->lines().size();
    EXPECT_FALSE(runUntil([] { return false; }, kMinuteMs));
    EXPECT_EQ(controller->lines().size(), count);
}

TEST_F(TimeTestControllerTest, PickersStartAtFiftySecondsAndPresetsSetTheClockPickers) {
    TimeTestController::Pickers p = controller->pickers();
    EXPECT_EQ(p.second, 10);
    EXPECT_EQ(TimeTestController::secondItems()[static_cast<std::size_t>(p.second)], "50");
    EXPECT_EQ((std::vector<int>{p.year, p.month, p.day}), (std::vector<int>{2026, 3, 16}));
    EXPECT_EQ(TimeTestController::masterGroupItems().front(), "MG 1");
    EXPECT_EQ(TimeTestController::groupItems()[0], "All Groups");
    EXPECT_EQ(TimeTestController::groupItems()[99], "Group 99");
    EXPECT_EQ(TimeTestController::locationItems()[0], "All Locations");
    EXPECT_EQ(TimeTestController::locationItems()[7], "Location 7");
    EXPECT_EQ(TimeTestController::hourItems()[9], "09");
    struct Row {
        TimeTestController::Preset preset;
        std::vector<int> clock;
    };
    for (const Row& row : {Row{TimeTestController::Preset::At0159, {1, 59, 45}},
                           Row{TimeTestController::Preset::At0259, {2, 59, 45}},
                           Row{TimeTestController::Preset::At2359, {23, 59, 45}}}) {
        controller->preset(row.preset);
        const TimeTestController::Pickers& q = controller->pickers();
        EXPECT_EQ((std::vector<int>{q.hour, q.minute, q.second * 5}), row.clock);
    }
    // The date picker keeps to the years a switch's clock can hold.
    p.year = 2040;
    p.day = 31;
    p.month = 2;
    controller->setPickers(p);
    EXPECT_EQ((std::vector<int>{controller->pickers().year, controller->pickers().month,
                                controller->pickers().day}),
              (std::vector<int>{2037, 2, 28}));
}

TEST_F(TimeTestControllerTest, SendTimeWithSecondIndexElevenSendsFiftyFiveSeconds) {
    TimeTestController::Pickers p = controller->pickers();
    p.hour = 1;
    p.minute = 59;
    p.second = 11;
    p.location = 1;
    controller->setPickers(p);
    controller->sendTime();
    EXPECT_EQ(controller->lines().back().text, "Send data to clock.");
    ASSERT_TRUE(
        runUntil([&] { return switchLogged("time set to 2026-03-16 01:59:55"); }, kMinuteMs));

    controller->manual(true);
    EXPECT_EQ(controller->lines().back().text, "Manual ON command.");
    ASSERT_TRUE(runUntil([&] { return device->relayCode() == 3; }, kMinuteMs));
    controller->manual(false);
    EXPECT_EQ(controller->lines().back().text, "Manual OFF command.");
    ASSERT_TRUE(runUntil([&] { return device->relayCode() == 0; }, kMinuteMs));
}

TEST_F(TimeTestControllerTest, MessagesFollowTheAttachedTypeAndTheTargets) {
    // A paged time to another master group is not for this MX40.
    type = AttachedType::Qn510;
    controller->sendTime();
    TimeTestController::Pickers p = controller->pickers();
    p.masterGroup = 1;  // "MG 2"
    controller->setPickers(p);
    type = AttachedType::Mx40WithLr40;
    controller->sendTime();
    ASSERT_TRUE(runUntil([&] { return switchLog.size() >= 2; }, kMinuteMs));
    EXPECT_TRUE(switchLogged("paged text, not for this model")) << switchLog.front();
    EXPECT_TRUE(switchLogged("not addressed to this switch")) << switchLog.back();
    EXPECT_FALSE(switchLogged("time set to"));
}

TEST_F(TimeTestControllerTest, TestLinesGoToTheTestLogWhileItsFolderIsThere) {
    pickLastDateFlipDay();
    ASSERT_TRUE(controller->startTest(TestKind::DateFlip));
    ASSERT_TRUE(runUntil([&] { return !controller->runner().running(); }, kMinuteMs));
    EXPECT_FALSE(fileExists(logWriter.testLogFileName(clock)));  // no "Test Folders": dropped
    EXPECT_EQ(controller->lines().back().text, "TestDateFlip: Summary: 1 passed, 0 failed.");

    ASSERT_TRUE(makeFolder(folder.logs()));
    ASSERT_TRUE(makeFolder(folder.logs() + "Test Folders"));
    ASSERT_TRUE(controller->startTest(TestKind::DateFlip));
    ASSERT_TRUE(runUntil([&] { return !controller->runner().running(); }, kMinuteMs));
    EXPECT_EQ(readFile(logWriter.testLogFileName(clock)),
              "09:15.10,Starting test date flip.  Should run about 5 hours.\r\n"
              "09:15.20,TestDateFlip: PASSED Start Time\r\n"
              "09:15.20,TestDateFlip: Test Complete\r\n"
              "09:15.20,TestDateFlip: Summary: 1 passed, 0 failed.\r\n")
        << readFile(logWriter.testLogFileName(clock));
}

TEST_F(TimeTestControllerTest, SaveLinesWritesTheListAsCsv) {
    controller->manual(true);
    const std::string path = folder.file("lines.csv");
    ASSERT_TRUE(controller->saveLines(path));
    EXPECT_EQ(readFile(path),
              "\"Time\",\"Line\"\r\n"
              "\"Monday, March 16, 2026, 09:15.00\",\"Opened Dialog.  No testing started.\"\r\n"
              "\"Monday, March 16, 2026, 09:15.00\",\"Manual ON command.\"\r\n");
    EXPECT_EQ(controller->lines().back().text, "Lines saved to " + path + ".");
    const std::string nowhere = folder.file("missing/lines.csv");
    EXPECT_FALSE(controller->saveLines(nowhere));
    EXPECT_EQ(controller->lines().back().text, "Lines could not be saved to " + nowhere + ".");
}

// The group's real programming before any test: plan 1 ON at 07:15 on school days.
class LiveProgramming : public TimeTestControllerTest {
  protected:
    void SetUp() override {
        TimeTestControllerTest::SetUp();
        ASSERT_TRUE(makeFolder(folder.logs()));
        db.addStep(Step::atTime(1, 1, 1, 7, 15, kCommandOn));
        db.group(1, 1).setDefaultDay(kSunday, 3);
        ASSERT_TRUE(saveDatabase(db, working, clock.now()));
        realSteps = readFile(stepsFileName(working));
        realDayPlans = readFile(dayPlanFileName(working));
        ASSERT_NE(realSteps.find(kRealStep), std::string::npos);
    }
    std::string realSteps;
    std::string realDayPlans;
};

TEST_F(LiveProgramming, AStartAsksFirstAndNoLeavesTheProgrammingAlone) {
    const std::string archive = Archive(clock, working).fileNameAt(clock.now());
    view.answer = false;
    EXPECT_FALSE(controller->startTest(TestKind::Step16));
    EXPECT_FALSE(controller->runner().running());
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0],
              "Step 16 replaces the programming of group 1 of master group 1 (\"Bench\"), with "
              "location 1 \"Bench Switch\" (MX40), and sends its own to location 1.\n\n"
              "The database is archived first, to " +
                  archive +
                  ". \"Restore programming\" puts it back.\n\n"
                  "Step 16 runs about 3 hours.\n\nReplace the programming and start?");
    EXPECT_EQ(controller->lines().back().text,
              "Step 16 not started: the programming of group 1 was left as it is.");
    EXPECT_EQ(readFile(stepsFileName(working)), realSteps);
    EXPECT_FALSE(fileExists(archive));

    // A test that leaves the programming alone asks nothing.
    pickLastDateFlipDay();
    EXPECT_TRUE(controller->startTest(TestKind::DateFlip));
    EXPECT_EQ(view.questions.size(), 1u);

    view.answer = true;
    EXPECT_TRUE(controller->startTest(TestKind::Step16));
    EXPECT_TRUE(fileExists(archive));
    EXPECT_NE(readFile(stepsFileName(working)).find(kTestStep), std::string::npos);
    controller->close();
}

TEST_F(LiveProgramming, TestAllAsksOnceWithItsTotalOverADay) {
    view.answer = false;
    EXPECT_FALSE(controller->testAll());
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_NE(view.questions[0].find("Test ALL replaces the programming of group 1 of master "
                                     "group 1 (\"Bench\")"),
              std::string::npos)
        << view.questions[0];
    EXPECT_NE(view.questions[0].find("Test ALL runs about 31 hours 10 minutes (over a day)."),
              std::string::npos)
        << view.questions[0];
    EXPECT_EQ(readFile(stepsFileName(working)), realSteps);
}

TEST_F(LiveProgramming, RestoreProgrammingPutsBackTheArchivedFilesAndTheGroup) {
    const std::string archive = Archive(clock, working).fileNameAt(clock.now());
    EXPECT_FALSE(controller->restoreProgramming());
    EXPECT_EQ(controller->lines().back().text,
              "Nothing to restore: no test has replaced the programming since the window opened.");
    ASSERT_TRUE(controller->startTest(TestKind::Step16));
    ASSERT_TRUE(runUntil([&] { return controller->lines().size() > 4; }, 5 * kMinuteMs));
    EXPECT_TRUE(controller->canRestore());
    ASSERT_EQ(db.group(1, 1).annualPlans().size(), 9u);

    clock.advance(60);
    EXPECT_TRUE(controller->restoreProgramming());
    EXPECT_FALSE(controller->runner().running());
    EXPECT_FALSE(controller->canRestore());
    EXPECT_EQ(controller->lines().back().text,
              "Programming of group 1 restored from " + archive + ".");
    EXPECT_EQ(readFile(stepsFileName(working)), realSteps);
    EXPECT_EQ(readFile(dayPlanFileName(working)), realDayPlans);
    EXPECT_EQ(
        occurrences(systemLog(), "Time testing restored the database files from " + archive +
                                     " and reloaded the programming of group 1 of master group 1."),
        1u)
        << systemLog();
    // The station holds the real programming again, not the test's.
    const Group& group = db.group(1, 1);
    EXPECT_TRUE(group.annualPlans().empty());
    EXPECT_EQ(group.defaultWeek().day(kSunday), 3);
    ASSERT_NE(group.findDayPlan(1), nullptr);
    ASSERT_EQ(group.findDayPlan(1)->steps().size(), 1u);
    EXPECT_EQ(group.findDayPlan(1)->steps()[0].hour, 7);
    EXPECT_EQ(group.findDayPlan(2), nullptr);
    EXPECT_EQ(group.name(), "Bench");
}

TEST_F(LiveProgramming, CancelOffersTheRestore) {
    const std::string archive = Archive(clock, working).fileNameAt(clock.now());
    ASSERT_TRUE(controller->startTest(TestKind::Dwp));
    advance(1000);
    view.questions.clear();
    controller->cancel();
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0],
              "The tests replaced the programming of group 1 of master group 1 (\"Bench\"), with "
              "location 1 \"Bench Switch\" (MX40).\n\nRestore it from " +
                  archive + " before closing?");
    EXPECT_EQ(readFile(stepsFileName(working)), realSteps);
    EXPECT_FALSE(controller->isOpen());
    EXPECT_EQ(controller->lines().back().text, "Testing Dialog exited.");

    // Nothing replaced: Cancel just closes.
    TimeTestController other(TimeTestWindowServices{
        clock, working, timers, *handler, db, download, {}, [] { return AttachedType::Mx40; }});
    other.setView(&view);
    other.open();
    view.questions.clear();
    other.cancel();
    EXPECT_TRUE(view.questions.empty());
}

TEST(TimeTestLines, CsvQuotesEveryFieldAndDoublesQuotes) {
    std::vector<TimeTestLine> lines{{fromLocal(2026, 7, 4, 18, 30, 5), "say \"cheese\", twice"}};
    EXPECT_EQ(linesCsv(lines),
              "\"Time\",\"Line\"\r\n"
              "\"Saturday, July 04, 2026, 18:30.05\",\"say \"\"cheese\"\", twice\"\r\n");
}

}  // namespace
}  // namespace quirn::test
