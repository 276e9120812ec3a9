#include "platform/SingleInstance.h"

#include <chrono>
#include <thread>

#include "platform/Deadline.h"

namespace quirn {

namespace {
// How often a waiting copy looks whether the lock was released.
constexpr int kRetryMs = 50;
}  // namespace

bool SingleInstance::acquireWithin(int waitMs) {
    const auto deadline = deadlineAfter(waitMs);
    while (!acquire()) {
        if (millisecondsLeft(deadline) == 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
    }
    return true;
}

}  // namespace quirn
