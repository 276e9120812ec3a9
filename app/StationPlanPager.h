#pragma once
#include <string>

#include "plans/PlanPager.h"

namespace quirn {

class CommoHandler;
class PlanDatabase;
class Settings;

// Pages the override and summer plans with the protocol's commands through the
// communications handler.
class StationPlanPager final : public PlanPager {
  public:
    StationPlanPager(CommoHandler& commo, const Settings& settings, const PlanDatabase& database);

    // Appends the plan's override command to the batch when it fits whole in one message
    // buffer. Broadcasts skip the M2M client, so a command whose group has locations reached
    // through it also goes into a second batch, handed to the M2M client directly.
    size_t addOverride(const OverridePlan& plan) override;
    void queueOverrides() override;
    void sendSummerWeek(const SummerPlan& plan, const SummerLocation& location) override;

  private:
    CommoHandler& commo_;
    const Settings& settings_;
    const PlanDatabase& database_;
    std::string batch_;
    std::string m2mBatch_;
};

}  // namespace quirn
