#include <gtest/gtest.h>

#include "ops/LogWriter.h"
#include "plans/Archive.h"
#include "testing/TestDateFlip.h"
#include "tests/testing/TimeTestBench.h"

namespace quirn::test {
namespace {

constexpr long long kMinuteMs = 60LL * 1000;
constexpr long long kHourMs = 60 * kMinuteMs;

// The runner: one test at a time, "Test ALL" in its order, and the test group's programming
// replaced only once the real programming is archived.
class Runner : public TimeTestBench {
  protected:
    // The place of the first line starting with `prefix`; the line count when there is none.
    std::size_t indexOf(const std::string& prefix) const {
        for (std::size_t i = 0; i < lines.lines.size(); ++i)
            if (lines.lines[i].text.rfind(prefix, 0) == 0) return i;
        return lines.lines.size();
    }
    std::vector<std::string> startTexts() const {
        std::vector<std::string> out;
        for (const std::string& text : lines.texts())
            if (text.rfind("Starting ", 0) == 0) out.push_back(text);
        return out;
    }
};

TEST_F(Runner, StartingATestWhileAnotherRunsReplacesIt) {
    attachSwitch(sim::SimModel::MX40);
    TestChoices choices;
    choices.dateFlipStart = fromLocal(2037, 12, 31, 12, 0, 0);
    ASSERT_TRUE(runner->start(TestKind::Step16, choices));
    ASSERT_TRUE(runUntil([&] { return lines.has("TestStep16:: DayPlan 1."); }, 5 * kMinuteMs));
    ASSERT_TRUE(runner->start(TestKind::DateFlip, choices));
    ASSERT_EQ(runner->current()->name(), "TestDateFlip");
    const std::size_t replacedAt = lines.lines.size();
    ASSERT_TRUE(runUntil([&] { return !runner->running(); }, 5 * kMinuteMs));
    for (std::size_t i = replacedAt; i < lines.lines.size(); ++i)
        EXPECT_EQ(lines.lines[i].text.rfind("TestDateFlip", 0), 0u) << lines.lines[i].text;
    EXPECT_FALSE(lines.has("TestStep16:: Test Complete"));
    EXPECT_EQ(lines.lines.back().text, "TestDateFlip: Summary: 1 passed, 0 failed.");
    EXPECT_EQ(timers.activeCount(), 1u);  // only the handler's tick is left
}

TEST_F(Runner, TestAllRunsTheSixTestsInItsOrderEachAfterThePreviousCompletes) {
    attachSwitch(sim::SimModel::LR40, fromLocal(2037, 1, 5, 8, 0, 0));
    TestChoices choices;
    choices.dateFlipStart = fromLocal(2037, 12, 30, 12, 0, 0);
    ASSERT_TRUE(runner->startAll(choices));
    EXPECT_EQ(runner->sequence(), 1);
    ASSERT_TRUE(runUntil([&] { return runner->sequence() == 2; }, 4 * kHourMs));
    EXPECT_EQ(runner->current()->name(), "TestAP36");
    ASSERT_TRUE(runUntil([&] { return !runner->running(); }, 12 * kHourMs));
    EXPECT_EQ(startTexts(), (std::vector<std::string>{
                                "Starting Sixteen Step Test.  Should run about 3 hours.",
                                "Starting Annual Plan Test.  Should run about 40 minutes.",
                                "Starting Default Week Plan Test.  Should run about 50 minutes.",
                                "Starting Start Minute Test.  Should run about 40 minutes.",
                                "Starting test date flip.  Should run about 5 hours.",
                                "Starting test DST.  Should run about 21 hours.",
                            }));
    // Each test's summary comes before the next test's start text.
    const std::vector<std::string> names = {"TestStep16", "TestAP36", "TestDWP", "Test2460",
                                            "TestDateFlip"};
    const std::vector<std::string> starts = startTexts();
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_LT(indexOf(names[i] + ": Summary:"), indexOf(starts[i + 1])) << names[i];
    EXPECT_TRUE(lines.of(LineKind::Failed).empty()) << lines.dump();
    const int checks = static_cast<int>(lines.of(LineKind::Passed).size());
    EXPECT_EQ(checks, 145 + 37 + 46 + 377 + 2 + 2);
    EXPECT_EQ(lines.lines.back().text,
              "Test ALL: Summary: " + std::to_string(checks) + " passed, 0 failed.");
    EXPECT_EQ(runner->sequence(), 0);
}

// The group's real programming before any test: plan 1 ON at 07:15 on school days.
class Programming : public Runner {
  protected:
    void SetUp() override {
        ASSERT_TRUE(makeFolder(folder.logs()));
        attachSwitch(sim::SimModel::MX40);
        db.addStep(Step::atTime(1, 1, 1, 7, 15, kCommandOn));
        ASSERT_TRUE(saveDatabase(db, working, clock.now()));
        ASSERT_NE(readFile(stepsFileName(working)).find(kRealStep), std::string::npos);
    }
};

TEST_F(Programming, TheFirstChangeIsArchivedOnceAndEveryChangeIsSaved) {
    const std::string archive = Archive(clock, working).fileNameAt(clock.now());
    ASSERT_TRUE(runner->start(TestKind::Step16, {}));
    EXPECT_NE(readFile(archive).find(kRealStep), std::string::npos) << archive;
    EXPECT_EQ(occurrences(systemLog(), "Time testing archived the database to " + archive +
                                           " before replacing the programming of group 1 of master "
                                           "group 1."),
              1u)
        << systemLog();
    const std::string steps = readFile(stepsFileName(working));
    EXPECT_EQ(steps.find(kRealStep), std::string::npos);
    EXPECT_NE(steps.find(kTestStep), std::string::npos);
    EXPECT_NE(readFile(dayPlanFileName(working)).find("DayPlanDefault,1,1,1,1"), std::string::npos);

    // A later change in the same window's life is saved but not archived again: the archive
    // keeps the real programming.
    clock.advance(120);
    ASSERT_TRUE(runner->start(TestKind::Dwp, {}));
    EXPECT_EQ(occurrences(systemLog(), "Time testing archived"), 1u);
    EXPECT_FALSE(fileExists(Archive(clock, working).fileNameAt(clock.now())));
    EXPECT_NE(readFile(stepsFileName(working)).find("Step,9,1,540,1,1"), std::string::npos);
    EXPECT_NE(readFile(archive).find(kRealStep), std::string::npos);
    runner->stop();
}

TEST_F(Programming, NoArchiveMeansTheRealProgrammingStays) {
    ASSERT_TRUE(writeFile(folder.file("Archive"), "a file where the archive folder belongs"));
    EXPECT_FALSE(runner->start(TestKind::Ap36, {}));
    EXPECT_FALSE(runner->running());
    EXPECT_EQ(lines.texts(), std::vector<std::string>{
                                 "TestAP36: Not started: the database could not be archived."});
    EXPECT_NE(readFile(stepsFileName(working)).find(kRealStep), std::string::npos);
    ASSERT_NE(db.group(1, 1).findDayPlan(1), nullptr);
    EXPECT_EQ(db.group(1, 1).findDayPlan(1)->steps().size(), 1u);
    EXPECT_NE(systemLog().find("Time testing could not archive the database"), std::string::npos);
    // A test that leaves the programming alone still runs.
    EXPECT_TRUE(runner->start(TestKind::Dst, {}));
    runner->stop();
}

TEST_F(Runner, NothingStartsWithoutTheTimeSwitchUnderTest) {
    attachSwitch(sim::SimModel::MX40);
    ASSERT_TRUE(db.group(1, 1).removeLocation(1));
    EXPECT_FALSE(runner->startAll({}));
    EXPECT_FALSE(runner->running());
    EXPECT_EQ(runner->sequence(), 0);
    EXPECT_EQ(lines.texts(), std::vector<std::string>{"TestStep16: Not started: there is no "
                                                      "location 1 in group 1 of master group 1."});
}

}  // namespace
}  // namespace quirn::test
