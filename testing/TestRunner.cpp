#include "testing/TestRunner.h"

#include "platform/Clock.h"
#include "testing/SwitchUnderTest.h"
#include "testing/TestProgrammingStore.h"

namespace quirn {

TestRunner::TestRunner(const TestRunnerSetup& setup, TestLineSink& out)
    : setup_(setup),
      out_(out),
      services_{setup.clock, setup.timeSwitch, setup.database, setup.store, *this} {}

TestRunner::~TestRunner() {
    setup_.timers.stop(timer_);
}

bool TestRunner::start(TestKind kind, const TestChoices& choices) {
    stop();
    choices_ = choices;
    overall_ = TestTally{};
    return launch(kind);
}

bool TestRunner::startAll(const TestChoices& choices) {
    stop();
    choices_ = choices;
    overall_ = TestTally{};
    sequence_ = 1;
    if (launch(kTestAllOrder.front())) return true;
    sequence_ = 0;
    return false;
}

void TestRunner::stop() {
    setup_.timers.stop(timer_);
    timer_ = TimerService::kNoTimer;
    test_.reset();
    sequence_ = 0;
}

bool TestRunner::launch(TestKind kind) {
    std::unique_ptr<TimeTest> test = makeTimeTest(kind, services_, choices_);
    if (setup_.timeSwitch.location() == nullptr) {
        testLine(
            test->name() + ": Not started: there is no location 1 in group 1 of master group 1.",
            LineKind::Failed);
        return false;
    }
    if (test->writesProgramming() && !setup_.store.beforeChange()) {
        testLine(test->name() + ": Not started: the database could not be archived.",
                 LineKind::Failed);
        return false;
    }
    testLine(test->startText(), LineKind::Note);
    tally_ = TestTally{};
    startTime_ = setup_.clock.now();
    if (test->writesProgramming()) test->writeProgramming();
    test_ = std::move(test);
    if (timer_ == TimerService::kNoTimer)
        timer_ = setup_.timers.start(TimeTest::kTickMs, [this] { tick(); });
    return true;
}

void TestRunner::tick() {
    if (!test_) {
        stop();
        return;
    }
    if (test_->step()) completed();
}

// The finished test is gone before its summary is told, so whoever draws the runner on that
// line sees it idle (or on the next test of "Test ALL").
void TestRunner::completed() {
    const std::string summary = tally_.summary(test_->name());
    test_.reset();
    const bool inSequence = sequence_ > 0;
    if (inSequence && sequence_ < static_cast<int>(kTestAllOrder.size())) {
        out_.testLine(summary, LineKind::Note);
        TestKind next = kTestAllOrder[static_cast<std::size_t>(sequence_)];
        ++sequence_;
        if (launch(next)) return;
        stop();
    } else {
        stop();
        out_.testLine(summary, LineKind::Note);
    }
    if (inSequence) out_.testLine(overall_.summary(kTestAllName), LineKind::Note);
}

void TestRunner::testLine(const std::string& text, LineKind kind) {
    tally_.count(text, kind);
    overall_.count(text, kind);
    out_.testLine(text, kind);
}

}  // namespace quirn
