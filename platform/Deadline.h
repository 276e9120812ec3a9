#pragma once
#include <chrono>
#include <climits>

namespace quirn {

// A bounded wait's end, on the steady clock: waits that go in several steps share one.
using SteadyClock = std::chrono::steady_clock;

inline SteadyClock::time_point deadlineAfter(int timeoutMs) {
    return SteadyClock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
}

// What is left of the wait, 0 once it has passed.
inline int millisecondsLeft(SteadyClock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now())
                    .count();
    if (left <= 0) return 0;
    return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

}  // namespace quirn
