#pragma once
#include <ctime>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "sim/SimSettings.h"
#include "sim/ZoneRule.h"

namespace quirn::sim {

// The simulated time switch's own clock: it runs from the host clock at a speed factor, drifts
// by a given number of seconds per hour, and is off by a fixed offset from every time it is
// given (the start time included). Local time comes from its own zone rule; a faulty clock may
// keep the date it was set to, or the daylight-saving offset in force when it was set.
class DeviceClock {
  public:
    DeviceClock(const Clock& host, const ZoneRule& zone, const SimClockSettings& settings);

    // Milliseconds and seconds since 1970 UTC on the switch's clock.
    long long nowMs() const;
    std::time_t now() const;
    LocalDateTime local() const;

    // Sets the clock: from now on it reads `utc` plus the configured offset.
    void setUtc(std::time_t utc);
    // Sets the clock from local fields read with the switch's zone rule.
    void setLocal(const LocalDateTime& local);

    const ZoneRule& zone() const { return zone_; }
    void setZone(const ZoneRule& zone) { zone_ = zone; }

  private:
    void noteSetting();

    const Clock& host_;
    ZoneRule zone_;
    SimClockSettings settings_;
    long long baseHostMs_ = 0;
    long long baseDeviceMs_ = 0;
    int64_t dateAtSetting_ = 0;  // local day number of the last setting
    bool dstAtSetting_ = false;  // daylight time was in force at the last setting
};

}  // namespace quirn::sim
