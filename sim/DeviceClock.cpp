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
    return zone_.toLocal(now());
}

void DeviceClock::setUtc(std::time_t utc) {
    baseHostMs_ = host_.nowMs();
    baseDeviceMs_ = (static_cast<long long>(utc) + settings_.clockOffsetSeconds) * kMsPerSecond;
}

void DeviceClock::setLocal(const LocalDateTime& local) {
    setUtc(zone_.fromLocal(local));
}

}  // namespace quirn::sim
