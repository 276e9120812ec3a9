#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/LocalTime.h"
#include "sim/ZoneRule.h"

namespace quirn::sim {

// One switching time of a day: minute of the local day and the relay code it sets (QN510: 1 ON,
// 0 OFF; MX40/LR40: relay 1 in bit 0, relay 2 in bit 1).
struct SwitchStep {
    int minuteOfDay = 0;
    int relayCode = 0;
};

// The steps a program holds for one local date (weekday filled in).
using StepsOfDay = std::function<std::vector<SwitchStep>(const LocalDateTime& date)>;

// Finds the last step whose moment falls in [fromMinute, toMinute] (minutes since 1970 UTC),
// reading each local day's steps with the switch's zone rule; the relay code it sets, or
// nothing when no step falls in the span. Spans longer than nine days look at the last nine.
std::optional<int> lastSwitchIn(const ZoneRule& zone, int64_t fromMinute, int64_t toMinute,
                                const StepsOfDay& stepsOfDay);

// Minutes since 1970 UTC of a time, rounded down.
int64_t minuteOf(std::time_t utc);

}  // namespace quirn::sim
