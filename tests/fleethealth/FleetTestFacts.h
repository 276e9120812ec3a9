#pragma once
#include <ctime>
#include <vector>

#include "fleethealth/FleetRow.h"
#include "plans/PlanDatabase.h"

namespace quirn::test {

// A fleet's history as the tests want it: every location read an hour before `now` with a
// small offset and a matching program, then a few locations with something wrong. The numbers
// of the chosen ones are those of the database's locations at the given positions.
struct FleetFacts {
    std::vector<LocationHealth> health;
    const Location* wrongClock = nullptr;      // +300 s
    const Location* programDiffers = nullptr;  // program differs
    const Location* neverRead = nullptr;       // no read in the history, snapshot never read
    const Location* drifting = nullptr;        // 9 s/day, flagged
    const Location* unreachable = nullptr;     // last read: connection failed
};

inline LocationHealth healthyRead(const Location& l, std::time_t at, double offset) {
    LocationHealth h;
    h.masterGroup = l.masterGroup;
    h.group = l.group;
    h.location = l.number;
    h.lastReadTime = at;
    h.lastState = ReadState::ValidatePassed;
    h.clockOffsetSeconds = offset;
    h.program = ProgramMatch::Matches;
    h.driftSecondsPerDay = 0.1;
    return h;
}

inline FleetFacts makeFleetFacts(PlanDatabase& db, std::time_t now) {
    constexpr std::time_t kHour = 3600;
    FleetFacts f;
    std::vector<Location*> all = db.allLocations();
    f.wrongClock = all.at(1);
    f.programDiffers = all.at(2);
    f.neverRead = all.at(3);
    f.drifting = all.at(5);
    f.unreachable = all.at(7);
    // The snapshot's own reads are older than the history's; the one never read has none.
    for (Location* l : all) l->lastReadTime = now - 30 * 24 * kHour;
    all.at(3)->lastReadTime = defaultLocationReadTime();
    all.at(3)->readState = static_cast<int32_t>(ReadState::NotRead);
    for (const Location* l : all) {
        if (l == f.neverRead) continue;
        LocationHealth h = healthyRead(*l, now - kHour, 5);
        if (l == f.wrongClock) h.clockOffsetSeconds = 300, h.lastState = ReadState::ValidateFailed;
        if (l == f.programDiffers)
            h.program = ProgramMatch::Differs, h.lastState = ReadState::ValidateFailed;
        if (l == f.drifting) h.driftSecondsPerDay = 9, h.drifting = true;
        if (l == f.unreachable) {
            h.lastState = ReadState::ConnectionFailed;
            h.clockOffsetSeconds.reset();
            h.program = ProgramMatch::Unknown;
        }
        f.health.push_back(h);
    }
    return f;
}

}  // namespace quirn::test
