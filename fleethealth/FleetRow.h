#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "plans/LocationReadState.h"

namespace quirn {

// Whether a location's last complete read found the program the station would send.
enum class ProgramMatch : std::uint8_t { Unknown, Matches, Differs };

// What the read history knows of one location: its latest read and the drift of its clock.
// Every field is optional because a location may never have been read since history began.
struct LocationHealth {
    int masterGroup = 0;
    int group = 0;
    int location = 0;
    std::time_t lastReadTime = 0;  // 0: no read in the history
    std::optional<ReadState> lastState;
    std::optional<double> clockOffsetSeconds;  // time switch minus computer, at the last read
    ProgramMatch program = ProgramMatch::Unknown;
    std::optional<double> driftSecondsPerDay;  // fit over the reads since the clock was set
    bool drifting = false;                     // faster than the drift limit
    std::optional<double> daysUntilClockLimit;
};

// One line of the fleet: a location, how it was last read and how its clock is going.
struct FleetRow {
    int masterGroup = 0;
    int group = 0;
    int location = 0;
    std::string groupName;
    std::string name;
    std::int32_t model = 0;
    std::string connection;        // the location's connection address
    std::time_t lastReadTime = 0;  // 0: never read
    ReadState state = ReadState::NotRead;
    std::int32_t bytesRead = 0;
    bool validateDisabled = false;
    std::optional<double> clockOffsetSeconds;
    std::optional<double> driftSecondsPerDay;
    bool drifting = false;
    std::optional<double> daysUntilClockLimit;
    ProgramMatch program = ProgramMatch::Unknown;
    int openErrors = 0;
};

}  // namespace quirn
