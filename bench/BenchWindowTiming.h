#pragma once
#include <QApplication>
#include <functional>

#include "bench/BenchTiming.h"

namespace quirn::bench {

// A step of the window's thread, with the events it posted handled: what the user waits for.
inline double windowStepMs(const std::function<void()>& fn) {
    return timeMs([&fn] {
        fn();
        QApplication::processEvents();
    });
}

inline double bestWindowStepOf(int runs, const std::function<void()>& fn) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) best = std::min(best, windowStepMs(fn));
    return best;
}

// Offscreen, in the tests' time zone.
inline void fixWindowEnvironment() {
    fixTimeZone();
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace quirn::bench
