#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "fleethealth/ReadRecord.h"
#include "plans/LocationReadState.h"

namespace quirn {

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
    std::time_t lastAnswered = 0;  // the latest read that brought data back (0: never)
    ReadState state = ReadState::NotRead;
    std::int32_t bytesRead = 0;
    bool validateDisabled = false;
    std::optional<double> clockOffsetSeconds;
    std::optional<double> driftSecondsPerDay;
    bool drifting = false;
    // When the clock reaches validation's limit at its drift (at or before its last read: it
    // already has).
    std::optional<std::time_t> clockLimitAt;
    ProgramMatch program = ProgramMatch::Unknown;
    int openErrors = 0;
};

}  // namespace quirn
