#include "protocol/StoreSources.h"

namespace quirn {

OverrideState OverrideStoreSource::overrideOf(int masterGroup, int group) const {
    OverrideState state;
    const OverridePlan* plan = store_.find(masterGroup, group);
    if (plan == nullptr) return state;
    state.hasEntry = true;
    state.active = store_.overrideInForce(masterGroup, group, clock_.now());
    for (const Step& s : plan->steps)
        state.steps.push_back({OverridePlan::kStepPlan, s.hour, s.minute, s.command});
    return state;
}

std::vector<SummerStep> SummerStoreSource::summerSteps(int masterGroup, int group,
                                                       int location) const {
    std::vector<SummerStep> steps;
    if (const SummerPlan* plan = store_.findPlanOf(masterGroup, group, location))
        for (const SummerPlanStep& s : plan->steps)
            steps.push_back({s.onHour, s.onMinute, s.offHour, s.offMinute});
    return steps;
}

bool SummerStoreSource::summerInEffect(int masterGroup, int group, int location,
                                       std::time_t now) const {
    const SummerPlan* plan = store_.findPlanOf(masterGroup, group, location);
    return plan != nullptr && plan->isActive(now);
}

}  // namespace quirn
