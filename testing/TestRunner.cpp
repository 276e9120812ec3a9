#include "testing/TestRunner.h"

#include "plans/Location.h"
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
    return launch(kind) == Launch::Started;
}

bool TestRunner::startAll(const TestChoices& choices) {
    stop();
    choices_ = choices;
    overall_ = TestTally{};
    sequence_ = 1;
    if (launchFromSequence()) return true;
    stop();
    return false;
}

void TestRunner::stop() {
    setup_.timers.stop(timer_);
    timer_ = TimerService::kNoTimer;
    test_.reset();
    sequence_ = 0;
}

bool TestRunner::launchFromSequence() {
    for (; sequence_ <= static_cast<int>(kTestAllOrder.size()); ++sequence_) {
        switch (launch(kTestAllOrder[static_cast<std::size_t>(sequence_ - 1)])) {
            case Launch::Started:
                return true;
            case Launch::Unsuitable:
                continue;
            case Launch::Refused:
                return false;
        }
    }
    return false;
}

TestRunner::Launch TestRunner::launch(TestKind kind) {
    const TestKindInfo& info = testKindInfo(kind);
    const std::string name = info.name;
    const Location* location = setup_.timeSwitch.location();
    if (location == nullptr) {
        testLine(name + ": Not started: there is no location 1 in group 1 of master group 1.",
                 LineKind::Failed);
        return Launch::Refused;
    }
    if (!suitsSwitch(kind, setup_.timeSwitch.reportsDateAndSeconds())) {
        // Not a failure of the switch: the test has nothing it could judge on this model.
        testLine(name + ": Not started: the " + modelShortName(location->model) +
                     " at location 1 " + info.pagedSwitchLacks +
                     ", so this test cannot judge it. It suits the MX40 and LR40.",
                 LineKind::Note);
        return Launch::Unsuitable;
    }
    if (info.writesProgramming && !setup_.store.beforeChange()) {
        testLine(name + ": Not started: the database could not be archived.", LineKind::Failed);
        return Launch::Refused;
    }
    std::unique_ptr<TimeTest> test = makeTimeTest(kind, services_, choices_);
    testLine(test->startText(), LineKind::Note);
    tally_ = TestTally{};
    startTime_ = setup_.clock.now();
    if (test->writesProgramming()) test->writeProgramming();
    test_ = std::move(test);
    if (timer_ == TimerService::kNoTimer)
        timer_ = setup_.timers.start(TimeTest::kTickMs, [this] { tick(); });
    return Launch::Started;
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
    if (sequence_ == 0) {
        stop();
        out_.testLine(summary, LineKind::Note);
        return;
    }
    out_.testLine(summary, LineKind::Note);
    ++sequence_;
    if (launchFromSequence()) return;
    stop();
    out_.testLine(overall_.summary(kTestAllName), LineKind::Note);
}

void TestRunner::testLine(const std::string& text, LineKind kind) {
    tally_.count(text, kind);
    overall_.count(text, kind);
    out_.testLine(text, kind);
}

}  // namespace quirn
