#include "planedit/PlanEditTypes.h"

#include "plans/Location.h"

namespace quirn {

LocationFields LocationFields::of(const Location& location) {
    LocationFields f;
    f.name = location.name;
    f.type = location.type();
    f.model = location.model;
    f.connection = location.connection;
    f.imsi = location.imsi;
    f.striderTimeCode = location.striderTimeCode();
    f.validateDisabled = location.validateDisabledFlag();
    return f;
}

}  // namespace quirn
