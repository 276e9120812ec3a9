#include "platform/Clock.h"

#include <chrono>

namespace quirn {

std::time_t SystemClock::now() const {
    return std::time(nullptr);
}

long long SystemClock::nowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace quirn
