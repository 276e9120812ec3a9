#pragma once
#include <ctime>
#include <string>

#include "platform/Clock.h"

namespace quirn::sim {

// A computer's time that whoever drives the time writes to a file: seconds since 1970 UTC as
// one number, with an optional fraction ("1765270805.250"). A station running on its own
// clock over simulated weeks writes its time there, so that the switches' clocks (and their
// drift) follow the station's weeks instead of the few real seconds they take. A file that is
// missing or holds no number leaves the time where it last was (the computer's time until a
// number was read); the writer is expected to replace the file whole (write, then rename).
class TimeFileClock final : public Clock {
  public:
    explicit TimeFileClock(std::string path);

    std::time_t now() const override;
    long long nowMs() const override;

    // The time file's number in milliseconds; nothing when it holds no number.
    static bool parse(const std::string& text, long long& ms);

  private:
    std::string path_;
    mutable long long lastMs_;
};

}  // namespace quirn::sim
