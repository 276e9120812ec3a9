#pragma once
#include "plans/OverrideStore.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "protocol/PlanSources.h"

namespace quirn {

// The override store as plan download asks it: an entry is any plan the store holds for the
// group; it is active while the store reports it in force today.
class OverrideStoreSource : public OverrideSource {
  public:
    OverrideStoreSource(const OverrideStore& store, const Clock& clock)
        : store_(store), clock_(clock) {}
    OverrideState overrideOf(int masterGroup, int group) const override;

  private:
    const OverrideStore& store_;
    const Clock& clock_;
};

// The summer plan store: the first plan holding a location gives its entries, and is in
// effect while that plan is active.
class SummerStoreSource : public SummerSource {
  public:
    explicit SummerStoreSource(const SummerPlanStore& store) : store_(store) {}
    std::vector<SummerStep> summerSteps(int masterGroup, int group, int location) const override;
    bool summerInEffect(int masterGroup, int group, int location, std::time_t now) const override;

  private:
    const SummerPlanStore& store_;
};

}  // namespace quirn
