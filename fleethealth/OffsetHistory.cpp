#include "fleethealth/OffsetHistory.h"

#include "fleethealth/ClockDrift.h"

namespace quirn {

double DriftLine::offsetAt(std::time_t t) const {
    return offsetAtFrom + secondsPerDay * static_cast<double>(t - from) / kSecondsPerDay;
}

LocationOffsetHistory offsetHistoryOf(std::span<const ReadRecord> reads) {
    LocationOffsetHistory h;
    const std::vector<OffsetSample> samples = offsetSamples(reads);
    for (const OffsetSample& s : samples)
        if (!s.clockSent) h.points.push_back({s.time, s.offsetSeconds});
    for (const DriftFit& f : driftRuns(samples)) {
        if (!f.known) continue;
        const double days = static_cast<double>(f.lastSample - f.since) / kSecondsPerDay;
        h.fits.push_back(
            {f.since, f.lastSample, f.offsetAtLast - f.secondsPerDay * days, f.secondsPerDay});
    }
    return h;
}

}  // namespace quirn
