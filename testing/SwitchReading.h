#pragma once
#include <optional>

#include "platform/LocalTime.h"

namespace quirn {

class Location;

// What one read of the time switch under test showed: its clock as the switch's own fields say
// (not through the station's time zone, so a wrong daylight-saving offset stays visible) and
// its relay.
struct SwitchReading {
    LocalDateTime clock = kNever;
    bool relayOn = false;
};

// The reading of the location's latest decoded read-back; nothing when it has none or its clock
// bytes form no date.
std::optional<SwitchReading> readingOf(const Location& location);

}  // namespace quirn
