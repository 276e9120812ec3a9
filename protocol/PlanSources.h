#pragma once
#include <ctime>
#include <vector>

#include "protocol/WeekSteps.h"

namespace quirn {

// What plan download needs from the override store and the summer plan store. The stores
// live with the plan records; the application (or a tool) fills these from them.

// A group's override as plan download sees it today.
struct OverrideState {
    bool hasEntry = false;  // the store holds a plan for the group
    bool active = false;    // and it is in force
    std::vector<PlanStep> steps;
};

class OverrideSource {
  public:
    virtual ~OverrideSource() = default;
    virtual OverrideState overrideOf(int masterGroup, int group) const = 0;
};

class SummerSource {
  public:
    virtual ~SummerSource() = default;
    // The summer entries of the plan holding the location (empty when none does).
    virtual std::vector<SummerStep> summerSteps(int masterGroup, int group, int location) const = 0;
    // True when a plan holding the location is active at `now`.
    virtual bool summerInEffect(int masterGroup, int group, int location,
                                std::time_t now) const = 0;
};

}  // namespace quirn
