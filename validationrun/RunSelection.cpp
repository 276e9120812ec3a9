#include "validationrun/RunSelection.h"

#include <algorithm>

#include "plans/Location.h"
#include "plans/LocationReadState.h"

namespace quirn {

bool isFailing(const Location& location) {
    return static_cast<ReadState>(location.readState) != ReadState::ValidatePassed;
}

RunSelection RunSelection::ofLocations(std::vector<LocationKey> keys) {
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return {RunScope::Locations, 0, 0,
            std::make_shared<const std::vector<LocationKey>>(std::move(keys))};
}

bool RunSelection::mayIncludeGroup(int mg, int g) const {
    switch (scope) {
        case RunScope::All:
        case RunScope::Failing:
            return true;
        case RunScope::MasterGroup:
            return mg == masterGroup;
        case RunScope::Group:
            return mg == masterGroup && g == group;
        case RunScope::Locations: {
            if (!locations) return false;
            auto at = std::lower_bound(locations->begin(), locations->end(), LocationKey{mg, g, 0});
            return at != locations->end() && at->masterGroup == mg && at->group == g;
        }
    }
    return false;
}

bool RunSelection::includes(const Location& location) const {
    switch (scope) {
        case RunScope::All:
            return true;
        case RunScope::MasterGroup:
            return location.masterGroup == masterGroup;
        case RunScope::Group:
            return location.masterGroup == masterGroup && location.group == group;
        case RunScope::Failing:
            return isFailing(location);
        case RunScope::Locations:
            return locations && std::binary_search(locations->begin(), locations->end(),
                                                   LocationKey{location.masterGroup, location.group,
                                                               location.number});
    }
    return false;
}

std::string RunSelection::text() const {
    switch (scope) {
        case RunScope::All:
            break;
        case RunScope::MasterGroup:
            return "master group " + std::to_string(masterGroup);
        case RunScope::Group:
            return "group " + std::to_string(group) + " of master group " +
                   std::to_string(masterGroup);
        case RunScope::Failing:
            return "failing locations";
        case RunScope::Locations: {
            const std::size_t n = locations ? locations->size() : 0;
            return std::to_string(n) + (n == 1 ? " location" : " locations");
        }
    }
    return "all locations";
}

}  // namespace quirn
