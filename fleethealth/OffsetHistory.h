#pragma once
#include <ctime>
#include <vector>

#include "fleethealth/FleetRow.h"

namespace quirn {

// One read's clock offset: the time switch's clock minus the computer's, in seconds.
struct OffsetPoint {
    std::time_t at = 0;
    double offsetSeconds = 0;
};

// A straight fit of the offsets between two clock settings: offsetAtFrom at `from`, changing
// by secondsPerDay.
struct DriftLine {
    std::time_t from = 0;
    std::time_t to = 0;
    double offsetAtFrom = 0;
    double secondsPerDay = 0;

    double offsetAt(std::time_t t) const;
};

// The clock of one location over time: the offsets of its reads, oldest first, and the fits.
struct LocationOffsetHistory {
    std::vector<OffsetPoint> points;
    std::vector<DriftLine> fits;
};

// What the fleet views ask of the read history. The read history fills it; every call runs on
// the caller's thread.
class FleetHistorySource {
  public:
    virtual ~FleetHistorySource() = default;
    // The latest read and the drift of every location the history holds, in one query.
    virtual std::vector<LocationHealth> latestOfEveryLocation() = 0;
    // One location's offsets from `since` on (0: all kept) and the fits over them.
    virtual LocationOffsetHistory offsetHistory(int masterGroup, int group, int location,
                                                std::time_t since) = 0;
};

}  // namespace quirn
