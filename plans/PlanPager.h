#pragma once
#include <cstddef>

namespace quirn {

struct OverridePlan;
struct SummerPlan;
struct SummerLocation;

// What the override and summer ticks need to page a plan. The plan records know nothing of
// message formats or links; the application fills this with the real commands and queues them
// on the communications handler.
class PlanPager {
  public:
    virtual ~PlanPager() = default;

    // Appends the override command of one plan (addressed to its master group and group,
    // location 0) to the batch being built, and hands the plan's M2M locations to the M2M
    // transport. Returns the number of bytes the batch holds now; the store stops adding once
    // that passes its batch limit.
    virtual size_t addOverride(const OverridePlan& plan) = 0;
    // Queues the batch built since the last call. Called once per tick, only after at least one
    // addOverride.
    virtual void queueOverrides() = 0;

    // Builds the summer week command of one location, carrying the steps of its plan, and
    // queues it.
    virtual void sendSummerWeek(const SummerPlan& plan, const SummerLocation& location) = 0;
};

}  // namespace quirn
