#pragma once
#include "ops/LocationNames.h"

namespace quirn {

class PlanDatabase;

// Location names straight from the plan database, looked up at the time a text is made.
class PlanLocationNames final : public LocationNames {
  public:
    explicit PlanLocationNames(const PlanDatabase& database) : database_(database) {}
    std::optional<std::string> locationName(int masterGroup, int group,
                                            int location) const override;

  private:
    const PlanDatabase& database_;
};

}  // namespace quirn
