#pragma once
#include <cstddef>
#include <tuple>
#include <vector>

#include "plans/OverridePlan.h"
#include "plans/PlanPager.h"
#include "plans/SummerPlan.h"

namespace quirn::test {

// Remembers what the stores asked to page. Each override adds bytesPerOverride to the batch.
class RecordingPager : public PlanPager {
  public:
    size_t bytesPerOverride = 100;
    std::vector<OverridePlan> overrides;                 // every plan added, in order
    std::vector<size_t> batchSizes;                      // plans per queued batch
    std::vector<std::tuple<int, int, int>> summerPages;  // master group, group, location
    std::vector<std::string> summerPlanNames;

    size_t addOverride(const OverridePlan& plan) override {
        overrides.push_back(plan);
        ++pending_;
        return pending_ * bytesPerOverride;
    }
    void queueOverrides() override {
        batchSizes.push_back(pending_);
        pending_ = 0;
    }
    void sendSummerWeek(const SummerPlan& plan, const SummerLocation& location) override {
        summerPages.emplace_back(location.masterGroup, location.group, location.location);
        summerPlanNames.push_back(plan.name);
    }

  private:
    size_t pending_ = 0;
};

}  // namespace quirn::test
