#pragma once
#include <functional>
#include <map>

#include "platform/Clock.h"
#include "platform/TimerService.h"

namespace quirn::ctl {

// Timers for a command-line job: a plain loop on the calling thread that sleeps until the
// next timer is due and runs it, so the loader's and the handler's 500 ms ticks run in real
// time as they do in the program.
class LoopTimerService final : public TimerService {
  public:
    explicit LoopTimerService(const Clock& clock) : clock_(clock) {}

    TimerId start(int periodMs, Callback callback) override;
    void stop(TimerId id) override;

    // Runs due timers until `done` answers true (asked after every callback) or `limitMs`
    // have passed; true when done.
    bool runUntil(const std::function<bool()>& done, long long limitMs);

  private:
    struct Timer {
        long long periodMs;
        long long dueMs;
        Callback callback;
    };
    const Clock& clock_;
    std::map<TimerId, Timer> timers_;
    TimerId nextId_ = 1;
};

}  // namespace quirn::ctl
