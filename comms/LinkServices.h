#pragma once

#include "ops/LogWriter.h"
#include "platform/Clock.h"

namespace quirn {

class CommsMessages;
class ReplyJudge;
class PlanDatabase;
class Location;

// What every link uses and nothing owns but the application: the clock, the log writer, the
// message builders, the reply judge and the plan database (to notice a location deleted while
// it was read).
struct LinkServices {
    const Clock& clock;
    LogWriter log;
    CommsMessages& messages;
    ReplyJudge& judge;
    const PlanDatabase* database = nullptr;
};

// The location a link is reading. Its numbers are kept beside the pointer so that a location
// deleted meanwhile is noticed instead of touched.
class ReadTarget {
  public:
    void set(Location* location);
    void clear() { location_ = nullptr; }
    bool isSet() const { return location_ != nullptr; }
    // The location, or null when none is set or the database no longer holds it.
    Location* get(const PlanDatabase* database) const;

  private:
    Location* location_ = nullptr;
    int masterGroup_ = 0;
    int group_ = 0;
    int number_ = 0;
};

}  // namespace quirn
