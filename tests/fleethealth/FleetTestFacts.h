#pragma once
#include <ctime>
#include <vector>

#include "fleethealth/FleetRow.h"
#include "fleethealth/LocationHealth.h"
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
    const Location* drifting = nullptr;        // 9 s/day over ten daily reads
    const Location* unreachable = nullptr;     // last read: connection failed
};

inline LocationHealth healthyRead(const Location& l, std::time_t at, long long offset) {
    LocationHealth h;
    h.latest.time = at;
    h.latest.location = {l.masterGroup, l.group, l.number};
    h.latest.state = ReadState::ValidatePassed;
    h.latest.hasClock = true;
    h.latest.clockHasSeconds = true;
    h.latest.clockOffsetSeconds = offset;
    h.latest.program = ProgramMatch::Matched;
    h.lastAnswered = at;
    h.lastValidated = at;
    return h;
}

// One offset a day for `days` days up to `end`, gaining `perDay` seconds a day from 0.
inline void addDailyOffsets(LocationHealth& h, std::time_t end, int days, double perDay) {
    constexpr std::time_t kDay = 24 * 60 * 60;
    for (int d = 0; d < days; ++d)
        h.drift.add({end - (days - 1 - d) * kDay, perDay * d, false, false});
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
        if (l == f.wrongClock) {
            h.latest.clockOffsetSeconds = 300;
            h.latest.state = ReadState::ValidateFailed;
        }
        if (l == f.programDiffers) {
            h.latest.program = ProgramMatch::Differs;
            h.latest.state = ReadState::ValidateFailed;
        }
        if (l == f.drifting) addDailyOffsets(h, now - kHour, 10, 9.0);
        if (l == f.unreachable) {
            h.latest.state = ReadState::ConnectionFailed;
            h.latest.hasClock = false;
            h.latest.program = ProgramMatch::Unknown;
            h.lastAnswered = now - 48 * kHour;
        }
        f.health.push_back(h);
    }
    return f;
}

}  // namespace quirn::test
