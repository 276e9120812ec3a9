#pragma once
#include <map>

#include "platform/Clock.h"
#include "platform/TimerService.h"

namespace quirn {

// A timer service driven by a ManualClock: advancing it moves the clock forward and fires
// every timer that falls due on the way, in order of due time (timers due at the same moment
// in the order they were started), with the clock set to each due time as it fires. Runs
// "4 hours" of timers in milliseconds. A timer that fell due while the clock was moved directly
// fires once at the current time, not once per missed period.
class VirtualTimerService final : public TimerService {
  public:
    explicit VirtualTimerService(ManualClock& clock) : clock_(clock) {}

    TimerId start(int periodMs, Callback callback) override;
    void stop(TimerId id) override;

    // Moves the clock forward by `ms`, firing due timers; returns the number of callbacks run.
    long long advanceMs(long long ms);
    long long advance(long long seconds) { return advanceMs(seconds * 1000); }
    // Number of running timers.
    std::size_t activeCount() const { return timers_.size(); }

  private:
    struct Timer {
        long long periodMs;
        long long dueMs;
        Callback callback;
    };
    ManualClock& clock_;
    std::map<TimerId, Timer> timers_;
    TimerId nextId_ = 1;
};

}  // namespace quirn
