#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "plans/LocationReadState.h"

namespace quirn {

class Location;

// Seconds after which a read or a write is given up.
inline constexpr std::time_t kReadLinkGrace = 1;  // link no longer reading after this
inline constexpr std::time_t kReadTimeout = 90;
inline constexpr std::time_t kWriteShown = 20;

// Whether the link a location is read through is still reading.
class ReadLinkStatus {
  public:
    virtual ~ReadLinkStatus() = default;
    // Nothing when the location has no link.
    virtual std::optional<bool> linkReading(const Location& location) const = 0;
};

// Sets the state and the time it was set.
void setReadState(Location& location, ReadState state, std::time_t now);

// The state as asked for now: master group 1, group 99, location 99 always reports
// "validate passed"; a read whose link stopped reading (after a second) or that ran past 90
// seconds becomes "connection failed"; a write shown for more than 20 seconds goes back to
// "not read". The location is updated.
ReadState refreshReadState(Location& location, std::time_t now,
                           const ReadLinkStatus* links = nullptr);

// The status text of a state ("%s, %s Not Read Yet." ... with the group and location names).
// `bytesRead` fills "Partial Data", `seconds` fills "Writing"; a location whose validation is
// switched off reads "Validate Disabled: %s, %s.".
std::string readStateText(ReadState state, const std::string& groupName,
                          const std::string& locationName, int bytesRead = 0, int seconds = 0,
                          bool validateDisabled = false);

}  // namespace quirn
