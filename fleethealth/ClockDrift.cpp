#include "fleethealth/ClockDrift.h"

#include <cmath>

namespace quirn {

namespace {
// A switch that reports whole minutes reads up to a minute off whatever its true offset, so
// its set test asks for a minute's slack and a larger jump.
constexpr double kMinuteClockNearZeroSeconds = 60.0;
constexpr double kMinuteClockJumpSeconds = 120.0;

double daysSince(std::time_t start, std::time_t time) {
    return static_cast<double>(time - start) / kSecondsPerDay;
}

std::time_t timeAtDays(std::time_t start, double days) {
    return start + static_cast<std::time_t>(std::llround(days * kSecondsPerDay));
}
}  // namespace

bool isClockSet(const OffsetSample& previous, const OffsetSample& next) {
    if (next.clockSent) return true;
    if (previous.clockSent) return false;
    const bool minutes = previous.wholeMinutes || next.wholeMinutes;
    const double nearZero = minutes ? kMinuteClockNearZeroSeconds : kClockSetNearZeroSeconds;
    const double jump = minutes ? kMinuteClockJumpSeconds : kClockSetJumpSeconds;
    const double now = std::fabs(next.offsetSeconds);
    return now <= nearZero && std::fabs(previous.offsetSeconds) - now >= jump;
}

void DriftSums::add(const OffsetSample& sample) {
    const bool set = count > 0 ? isClockSet(last, sample) : sample.clockSent;
    if (set) *this = DriftSums{};
    last = sample;
    if (sample.clockSent) return;
    if (count == 0) runStart = sample.time;
    const double x = daysSince(runStart, sample.time);
    const double y = sample.offsetSeconds;
    ++count;
    sumX += x;
    sumY += y;
    sumXX += x * x;
    sumXY += x * y;
}

DriftFit fitDrift(const DriftSums& sums) {
    DriftFit fit;
    fit.points = sums.count;
    if (sums.count == 0) return fit;
    fit.since = sums.runStart;
    fit.lastSample = sums.last.time;
    const double n = sums.count;
    const double spread = n * sums.sumXX - sums.sumX * sums.sumX;
    if (sums.count < kMinDriftPoints || fit.lastSample - fit.since < kMinDriftSpanSeconds ||
        spread <= 0) {
        fit.offsetAtLast = sums.last.offsetSeconds;
        return fit;
    }
    const double slope = (n * sums.sumXY - sums.sumX * sums.sumY) / spread;
    const double intercept = (sums.sumY - slope * sums.sumX) / n;
    fit.known = true;
    fit.secondsPerDay = slope;
    fit.offsetAtLast = intercept + slope * daysSince(fit.since, fit.lastSample);
    fit.drifting = std::fabs(slope) >= kDriftingSecondsPerDay;
    if (std::fabs(fit.offsetAtLast) >= kClockLimitSeconds) {
        // Already past the limit: on the side it went, when the fit crossed it (or now, when it
        // is coming back).
        const double side = fit.offsetAtLast > 0 ? kClockLimitSeconds : -kClockLimitSeconds;
        const bool goingAway = (slope > 0) == (side > 0) && slope != 0;
        fit.crossesLimitAt =
            goingAway ? timeAtDays(fit.since, (side - intercept) / slope) : fit.lastSample;
    } else if (slope != 0) {
        const double limit = slope > 0 ? kClockLimitSeconds : -kClockLimitSeconds;
        fit.crossesLimitAt = timeAtDays(fit.since, (limit - intercept) / slope);
    }
    return fit;
}

std::vector<OffsetSample> offsetSamples(std::span<const ReadRecord> history) {
    std::vector<OffsetSample> samples;
    for (const ReadRecord& read : history) {
        if (read.clockSent)
            samples.push_back({read.time, 0, false, true});
        else if (read.hasClock)
            samples.push_back({read.time, static_cast<double>(read.clockOffsetSeconds),
                               !read.clockHasSeconds, false});
    }
    return samples;
}

std::vector<DriftFit> driftRuns(std::span<const OffsetSample> samples) {
    std::vector<DriftFit> runs;
    DriftSums sums;
    for (const OffsetSample& sample : samples) {
        const bool set = sums.count > 0 && isClockSet(sums.last, sample);
        if (set) runs.push_back(fitDrift(sums));
        sums.add(sample);
    }
    if (sums.count > 0) runs.push_back(fitDrift(sums));
    return runs;
}

DriftFit currentDrift(std::span<const OffsetSample> samples) {
    DriftSums sums;
    for (const OffsetSample& sample : samples) sums.add(sample);
    return fitDrift(sums);
}

}  // namespace quirn
