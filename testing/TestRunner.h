#pragma once
#include <ctime>
#include <memory>
#include <string>

#include "platform/TimerService.h"
#include "testing/TestKind.h"
#include "testing/TestLines.h"
#include "testing/TestTally.h"
#include "testing/TimeTest.h"

namespace quirn {

// Everything the runner and its tests work with; all held by reference.
struct TestRunnerSetup {
    const Clock& clock;
    TimerService& timers;
    SwitchUnderTest& timeSwitch;
    PlanDatabase& database;
    TestProgrammingStore& store;
};

// Runs at most one test at a time on a 100 ms tick, and the "Test ALL" sequence. Every line of
// the tests goes to `out`; when a test completes, its summary line follows.
class TestRunner final : private TestLineSink {
  public:
    static constexpr const char* kTestAllName = "Test ALL";

    TestRunner(const TestRunnerSetup& setup, TestLineSink& out);
    ~TestRunner() override;
    TestRunner(const TestRunner&) = delete;
    TestRunner& operator=(const TestRunner&) = delete;

    // Starts a test in place of the running one (a "Test ALL" run ends). False, with a line
    // saying why, when it cannot start: no time switch under test, a test that cannot judge
    // the switch's model, or a test that brings its own programming while the real programming
    // could not be archived.
    bool start(TestKind kind, const TestChoices& choices);
    // Starts "Test ALL": each test of its order starts when the one before completes; a test
    // that cannot judge the switch's model says so and is passed over.
    bool startAll(const TestChoices& choices);
    // Ends the running test and any "Test ALL" run.
    void stop();
    // The 100 ms step.
    void tick();

    bool running() const { return test_ != nullptr; }
    const TimeTest* current() const { return test_.get(); }
    // 1..6: the place of the running test in "Test ALL"; 0 outside a "Test ALL" run.
    int sequence() const { return sequence_; }
    std::time_t startTime() const { return startTime_; }
    // The checks since the last start() or startAll().
    const TestTally& overall() const { return overall_; }

  private:
    enum class Launch { Started, Unsuitable, Refused };
    Launch launch(TestKind kind);
    // Launches the tests of "Test ALL" from sequence() on until one starts; false when none did.
    bool launchFromSequence();
    void completed();
    void testLine(const std::string& text, LineKind kind) override;

    TestRunnerSetup setup_;
    TestLineSink& out_;
    TimeTestServices services_;
    TestChoices choices_;
    std::unique_ptr<TimeTest> test_;
    TimerService::TimerId timer_ = TimerService::kNoTimer;
    std::time_t startTime_ = 0;
    int sequence_ = 0;
    TestTally tally_;
    TestTally overall_;
};

}  // namespace quirn
