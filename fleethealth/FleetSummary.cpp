#include "fleethealth/FleetSummary.h"

#include <algorithm>
#include <cmath>

#include "fleethealth/FleetFilter.h"

namespace quirn {

namespace {
// A program that differs flashes at the wrong times all day: worse than a clock minutes off.
constexpr int kProgramWeight = 2 * kFailingSeverity;
constexpr int kClockWeight = kFailingSeverity;
constexpr int kUnreachableWeight = 4;
constexpr int kDriftWeight = 2;

double sizeOr0(const std::optional<double>& v) {
    return v ? std::fabs(*v) : 0.0;
}
}  // namespace

bool isNotReachable(const FleetRow& row) {
    return row.state == ReadState::ConnectionFailed || row.state == ReadState::PartialData;
}

int fleetSeverity(const FleetRow& row) {
    int severity = 0;
    if (row.program == ProgramMatch::Differs) severity += kProgramWeight;
    if (hasWrongClock(row)) severity += kClockWeight;
    if (isNotReachable(row)) severity += kUnreachableWeight;
    if (row.drifting) severity += kDriftWeight;
    return severity;
}

FleetSummary summarizeFleet(const std::vector<FleetRow>& rows, std::time_t now) {
    FleetSummary s;
    s.locations = rows.size();
    for (const FleetRow& r : rows) {
        if (r.state == ReadState::ValidatePassed) ++s.validated;
        if (hasWrongClock(r)) ++s.wrongClock;
        if (r.program == ProgramMatch::Differs) ++s.programDiffers;
        if (isNotReachable(r)) ++s.notReachable;
        if (r.drifting) ++s.drifting;
        if (notReadSince(r, now)) ++s.notReadForWeek;
        if (r.validateDisabled) ++s.validateDisabled;
    }
    return s;
}

std::vector<std::size_t> worstRows(const std::vector<FleetRow>& rows, std::size_t count) {
    std::vector<std::size_t> bad;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (fleetSeverity(rows[i]) > 0) bad.push_back(i);
    auto worse = [&](std::size_t a, std::size_t b) {
        const FleetRow& x = rows[a];
        const FleetRow& y = rows[b];
        if (fleetSeverity(x) != fleetSeverity(y)) return fleetSeverity(x) > fleetSeverity(y);
        if (sizeOr0(x.clockOffsetSeconds) != sizeOr0(y.clockOffsetSeconds))
            return sizeOr0(x.clockOffsetSeconds) > sizeOr0(y.clockOffsetSeconds);
        return sizeOr0(x.driftSecondsPerDay) > sizeOr0(y.driftSecondsPerDay);
    };
    const std::size_t n = std::min(count, bad.size());
    std::partial_sort(bad.begin(), bad.begin() + static_cast<std::ptrdiff_t>(n), bad.end(),
                      [&](std::size_t a, std::size_t b) {
                          if (worse(a, b)) return true;
                          if (worse(b, a)) return false;
                          return a < b;
                      });
    bad.resize(n);
    return bad;
}

}  // namespace quirn
