#include "validationrun/RunHistoryRecorder.h"

#include "fleethealth/ReadRecordOf.h"
#include "fleethealth/ReadRecorder.h"
#include "plans/Location.h"
#include "plans/PlanTypes.h"

namespace quirn {

namespace {
ReadSource sourceOf(const Location& location) {
    if (location.connection == kRadioAddress) return ReadSource::Radio;
    if (location.connection == kM2MAddress) return ReadSource::M2M;
    return ReadSource::WiFi;
}
}  // namespace

void RunHistoryRecorder::runReadEnded(Location& location, ReadOutcome outcome, std::time_t when,
                                      bool answered) {
    if (answered && records_ == Records::UnansweredOnly) return;
    // Only a read that failed validation needs the comparison again for its bits; one that
    // passed has none, one without an image gets them from the record itself.
    const unsigned bits = outcome == ReadOutcome::ValidateFailed && location.image
                              ? validation_.compare(location)
                              : 0u;
    recorder_.record(readRecordOf(location, sourceOf(location), when, bits));
}

}  // namespace quirn
