#pragma once
#include <ctime>

#include "validationrun/RunCounts.h"

namespace quirn {

class Location;

// Told of every read a validation run finished, in the order they end: the read history keeps
// them. The location is the station's record as the read left it (read state, read-back image,
// read time); it is not kept beyond the call. `handled` tells a read that reached the read-back
// handler (a reply, or a link's time-out or failed connection with nothing) from one that ended
// only by the read state rule (an error reply, a refused request, a read past its time).
class ReadOutcomeSink {
  public:
    virtual ~ReadOutcomeSink() = default;
    virtual void runReadEnded(Location& location, ReadOutcome outcome, std::time_t when,
                              bool handled) = 0;
};

}  // namespace quirn
