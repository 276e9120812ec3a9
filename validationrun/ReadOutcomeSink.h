#pragma once
#include <ctime>

#include "validationrun/RunCounts.h"

namespace quirn {

class Location;

// Told of every read a validation run finished, in the order they end: the read history keeps
// them. The location is the station's record as the read left it (read state, read-back image,
// read time); it is not kept beyond the call. `answered` tells a read whose reply was handed to
// the location from one that ended without (no connection, silence, an error reply).
class ReadOutcomeSink {
  public:
    virtual ~ReadOutcomeSink() = default;
    virtual void runReadEnded(Location& location, ReadOutcome outcome, std::time_t when,
                              bool answered) = 0;
};

}  // namespace quirn
