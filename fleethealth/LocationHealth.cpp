#include "fleethealth/LocationHealth.h"

namespace quirn {

bool answered(ReadState state) {
    return state == ReadState::ValidatePassed || state == ReadState::ValidateFailed ||
           state == ReadState::PartialData;
}

void applyRead(LocationHealth& health, const ReadRecord& read) {
    if (read.clockSent) {
        health.drift.add({read.time, 0, false, true});
        return;
    }
    health.latest = read;
    if (answered(read.state)) health.lastAnswered = read.time;
    if (read.state == ReadState::ValidatePassed) health.lastValidated = read.time;
    if (read.hasClock)
        health.drift.add({read.time, static_cast<double>(read.clockOffsetSeconds),
                          !read.clockHasSeconds, false});
}

}  // namespace quirn
