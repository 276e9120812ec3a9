#include "calendar/control/Module.h"

#include <atomic>

namespace quirn::vorncal {

namespace {
std::atomic<long> gObjects{0};
std::atomic<long> gLocks{0};
}  // namespace

void objectCreated() {
    ++gObjects;
}
void objectDestroyed() {
    --gObjects;
}
void lockServer(bool lock) {
    lock ? ++gLocks : --gLocks;
}
bool canUnload() {
    return gObjects.load() == 0 && gLocks.load() <= 0;
}

CalendarModule& calendarModule() {
    static CalendarModule module;
    return module;
}

const Clock& systemClock() {
    static const SystemClock clock;
    return clock;
}

}  // namespace quirn::vorncal
