#include "validationrun/RunSelection.h"

#include "plans/Location.h"
#include "plans/LocationReadState.h"

namespace quirn {

bool isFailing(const Location& location) {
    return static_cast<ReadState>(location.readState) != ReadState::ValidatePassed;
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
    }
    return "all locations";
}

}  // namespace quirn
