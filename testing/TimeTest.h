#pragma once
#include <ctime>
#include <string>

#include "platform/LocalTime.h"
#include "testing/TestLines.h"

namespace quirn {

class Clock;
class PlanDatabase;
class SwitchUnderTest;
class TestProgrammingStore;

// What every test works with; all held by reference.
struct TimeTestServices {
    const Clock& clock;
    SwitchUnderTest& timeSwitch;
    PlanDatabase& database;
    TestProgrammingStore& store;
    TestLineSink& lines;
};

// One scripted test of the time switch under test: a small state machine stepped by the
// runner's 100 ms tick. A step looks at the state and the time passed, sends a clock setting
// or asks for a read when due, judges an answered read, and says when the test is complete.
class TimeTest {
  public:
    static constexpr int kTickMs = 100;
    // The clock check passes when the switch reads more than 0 and less than this many seconds
    // past the expected time.
    static constexpr long long kClockAheadLimitSeconds = 30;

    virtual ~TimeTest() = default;
    TimeTest(const TimeTest&) = delete;
    TimeTest& operator=(const TimeTest&) = delete;

    // The test's name, the prefix of its lines ("TestDateFlip").
    const std::string& name() const { return name_; }
    // The line that announces the start.
    virtual std::string startText() const = 0;
    // Tests that bring their own programming replace the test group's when they start and save
    // the database; the runner first asks the store whether that may happen.
    virtual bool writesProgramming() const { return false; }
    virtual void writeProgramming() {}
    // One tick; true once the test is complete.
    virtual bool step() = 0;
    int state() const { return state_; }

  protected:
    TimeTest(const TimeTestServices& services, std::string name);

    std::time_t now() const;
    long long nowMs() const;
    long long sinceWaitStartMs() const { return nowMs() - waitStartMs_; }
    long long sinceLastStepMs() const { return nowMs() - lastStepMs_; }

    void note(const std::string& text) const;
    void passed(const std::string& text) const;
    void failed(const std::string& text) const;

    // Sets the switch's clock; a new wait begins.
    void setClock(std::time_t when);
    // Asks for a read: the read-back slot goes back to the "never" sentinel.
    void askRead();
    // True once the read asked last was answered (the slot differs from the sentinel).
    bool answered();
    // The clock read back is ahead of the expected value by more than 0 and less than
    // kClockAheadLimitSeconds, counted on the wall clock.
    bool clockAhead() const;

    const TimeTestServices& s_;
    int state_ = 0;
    long long lastStepMs_ = 0;   // the last message to the switch: a setting, a read, a download
    long long waitStartMs_ = 0;  // the start of the current wait: the last clock setting
    LocalDateTime expected_ = kNever;
    LocalDateTime readBack_ = kNever;
    bool relayOn_ = false;  // the relay as the last answered read showed it
    // The counters the tests keep their place with.
    int dayPlan_ = 0;
    int step_ = 0;
    int annualPlan_ = 0;
    int startMinute_ = 0;
    std::time_t testDate_ = 0;

  private:
    std::string name_;
};

}  // namespace quirn
