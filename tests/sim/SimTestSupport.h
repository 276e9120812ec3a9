#pragma once
#include <string>

#include "platform/LocalTime.h"
#include "sim/SimSettings.h"

namespace quirn::sim::test {

// The suite runs with TZ=America/New_York: five hours west, daylight saving from the second
// Sunday of March to the first Sunday of November, the same rule the switches are sent.
inline constexpr int kNewYorkHoursWest = 5;

inline SimSettings settingsFor(SimModel model, SimAddress address, std::time_t start) {
    SimSettings s;
    s.model = model;
    s.address = address;
    s.zone = ZoneRule::northAmerican(kNewYorkHoursWest);
    s.clock.start = start;
    return s;
}

// A byte string from a list of numbers, for replies holding binary fields.
inline std::string bytesOf(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

}  // namespace quirn::sim::test
