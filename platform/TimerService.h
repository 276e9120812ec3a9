#pragma once
#include <cstdint>
#include <functional>

namespace quirn {

// Periodic callbacks on the user-interface thread (window-less timers). The program's
// backend sits on the GUI toolkit's timers; tests use VirtualTimerService.
class TimerService {
  public:
    using TimerId = std::uint32_t;
    using Callback = std::function<void()>;
    // Never returned by start().
    static constexpr TimerId kNoTimer = 0;

    virtual ~TimerService() = default;
    // Calls `callback` every `periodMs` milliseconds (at least 1) until stopped; returns the
    // timer's id, or kNoTimer when no timer could be made.
    virtual TimerId start(int periodMs, Callback callback) = 0;
    // Stops a timer; unknown ids and kNoTimer are ignored. Safe from inside a callback.
    virtual void stop(TimerId id) = 0;
};

}  // namespace quirn
