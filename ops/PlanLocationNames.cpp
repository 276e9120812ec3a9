#include "ops/PlanLocationNames.h"

#include "plans/Location.h"
#include "plans/PlanDatabase.h"

namespace quirn {

std::optional<std::string> PlanLocationNames::locationName(int masterGroup, int group,
                                                           int location) const {
    const Location* found = database_.findLocation(masterGroup, group, location);
    if (!found) return std::nullopt;
    return found->name;
}

}  // namespace quirn
