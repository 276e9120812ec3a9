#pragma once
#include <cstddef>
#include <ctime>
#include <vector>

#include "fleethealth/FleetRow.h"

namespace quirn {

// The fleet in a few numbers, for a manager's report and the technicians' daily mail.
struct FleetSummary {
    std::size_t locations = 0;
    std::size_t validated = 0;       // the last read validated
    std::size_t wrongClock = 0;      // the last read found the clock off by the limit or more
    std::size_t programDiffers = 0;  // the last read found another program
    std::size_t notReachable = 0;    // the last read got no answer or only part of one
    std::size_t drifting = 0;        // the clock drifts faster than the drift limit
    std::size_t notReadForWeek = 0;  // no read in the last seven days
    std::size_t validateDisabled = 0;

    // Whether anything calls for a technician: a wrong clock, a program that differs, a
    // switch not reached or a drifting clock.
    bool anythingWrong() const { return wrongClock + programDiffers + notReachable + drifting > 0; }
};

FleetSummary summarizeFleet(const std::vector<FleetRow>& rows, std::time_t now);

// The severity from which a location fails validation (a program that differs or a wrong
// clock); below it a location only wants watching.
inline constexpr int kFailingSeverity = 8;

// Whether the last read got no answer or only part of one.
bool isNotReachable(const FleetRow& row);
// How bad a row is: 0 for a healthy location; a program that differs weighs most, then a
// wrong clock, then a switch not reached, then a drifting clock.
int fleetSeverity(const FleetRow& row);
// The indices of at most `count` rows with something wrong, worst first (by severity, then
// the size of the clock offset, then the drift), ties in database order.
std::vector<std::size_t> worstRows(const std::vector<FleetRow>& rows, std::size_t count);

}  // namespace quirn
