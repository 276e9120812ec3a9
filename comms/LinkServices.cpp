#include "comms/LinkServices.h"

#include "plans/PlanDatabase.h"

namespace quirn {

void ReadTarget::set(Location* location) {
    location_ = location;
    if (!location) return;
    masterGroup_ = location->masterGroup;
    group_ = location->group;
    number_ = location->number;
}

Location* ReadTarget::get(const PlanDatabase* database) const {
    if (!location_) return nullptr;
    // Without a database the caller owns the location and keeps it alive.
    if (!database) return location_;
    Location* live = database->findLocation(masterGroup_, group_, number_);
    return live == location_ ? live : nullptr;
}

}  // namespace quirn
