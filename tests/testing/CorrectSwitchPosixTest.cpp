#include <gtest/gtest.h>

#include "testing/TestAp36.h"
#include "testing/TestDwp.h"
#include "tests/testing/TimeTestBench.h"

namespace quirn::test {
namespace {

constexpr long long kHourMs = 3600LL * 1000;

// Every test against a correct simulated switch of each model that keeps a dated clock and
// annual plans: every check passes, and the test ends with its complete line and summary.
class CorrectSwitch : public TimeTestBench, public ::testing::WithParamInterface<sim::SimModel> {
  protected:
    void SetUp() override { attachSwitch(GetParam()); }

    void expectAllPassed(const std::string& name, int checks) {
        EXPECT_TRUE(lines.of(LineKind::Failed).empty()) << lines.dump();
        EXPECT_EQ(static_cast<int>(lines.of(LineKind::Passed).size()), checks) << lines.dump();
        EXPECT_EQ(lines.lines.back().text,
                  name + ": Summary: " + std::to_string(checks) + " passed, 0 failed.");
    }
};

TEST_P(CorrectSwitch, DateFlipPassesEveryMidnightAndStopsAtTheFirstDateIn2038) {
    TestChoices choices;
    choices.dateFlipStart = fromLocal(2037, 12, 28, 12, 0, 0);
    ASSERT_TRUE(runTest(TestKind::DateFlip, kHourMs, choices));
    EXPECT_EQ(lines.lines.front().text, "Starting test date flip.  Should run about 5 hours.");
    // 28th to 31st of December 2037: four midnights, then the first date in 2038 ends it.
    EXPECT_EQ(lines.of(LineKind::Passed),
              std::vector<std::string>(4, "TestDateFlip: PASSED Start Time"));
    EXPECT_TRUE(lines.has("TestDateFlip: Test Complete"));
    expectAllPassed("TestDateFlip", 4);
}

TEST_P(CorrectSwitch, Step16PassesEveryStepOfEveryPlan) {
    ASSERT_TRUE(runTest(TestKind::Step16, 4 * kHourMs));
    EXPECT_TRUE(lines.has("TestStep16: Download OK."));
    EXPECT_TRUE(lines.has("TestStep16:: DayPlan 9."));
    EXPECT_TRUE(lines.has("TestStep16:: PASSED on 62 mins."));    // plan 1, step 0
    EXPECT_TRUE(lines.has("TestStep16:: PASSED off 303 mins."));  // plan 9, step 15
    EXPECT_TRUE(lines.has("TestStep16:: Test Complete"));
    expectAllPassed("TestStep16", 1 + 9 * 16);
}

TEST_P(CorrectSwitch, Ap36PassesEveryAnnualPlan) {
    ASSERT_TRUE(runTest(TestKind::Ap36, kHourMs));
    EXPECT_EQ(lines.lines.front().text, "Starting Annual Plan Test.  Should run about 40 minutes.");
    EXPECT_TRUE(lines.has("TestAP36: Download OK."));
    EXPECT_TRUE(lines.has("TestAP36:: AnnualPlanNumber 35."));
    // Annual plan 3: day plan 5, step 3 (OFF) at 60 + 45 + 10 minutes.
    EXPECT_TRUE(lines.has("TestAP36:: PASSED off 115 mins."));
    EXPECT_TRUE(lines.has("TestAP36: Test Complete"));
    expectAllPassed("TestAP36", 1 + TestAp36::kAnnualPlans);
}

TEST_P(CorrectSwitch, DwpPassesEveryStepOfAWeekAndOfTheRotatedWeekToWednesday) {
    ASSERT_TRUE(runTest(TestKind::Dwp, 2 * kHourMs));
    EXPECT_EQ(lines.lines.front().text,
              "Starting Default Week Plan Test.  Should run about 50 minutes.");
    EXPECT_TRUE(lines.has("TestDWP:: Sunday Default 1."));
    EXPECT_TRUE(lines.has("TestDWP:: Sunday Default 8."));
    // The week checked is the one from the first Sunday after Monday 16 March 2026.
    EXPECT_TRUE(lines.has("TestDWP:: dp 1 Sunday, March 22, 2026"));
    EXPECT_TRUE(lines.has("TestDWP:: dp 9 Monday, March 23, 2026"));
    EXPECT_TRUE(lines.has("TestDWP:: PASSED on 540 mins."));  // plan 9 at 09:00
    EXPECT_TRUE(lines.has("TestDWP:: dp 2 Wednesday, March 25, 2026"));
    EXPECT_FALSE(lines.has("TestDWP:: dp 3 Thursday, March 26, 2026"));
    EXPECT_TRUE(lines.has("TestDWP: Test Complete"));
    expectAllPassed("TestDWP", 1 + 7 * 4 + 1 + 4 * 4);
}

TEST_P(CorrectSwitch, Step2460PassesEveryStartMinuteToTheEndOfTheDay) {
    ASSERT_TRUE(runTest(TestKind::Step2460, 2 * kHourMs));
    EXPECT_TRUE(lines.has("Test2460:: Start Minute 223."));
    EXPECT_TRUE(lines.has("Test2460:: PASSED off 222 mins."));
    EXPECT_TRUE(lines.has("Test2460:: PASSED on 237 mins."));
    EXPECT_TRUE(lines.has("Test2460:: PASSED off 357 mins."));
    // The clock ran through the ON at 223 and the OFF at 238.
    EXPECT_TRUE(lines.has("Test2460:: PASSED on 223 mins."));
    EXPECT_TRUE(lines.has("Test2460:: PASSED off 238 mins."));
    EXPECT_TRUE(lines.has("Test2460:: Start Minute 1382."));
    EXPECT_TRUE(lines.has("Test2460:: PASSED on 1396 mins."));
    EXPECT_FALSE(lines.has("Test2460:: Start Minute 1443."));
    EXPECT_TRUE(lines.has("Test2460: Test Complete"));
    // 20 start minutes, each downloaded once; 231 relay checks in all, 22 for the first start
    // minute down to 2 for the last, and 126 steps met by the running clock.
    expectAllPassed("Test2460", 20 + 231 + 126);
}

TEST_P(CorrectSwitch, DstPassesSpringAndFallOfEveryYearLeft) {
    clock.set(fromLocal(2037, 1, 10, 8, 0, 0));
    ASSERT_TRUE(runTest(TestKind::Dst, 3 * kHourMs));
    EXPECT_EQ(lines.lines.front().text, "Starting test DST.  Should run about 21 hours.");
    EXPECT_EQ(lines.of(LineKind::Passed),
              (std::vector<std::string>{
                  "TestDST: PASSED Spring 2037. Clock = Sunday, March 08, 2037, 04:00.02.",
                  "TestDST: PASSED Fall 2037. Clock = Sunday, November 01, 2037, 02:00.02."}))
        << lines.dump();
    EXPECT_TRUE(lines.has("TestDST: Test Complete"));
    expectAllPassed("TestDST", 2);
}

INSTANTIATE_TEST_SUITE_P(Models, CorrectSwitch,
                         ::testing::Values(sim::SimModel::MX40, sim::SimModel::LR40),
                         [](const auto& info) { return std::string(sim::modelName(info.param)); });

}  // namespace
}  // namespace quirn::test
