#include <gtest/gtest.h>

#include "testing/Test2460.h"
#include "testing/TimeTestController.h"
#include "tests/testing/TimeTestBench.h"

namespace quirn::test {
namespace {

constexpr long long kMinuteMs = 60LL * 1000;
constexpr long long kHourMs = 60 * kMinuteMs;

// A correct switch passes whatever test it is given, or the test says it cannot judge it; a
// switch with a fault fails the check that looks at it.
class GoodSwitch : public TimeTestBench {
  protected:
    std::vector<std::string> failures() const { return lines.of(LineKind::Failed); }
    // Starts the test (whether it says it started or not) and runs it out.
    void runOut(TestKind kind, long long limitMs, TestChoices choices = {}) {
        if (choices.dateFlipStart == 0) choices.dateFlipStart = clock.now();
        runner->start(kind, choices);
        ASSERT_TRUE(runUntil([&] { return !runner->running(); }, limitMs));
    }
};

TEST_F(GoodSwitch, ClockTestsSayTheyCannotJudgeAQn510AndDoNotStart) {
    attachSwitch(sim::SimModel::QN510);
    for (TestKind kind : {TestKind::DateFlip, TestKind::Dst}) {
        lines.lines.clear();
        runOut(kind, 2 * kHourMs);
        const std::string name = testKindInfo(kind).name;
        EXPECT_EQ(lines.texts(),
                  std::vector<std::string>{
                      name + ": Not started: the QN510 at location 1 reports its clock without "
                             "date or seconds, so this test cannot judge it. It suits the MX40 "
                             "and LR40."})
            << lines.dump();
        EXPECT_TRUE(failures().empty()) << lines.dump();
    }
}

// A paged switch keeps a default and an alternate week, and its clock a weekday but no date:
// the day plans Step 16 and AP36 choose by date reach it only as the station sends each week's
// plans, so it cannot follow a test that moves its clock weeks ahead. Run anyway, both would
// report FAILED for a switch that does all it was told.
class PagedSwitchAndAnnualPlanTests : public GoodSwitch,
                                      public ::testing::WithParamInterface<sim::SimModel> {};

TEST_P(PagedSwitchAndAnnualPlanTests, SayTheyCannotJudgeItAndDoNotStart) {
    attachSwitch(GetParam());
    const std::string type = GetParam() == sim::SimModel::QN510 ? "QN510" : "Strider";
    for (TestKind kind : {TestKind::Step16, TestKind::Ap36}) {
        lines.lines.clear();
        runOut(kind, 5 * kHourMs);
        const std::string name = testKindInfo(kind).name;
        EXPECT_TRUE(failures().empty()) << lines.dump();
        EXPECT_EQ(lines.texts(),
                  std::vector<std::string>{
                      name + ": Not started: the " + type +
                      " at location 1 holds no annual plans and its clock no date, so this test "
                      "cannot judge it. It suits the MX40 and LR40."})
            << lines.dump();
        EXPECT_TRUE(device->qn510().table(sim::Qn510Memory::Table::Default).empty())
            << "the test programmed the switch";
    }
}

INSTANTIATE_TEST_SUITE_P(QN510AndStrider, PagedSwitchAndAnnualPlanTests,
                         ::testing::Values(sim::SimModel::QN510, sim::SimModel::Strider));

// A Strider answers a read as a QN510 does, then tells the station it keeps an activation log:
// the station fetches the log and clears it after every read, the test's reads included. None
// of that may cost a correct switch a check.
class PagedSwitchAndWeekTests : public GoodSwitch,
                                public ::testing::WithParamInterface<sim::SimModel> {};

TEST_P(PagedSwitchAndWeekTests, NeverFailACorrectSwitch) {
    attachSwitch(GetParam());
    for (TestKind kind : {TestKind::Dwp, TestKind::Step2460}) {
        lines.lines.clear();
        runOut(kind, 3 * kHourMs);
        const std::string name = testKindInfo(kind).name;
        EXPECT_TRUE(failures().empty()) << lines.dump();
        EXPECT_TRUE(lines.has(name + ": Download OK.")) << lines.dump();
        EXPECT_TRUE(lines.has(name + ": Test Complete")) << lines.dump();
    }
}

INSTANTIATE_TEST_SUITE_P(QN510AndStrider, PagedSwitchAndWeekTests,
                         ::testing::Values(sim::SimModel::QN510, sim::SimModel::Strider));

TEST_F(GoodSwitch, TestAllPassesOverTheAnnualPlanTestsAndPassesACorrectQn510OnTheRest) {
    attachSwitch(sim::SimModel::QN510);
    ASSERT_TRUE(runner->startAll({clock.now()}));
    ASSERT_TRUE(runUntil([&] { return !runner->running(); }, 5 * kHourMs));
    EXPECT_TRUE(failures().empty()) << lines.dump();
    for (const char* name : {"TestStep16", "TestAP36", "TestDateFlip", "TestDST"})
        EXPECT_EQ(occurrences(lines.dump(), std::string(name) + ": Not started:"), 1u)
            << name << "\n"
            << lines.dump();
    EXPECT_TRUE(lines.has("TestDWP: Test Complete")) << lines.dump();
    EXPECT_TRUE(lines.has("Test2460: Test Complete")) << lines.dump();
}

TEST_F(GoodSwitch, TestAllOnAQn510SaysWhichTestsItPassesOverAndHowLongTheRestRun) {
    attachSwitch(sim::SimModel::QN510);
    struct NoView final : TimeTestView {
        bool askYesNo(const std::string& text, const std::string&) override {
            question = text;
            return false;
        }
        std::string question;
    } view;
    TimeTestController controller(TimeTestWindowServices{
        clock, working, timers, *handler, db, download, {}, [] { return AttachedType::Qn510; }});
    controller.setView(&view);
    controller.open();
    EXPECT_FALSE(controller.testAll());
    EXPECT_NE(view.question.find("Test ALL runs about 1 hour 30 minutes. Step 16, AP36, Date "
                                 "Flip and DST do not suit this time switch and will be passed "
                                 "over."),
              std::string::npos)
        << view.question;
    EXPECT_NE(view.question.find("location 1 \"Bench Switch\" (QN510)"), std::string::npos)
        << view.question;
}

TEST_F(GoodSwitch, Step2460FailsTheOneStepASwitchMisses) {
    attachSwitch(sim::SimModel::MX40, kBenchStart,
                 [](sim::SimSettings& s) { s.faults.missedStepMinute = 223; });
    runOut(TestKind::Step2460, 3 * kHourMs);
    EXPECT_EQ(failures(), std::vector<std::string>{"Test2460:: FAILED on 223 mins."})
        << lines.dump();
    EXPECT_TRUE(lines.has("Test2460:: PASSED off 222 mins.")) << lines.dump();
    EXPECT_TRUE(lines.has("Test2460: Test Complete"));
}

TEST_F(GoodSwitch, Step2460PassesACorrectQn510WhoseClockSettingHasNoSeconds) {
    attachSwitch(sim::SimModel::QN510);
    runOut(TestKind::Step2460, 5 * kHourMs);
    EXPECT_TRUE(failures().empty()) << lines.dump();
    EXPECT_TRUE(lines.has("Test2460:: PASSED on 223 mins.")) << lines.dump();
    EXPECT_TRUE(lines.has("Test2460: Test Complete"));
}

TEST_F(GoodSwitch, ManualOnBeforeTheTestFailsNoStepOfASwitchThatHoldsItUntilTheNextStep) {
    // The switch keeps a manual ON through the download and the clock setting before the first
    // step, as one that only acts on the steps it meets does.
    attachSwitch(sim::SimModel::MX40, kBenchStart,
                 [](sim::SimSettings& s) { s.manualHoldsUntilStep = true; });
    TimeTestController controller(TimeTestWindowServices{
        clock, working, timers, *handler, db, download, {}, [] { return AttachedType::Mx40; }});
    controller.open();
    TimeTestController::Pickers p = controller.pickers();
    p.location = 1;
    controller.setPickers(p);
    controller.manual(true);
    ASSERT_TRUE(runUntil([&] { return device->relayCode() != 0; }, kMinuteMs));
    runOut(TestKind::Step16, 4 * kHourMs);
    EXPECT_TRUE(failures().empty()) << lines.dump();
    EXPECT_TRUE(
        lines.has("TestStep16:: Relay on before the step at 62 mins, off expected; not "
                  "counted, the read after the step decides."))
        << lines.dump();
    EXPECT_TRUE(lines.has("TestStep16:: PASSED on 62 mins."));
    EXPECT_EQ(lines.lines.back().text, "TestStep16: Summary: 145 passed, 0 failed.");
}

TEST_F(GoodSwitch, Step2460RunsWithinTheTimeItAnnounces) {
    attachSwitch(sim::SimModel::MX40);
    const std::time_t start = clock.now();
    runOut(TestKind::Step2460, 3 * kHourMs);
    const long long minutes = (clock.now() - start) / 60;
    std::printf("Test2460 on an MX40 ran %lld minutes of station time\n", minutes);
    EXPECT_LE(minutes, Test2460::kExpectedMinutes);
    EXPECT_GE(minutes, Test2460::kExpectedMinutes * 2 / 3);
    EXPECT_EQ(lines.lines.front().text,
              "Starting Start Minute Test.  Should run about 40 minutes.");
}

}  // namespace
}  // namespace quirn::test
