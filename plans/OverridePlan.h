#pragma once
#include <cstdint>
#include <ctime>
#include <vector>

#include "plans/Step.h"

namespace quirn {

// One group's override for the rest of the current day: timed ON/OFF steps that are paged to
// the group's time switches and then stay in force until the day ends.
struct OverridePlan {
    // States: loaded without "Enabled", enabled and waiting for the next tick, paged.
    static constexpr int32_t kInactive = 1;
    static constexpr int32_t kEnabled = 3;
    static constexpr int32_t kPaged = 4;
    // The step sort works on this many slots, so a plan never holds more.
    static constexpr size_t kMaxSteps = 30;
    // Override steps belong to no day plan.
    static constexpr int32_t kStepPlan = 0;

    int32_t state = kInactive;
    int32_t masterGroup = 1;
    int32_t group = 1;
    int32_t location = 0;  // 0 = all locations of the group
    std::vector<Step> steps;
    std::time_t lastSent = 0;  // "never" until paged; set by the store

    // In force: enabled or already paged.
    bool inForce() const { return state == kEnabled || state == kPaged; }

    // Adds a step (taken as it is). False, and the plan unchanged, when it already holds
    // kMaxSteps.
    bool addStep(const Step& step);

    // Sorts the steps ascending by minute of day (steps at the same minute keep their order)
    // and renumbers their positions 0, 1, 2 ... in the new order.
    void sortSteps();
};

}  // namespace quirn
