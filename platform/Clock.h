#pragma once
#include <ctime>

namespace quirn {

// Source of "now" for the whole system. Everything that asks the time goes through a Clock so
// that tests can run hours of schedule on a ManualClock in milliseconds.
class Clock {
  public:
    virtual ~Clock() = default;
    // Seconds since 1970-01-01 00:00:00 UTC.
    virtual std::time_t now() const = 0;
    // Milliseconds of a monotonic counter (start point unspecified); used for short waits.
    virtual long long nowMs() const = 0;
};

class SystemClock final : public Clock {
  public:
    std::time_t now() const override;
    long long nowMs() const override;
};

// A clock that only moves when told to. now() and nowMs() advance together.
class ManualClock final : public Clock {
  public:
    explicit ManualClock(std::time_t start = 0) : ms_(static_cast<long long>(start) * 1000) {}
    std::time_t now() const override { return static_cast<std::time_t>(ms_ / 1000); }
    long long nowMs() const override { return ms_; }
    void set(std::time_t t) { ms_ = static_cast<long long>(t) * 1000; }
    void advanceMs(long long ms) { ms_ += ms; }
    void advance(long long seconds) { ms_ += seconds * 1000; }

  private:
    long long ms_;
};

}  // namespace quirn
