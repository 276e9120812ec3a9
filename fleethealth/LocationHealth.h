#pragma once
#include <ctime>

#include "fleethealth/ClockDrift.h"
#include "fleethealth/ReadRecord.h"

namespace quirn {

// What the history knows of one location at a glance: its latest read (any outcome), when it
// last answered, and the drift sums of the reads since its clock was last set. One row per
// location that was ever read.
struct LocationHealth {
    ReadRecord latest;
    std::time_t lastAnswered = 0;   // latest read that brought data back (0: never)
    std::time_t lastValidated = 0;  // latest read that validated (0: never)
    DriftSums drift;
    DriftFit fit() const { return fitDrift(drift); }
};

// A read that ended brought data back (validated, failed validation, or partial).
bool answered(ReadState state);
// Takes a read into a location's summary: the latest read (a clock send is no read, only a
// drift event), when it last answered and validated, and its clock offset into the drift sums.
void applyRead(LocationHealth& health, const ReadRecord& read);

}  // namespace quirn
