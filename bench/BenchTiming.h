#pragma once
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace quirn::bench {

// Wall time of one call, in milliseconds.
inline double timeMs(const std::function<void()>& fn) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The best of `runs` calls: the slower ones carry the machine's other work.
inline double bestOf(int runs, const std::function<void()>& fn) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) best = std::min(best, timeMs(fn));
    return best;
}

// The tests' time zone (daylight saving included), so figures at the same local times compare.
inline void fixTimeZone() {
#ifdef _WIN32
    _putenv_s("TZ", "EST5EDT");
#else
    setenv("TZ", "America/New_York", 1);
#endif
    tzset();
}

}  // namespace quirn::bench
