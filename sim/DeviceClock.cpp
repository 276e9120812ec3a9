#include "sim/DeviceClock.h"

namespace quirn::sim {

namespace {

constexpr long long kMsPerSecond = 1000;
constexpr double kSecondsPerHourF = 3600.0;
constexpr double kSlowestSpeed = 0.001;
constexpr double kFastestSpeed = 100000.0;

double clampedSpeed(double speed) {
    if (!(speed >= kSlowestSpeed)) return kSlowestSpeed;  // also catches NaN
    return speed > kFastestSpeed ? kFastestSpeed : speed;
}

}  // namespace

DeviceClock::DeviceClock(const Clock& host, const ZoneRule& zone, const SimClockSettings& settings)
    : host_(host), zone_(zone), settings_(settings) {
    settings_.speed = clampedSpeed(settings_.speed);
    setUtc(settings_.start ? *settings_.start : host_.now());
}

long long DeviceClock::nowMs() const {
    double elapsed = static_cast<double>(host_.nowMs() - baseHostMs_) * settings_.speed;
    elapsed += elapsed * settings_.driftSecondsPerHour / kSecondsPerHourF;
    return baseDeviceMs_ + static_cast<long long>(elapsed);
}

std::time_t DeviceClock::now() const {
    long long ms = nowMs();
    long long seconds = ms / kMsPerSecond - (ms % kMsPerSecond < 0 ? 1 : 0);
    return static_cast<std::time_t>(seconds);
}

LocalDateTime DeviceClock::local() const {
    std::time_t utc = now();
    LocalDateTime t;
    if (settings_.ignoresDaylightSaving) {
        int64_t wall = static_cast<int64_t>(utc) - int64_t{zone_.hoursWest} * kSecondsPerHour +
                       (dstAtSetting_ ? kSecondsPerHour : 0);
        t = fieldsOf(wall);
        t.isDst = dstAtSetting_;
    } else {
        t = zone_.toLocal(utc);
    }
    if (settings_.holdsDate) {
        bool dst = t.isDst;
        int64_t timeOfDay =
            wallSecondsOf(t) - daysFromCivil(t.year, t.month, t.day) * kSecondsPerDay;
        t = fieldsOf(dateAtSetting_ * kSecondsPerDay + timeOfDay);
        t.isDst = dst;
    }
    return t;
}

void DeviceClock::setUtc(std::time_t utc) {
    baseHostMs_ = host_.nowMs();
    baseDeviceMs_ = (static_cast<long long>(utc) + settings_.clockOffsetSeconds) * kMsPerSecond;
    noteSetting();
}

void DeviceClock::noteSetting() {
    std::time_t utc = now();
    dstAtSetting_ = zone_.inDaylightTime(utc);
    LocalDateTime t = zone_.toLocal(utc);
    dateAtSetting_ = daysFromCivil(t.year, t.month, t.day);
}

void DeviceClock::setLocal(const LocalDateTime& local) {
    setUtc(zone_.fromLocal(local));
}

}  // namespace quirn::sim
