#pragma once
#include <ctime>
#include <optional>
#include <span>
#include <vector>

#include "fleethealth/ReadRecord.h"

namespace quirn {

// Validation calls a clock wrong once it is 2 minutes off either way.
inline constexpr double kClockLimitSeconds = 120.0;
// A switch whose clock runs faster or slower than this is flagged "drifting": a good crystal
// keeps well under a second a day, so 2 s a day means a failing crystal or backup battery, and
// it still leaves a freshly set clock 60 days before validation fails it.
inline constexpr double kDriftingSecondsPerDay = 2.0;
// A fit needs this many reads with a clock, spread over at least this long, since the last set.
inline constexpr int kMinDriftPoints = 3;
inline constexpr std::time_t kMinDriftSpanSeconds = 24 * 60 * 60;
// A clock set is seen in the offsets when a read's offset comes back to within
// kClockSetNearZero of zero after one at least kClockSetJump farther from zero (both scaled
// for a switch that reports whole minutes, see isClockSet).
inline constexpr double kClockSetNearZeroSeconds = 15.0;
inline constexpr double kClockSetJumpSeconds = 30.0;
inline constexpr double kSecondsPerDay = 24.0 * 60.0 * 60.0;

// One clock offset of a read: computer's time and switch minus computer in seconds.
struct OffsetSample {
    std::time_t time = 0;
    double offsetSeconds = 0;
    bool wholeMinutes = false;  // the switch reports no seconds
    bool clockSent = false;     // the station set the clock here (no offset is read)
};

// Whether `next` starts a new run after `previous`: the station sent the clock, or the offset
// came back near zero from farther away (near zero: 15 s, or 60 s for a minute clock; the
// jump: at least 30 s, or 120 s for a minute clock, nearer to zero than the previous read).
bool isClockSet(const OffsetSample& previous, const OffsetSample& next);

// Least-squares sums of the offsets since the last clock set; adding a sample that is a set
// starts them afresh. x is days since the run's first sample, y the offset in seconds. The
// history keeps these per location so the fleet's drift needs no pass over its reads.
struct DriftSums {
    std::time_t runStart = 0;  // first sample of the run (0: no sample yet)
    int count = 0;
    double sumX = 0, sumY = 0, sumXX = 0, sumXY = 0;
    OffsetSample last;  // the latest sample (for the next set test)
    void add(const OffsetSample& sample);
};

// A location's drift at a glance.
struct DriftFit {
    bool known = false;  // enough points over a long enough span
    int points = 0;
    std::time_t since = 0;       // the run's first read (its clock's last set)
    std::time_t lastSample = 0;  // the run's last read with a clock
    double secondsPerDay = 0;    // + the switch gains, - it loses
    double offsetAtLast = 0;     // the fit's offset at lastSample
    // When the fitted offset reaches kClockLimitSeconds (either way) at this rate; nothing when
    // the rate is zero. A time at or before lastSample means it is already past.
    std::optional<std::time_t> crossesLimitAt;
    bool drifting = false;  // |secondsPerDay| >= kDriftingSecondsPerDay (and known)
};

DriftFit fitDrift(const DriftSums& sums);

// The samples of a location's history (time order), reads with a clock and clock sends.
std::vector<OffsetSample> offsetSamples(std::span<const ReadRecord> history);

// Every run between clock sets with its own fit, oldest first (for a chart's fit lines).
std::vector<DriftFit> driftRuns(std::span<const OffsetSample> samples);
// The fit of the reads since the last clock set.
DriftFit currentDrift(std::span<const OffsetSample> samples);

}  // namespace quirn
