#include <gtest/gtest.h>

#include "testing/TestProgramming.h"
#include "tests/testing/TimeTestBench.h"

namespace quirn::test {
namespace {

constexpr long long kHourMs = 3600LL * 1000;

// A switch with one fault makes exactly the checks fail that look at what it gets wrong.
class FaultySwitch : public TimeTestBench {
  protected:
    std::vector<std::string> failures() const { return lines.of(LineKind::Failed); }
};

TEST_F(FaultySwitch, ClockThatKeepsItsDateFailsEveryDateFlip) {
    attachSwitch(sim::SimModel::MX40, kBenchStart,
                 [](sim::SimSettings& s) { s.clock.holdsDate = true; });
    TestChoices choices;
    choices.dateFlipStart = fromLocal(2037, 12, 29, 12, 0, 0);
    ASSERT_TRUE(runTest(TestKind::DateFlip, kHourMs, choices));
    EXPECT_EQ(failures(), std::vector<std::string>(3, "TestDateFlip: FAILED Start Time"));
    EXPECT_TRUE(lines.of(LineKind::Passed).empty());
    EXPECT_TRUE(lines.has("TestDateFlip: Test Complete"));
    EXPECT_EQ(lines.lines.back().text,
              "TestDateFlip: Summary: 0 passed, 3 failed. First failure: TestDateFlip: FAILED "
              "Start Time");
}

TEST_F(FaultySwitch, ClockThatIgnoresDaylightSavingFailsSpringAndFall) {
    const std::time_t start = fromLocal(2037, 1, 10, 8, 0, 0);
    attachSwitch(sim::SimModel::LR40, start,
                 [](sim::SimSettings& s) { s.clock.ignoresDaylightSaving = true; });
    ASSERT_TRUE(runTest(TestKind::Dst, 3 * kHourMs));
    EXPECT_EQ(failures(),
              (std::vector<std::string>{
                  "TestDST: FAILED Spring 2037. Clock = Sunday, March 08, 2037, 03:00.02.",
                  "TestDST: FAILED Fall 2037. Clock = Sunday, November 01, 2037, 03:00.02."}))
        << lines.dump();
    EXPECT_TRUE(lines.has("TestDST: Test Complete"));
}

TEST_F(FaultySwitch, DriftingClockFailsTheHourLongDaylightChecksOnly) {
    // Forty seconds gained an hour: nothing over the seconds of a date flip, too much over
    // the hour after a daylight-saving change.
    const std::time_t start = fromLocal(2037, 1, 10, 8, 0, 0);
    attachSwitch(sim::SimModel::MX40, start,
                 [](sim::SimSettings& s) { s.clock.driftSecondsPerHour = 40; });
    TestChoices choices;
    choices.dateFlipStart = fromLocal(2037, 12, 30, 12, 0, 0);
    ASSERT_TRUE(runTest(TestKind::DateFlip, kHourMs, choices));
    EXPECT_TRUE(failures().empty()) << lines.dump();
    lines.lines.clear();
    ASSERT_TRUE(runTest(TestKind::Dst, 3 * kHourMs));
    EXPECT_EQ(failures(),
              (std::vector<std::string>{
                  "TestDST: FAILED Spring 2037. Clock = Sunday, March 08, 2037, 04:00.42.",
                  "TestDST: FAILED Fall 2037. Clock = Sunday, November 01, 2037, 02:00.42."}))
        << lines.dump();
}

TEST_F(FaultySwitch, RelayThatMissesOneStepFailsThatStepAlone) {
    const int missed = test_programming::sixteenStepMinute(4, 7);  // plan 4, an OFF step
    attachSwitch(sim::SimModel::MX40, kBenchStart,
                 [missed](sim::SimSettings& s) { s.faults.missedStepMinute = missed; });
    ASSERT_TRUE(runTest(TestKind::Step16, 4 * kHourMs));
    EXPECT_EQ(failures(), std::vector<std::string>{"TestStep16:: FAILED off 173 mins."})
        << lines.dump();
    EXPECT_EQ(lines.of(LineKind::Passed).size(), 1u + 9 * 16 - 1);
    EXPECT_TRUE(lines.has("TestStep16:: Test Complete"));
}

TEST_F(FaultySwitch, SlowAnswerStillComingInIsNoCommoLoss) {
    // Six milliseconds a byte: an MX40's 968-byte reply takes longer than the five seconds a
    // relay answer is waited for, but it is arriving.
    attachSwitch(sim::SimModel::MX40, kBenchStart,
                 [](sim::SimSettings& s) { s.faults.slowBytesMs = 6; });
    ASSERT_TRUE(runTest(TestKind::Ap36, kHourMs));
    EXPECT_TRUE(failures().empty()) << lines.dump();
    EXPECT_EQ(lines.of(LineKind::Passed).size(), 1u + 36);
}

}  // namespace
}  // namespace quirn::test
