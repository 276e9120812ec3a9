#include "tools/quirnctl/LoopTimerService.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace quirn::ctl {

TimerService::TimerId LoopTimerService::start(int periodMs, Callback callback) {
    if (!callback) return kNoTimer;
    long long period = std::max(periodMs, 1);
    TimerId id = nextId_++;
    timers_[id] = Timer{period, clock_.nowMs() + period, std::move(callback)};
    return id;
}

void LoopTimerService::stop(TimerId id) {
    timers_.erase(id);
}

bool LoopTimerService::runUntil(const std::function<bool()>& done, long long limitMs) {
    long long end = clock_.nowMs() + limitMs;
    while (!done()) {
        if (timers_.empty()) return false;
        auto next = std::min_element(
            timers_.begin(), timers_.end(),
            [](const auto& a, const auto& b) { return a.second.dueMs < b.second.dueMs; });
        long long now = clock_.nowMs();
        if (next->second.dueMs > end) return done();
        if (next->second.dueMs > now)
            std::this_thread::sleep_for(std::chrono::milliseconds(next->second.dueMs - now));
        next->second.dueMs += next->second.periodMs;
        // The callback may stop its own timer or others: copy it out first.
        Callback callback = next->second.callback;
        callback();
    }
    return true;
}

}  // namespace quirn::ctl
