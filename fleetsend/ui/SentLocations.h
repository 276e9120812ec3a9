#pragma once
#include <vector>

#include "fleetsend/SendItem.h"
#include "plans/LocationKey.h"

namespace quirn {

// The locations a send's items programmed, those that went out only: a location's own
// programming, and every location of the group that its group pages reached. Sorted, no
// repeats.
std::vector<LocationKey> sentLocations(const std::vector<SendItem>& items);

}  // namespace quirn
