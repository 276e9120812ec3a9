#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "fleethealth/ReadHistoryStore.h"
#include "tests/fleethealth/FleetTestFacts.h"
#include "tests/fleethealth/HistoryTestReads.h"

namespace quirn::test {

inline constexpr int kFleetHistoryDays = 10;

// The reads FleetFacts describes, as the station would have taken them: a read a day for ten
// days up to an hour before `now` for every location but the one never read. The wrong clock
// is 300 s fast on every read (set wrong, not drifting), the drifting one gains 9 s a day from
// 0, the unreachable one stopped answering at its last read, the program that differs failed
// its last read.
inline std::vector<ReadRecord> fleetHistoryReads(const PlanDatabase& db, const FleetFacts& f,
                                                 std::time_t now) {
    constexpr std::time_t kHour = 3600;
    std::vector<ReadRecord> reads;
    const std::time_t last = now - kHour;
    for (const Location* l : db.allLocations()) {
        if (l == f.neverRead) continue;
        const LocationKey key{l->masterGroup, l->group, l->number};
        for (int d = 0; d < kFleetHistoryDays; ++d) {
            const std::time_t at = last - (kFleetHistoryDays - 1 - d) * kDaySeconds;
            const bool lastRead = d == kFleetHistoryDays - 1;
            ReadRecord r = validatedRead(key, at, 5);
            if (l == f.wrongClock) {
                r.clockOffsetSeconds = 300;
                r.state = ReadState::ValidateFailed;
                r.resultBits = 2;
            }
            if (l == f.drifting) r.clockOffsetSeconds = 9 * d;
            if (l == f.programDiffers && lastRead) {
                r.program = ProgramMatch::Differs;
                r.state = ReadState::ValidateFailed;
                r.resultBits = 1;
            }
            if (l == f.unreachable && lastRead) r = failedRead(key, at);
            reads.push_back(r);
        }
    }
    return reads;
}

// Writes them into a real history file at `path`; false (with the store's error) on failure.
inline bool writeFleetHistory(const std::string& path, const PlanDatabase& db, const FleetFacts& f,
                              std::time_t now, std::string* error = nullptr) {
    ReadHistoryStore store;
    if (!store.open(path, now).ok()) {
        if (error) *error = store.lastError();
        return false;
    }
    const std::vector<ReadRecord> reads = fleetHistoryReads(db, f, now);
    const bool ok = store.insert(reads);
    if (!ok && error) *error = store.lastError();
    return ok;
}

}  // namespace quirn::test
