#pragma once
#include <ctime>
#include <string_view>

#include "fleethealth/ClockDrift.h"
#include "fleethealth/FleetRow.h"

namespace quirn {

// The questions a technician asks of the fleet, each a filter of the rows.
enum class FleetFilter {
    All,
    WrongClock,      // the last read found the clock off by the validation's limit or more
    ProgramDiffers,  // the last read found another program than the station's
    NotReadForWeek,  // no read brought data back in the last seven days (or ever)
    Drifting,        // the clock drifts faster than the drift limit
};

inline constexpr FleetFilter kFleetFilters[] = {FleetFilter::All, FleetFilter::WrongClock,
                                                FleetFilter::ProgramDiffers,
                                                FleetFilter::NotReadForWeek, FleetFilter::Drifting};

// The validation fails a clock off by two minutes or more either way.
inline constexpr double kWrongClockSeconds = kClockLimitSeconds;
inline constexpr std::time_t kNotReadSeconds = 7 * 24 * 60 * 60;

// "All locations", "Wrong clock", "Program differs", "Not read for 7 days", "Drifting".
const char* fleetFilterText(FleetFilter filter);

bool hasWrongClock(const FleetRow& row);
// No read brought data back in the last seven days (or ever).
bool notReadSince(const FleetRow& row, std::time_t now);
// Whether the row answers the filter's question at `now`.
bool fleetFilterAccepts(FleetFilter filter, const FleetRow& row, std::time_t now);

}  // namespace quirn
