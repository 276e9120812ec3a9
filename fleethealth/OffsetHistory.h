#pragma once
#include <ctime>
#include <span>
#include <vector>

#include "fleethealth/LocationHealth.h"
#include "fleethealth/ReadRecord.h"

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

// The clock of one location over time: the offsets of its reads, oldest first, and the fits
// of the runs between clock settings.
struct LocationOffsetHistory {
    std::vector<OffsetPoint> points;
    std::vector<DriftLine> fits;
};

// The offsets and the fits of a location's reads (oldest first).
LocationOffsetHistory offsetHistoryOf(std::span<const ReadRecord> reads);

// What the fleet views ask of the read history: the station's history, or a history file
// opened by quirnctl. Every call runs on the caller's thread.
class FleetHistorySource {
  public:
    virtual ~FleetHistorySource() = default;
    // The latest read and the drift of every location the history holds, in one query.
    virtual std::vector<LocationHealth> latestOfEveryLocation() const = 0;
    // One location's reads from `since` on (0: all kept), oldest first.
    virtual std::vector<ReadRecord> locationHistory(const LocationKey& location,
                                                    std::time_t since) const = 0;
};

// Answers from any history that has those two queries (the station's ReadHistory, a
// ReadHistoryStore opened for reading).
template <typename History>
class HistorySourceOf final : public FleetHistorySource {
  public:
    explicit HistorySourceOf(const History& history) : history_(history) {}
    std::vector<LocationHealth> latestOfEveryLocation() const override {
        return history_.latestOfEveryLocation();
    }
    std::vector<ReadRecord> locationHistory(const LocationKey& location,
                                            std::time_t since) const override {
        return history_.locationHistory(location, since);
    }

  private:
    const History& history_;
};

}  // namespace quirn
