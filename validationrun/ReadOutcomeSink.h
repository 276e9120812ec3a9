#pragma once
#include <ctime>

#include "validationrun/RunCounts.h"

namespace quirn {

class Location;

// Told of every read a validation run finished, in the order they end: the read history keeps
// them. The location is the station's record as the read left it (read state, read-back image,
// read time); it is not kept beyond the call.
class ReadOutcomeSink {
  public:
    virtual ~ReadOutcomeSink() = default;
    virtual void runReadEnded(const Location& location, ReadOutcome outcome, std::time_t when) = 0;
};

}  // namespace quirn
