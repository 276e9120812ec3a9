#pragma once
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>

#include "protocol/Validation.h"
#include "testing/SwitchReading.h"

namespace quirn {

class Clock;
class CommoHandler;
class Location;
class PlanDatabase;
class PlanDownload;

// The time switch every test drives: location 1 of group 1 in master group 1 of the plan
// database. Everything goes through the communications handler to the link the location's
// connection names, as for any read; the messages follow the location's model.
class SwitchUnderTest {
  public:
    static constexpr int kMasterGroup = 1;
    static constexpr int kGroup = 1;
    static constexpr int kLocation = 1;

    SwitchUnderTest(const Clock& clock, CommoHandler& commo, PlanDatabase& database,
                    PlanDownload& download);

    // Looked up at every call: the database may have lost it meanwhile. Null when missing.
    Location* location() const;
    // Its read-back carries the date and the seconds of its clock, and its memory annual plans
    // (the program-image models); a paged model reports weekday, hour and minute only and
    // keeps weekly tables. False without a location.
    bool reportsDateAndSeconds() const;

    // Queues the model's time message for `when` (local time) to the location alone, never to
    // everyone: test dates must not reach the rest of the fleet. False without a location.
    bool setClock(std::time_t when);
    // Starts a read of the location; an earlier answer no longer counts. False without a
    // location.
    bool startRead();
    // The reading once the read started last has been answered with a decodable image.
    std::optional<SwitchReading> answer() const;
    // The location's link is still collecting a reply (a slow answer is on its way) or, after a
    // Strider's read, fetching and clearing its activation log.
    bool stillReading() const;
    // Queues the location's complete programming; the byte count, 0 when nothing went out.
    std::size_t startDownload();
    // The last read-back holds the group's program (whatever its clock said).
    bool programMatches();

    // Milliseconds the transmitter needs for `bytes`, rounded up to whole seconds.
    static long long onAirMs(std::size_t bytes);

  private:
    const Clock& clock_;
    CommoHandler& commo_;
    PlanDatabase& database_;
    PlanDownload& download_;
    Validation validation_;
    int repliesBefore_ = 0;
    bool reading_ = false;
};

}  // namespace quirn
