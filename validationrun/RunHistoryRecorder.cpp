#include "validationrun/RunHistoryRecorder.h"

#include "fleethealth/ReadRecordOf.h"
#include "fleethealth/ReadRecorder.h"
#include "plans/Location.h"

namespace quirn {

void RunHistoryRecorder::runReadEnded(Location& location, ReadOutcome outcome, std::time_t when,
                                      bool handled) {
    if (handled && records_ == Records::NotHandled) return;
    // Only a read that failed validation needs the comparison again for its bits; one that
    // passed has none, one without an image gets them from the record itself.
    const unsigned bits = outcome == ReadOutcome::ValidateFailed && location.image
                              ? validation_.compare(location)
                              : 0u;
    recorder_.record(readRecordOf(location, readSourceOf(location), when, bits));
}

}  // namespace quirn
