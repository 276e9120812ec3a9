#include "platform/VirtualTimerService.h"

#include <algorithm>

namespace quirn {

TimerService::TimerId VirtualTimerService::start(int periodMs, Callback callback) {
    if (!callback) return kNoTimer;
    long long period = periodMs < 1 ? 1 : periodMs;
    TimerId id = nextId_++;
    if (nextId_ == kNoTimer) nextId_ = 1;
    timers_[id] = Timer{period, clock_.nowMs() + period, std::move(callback)};
    return id;
}

void VirtualTimerService::stop(TimerId id) {
    timers_.erase(id);
}

long long VirtualTimerService::advanceMs(long long ms) {
    const long long end = clock_.nowMs() + (ms > 0 ? ms : 0);
    long long fired = 0;
    for (;;) {
        // The earliest due timer; ties go to the lowest id, the one started first.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it)
            if (next == timers_.end() || it->second.dueMs < next->second.dueMs) next = it;
        if (next == timers_.end() || next->second.dueMs > end) break;
        // A timer that fell due while the clock was moved by someone else fires once, now,
        // as a real timer does after a stall; the clock never runs backwards.
        long long firesAt = std::max(next->second.dueMs, clock_.nowMs());
        clock_.advanceMs(firesAt - clock_.nowMs());
        next->second.dueMs = firesAt + next->second.periodMs;
        // A copy, so that a callback that stops its own timer does not destroy itself.
        Callback callback = next->second.callback;
        callback();
        ++fired;
    }
    if (end > clock_.nowMs()) clock_.advanceMs(end - clock_.nowMs());
    return fired;
}

}  // namespace quirn
