#pragma once
#include <string>

#include "plans/PlanPager.h"

namespace quirn {

class CommoHandler;
class Settings;

// Pages the override and summer plans with the protocol's commands through the
// communications handler.
class StationPlanPager final : public PlanPager {
public:
    StationPlanPager(CommoHandler& commo, const Settings& settings);

    // Appends the plan's override command to the batch when it fits whole in one message
    // buffer. The batch is queued for every link, the M2M client's among them.
    size_t addOverride(const OverridePlan& plan) override;
    void queueOverrides() override;
    void sendSummerWeek(const SummerPlan& plan, const SummerLocation& location) override;

private:
    CommoHandler& commo_;
    const Settings& settings_;
    std::string batch_;
};

}  // namespace quirn
