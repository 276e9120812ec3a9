#include "app/StationReadBackListener.h"

#include "app/MinuteScheduler.h"
#include "fleethealth/ReadRecordOf.h"
#include "fleethealth/ReadRecorder.h"
#include "ops/ErrorList.h"
#include "ops/LogWriter.h"

namespace quirn {

void StationReadBackListener::replyReceived(const Location& location, const uint8_t* bytes,
                                            size_t count) {
    log_.logLocation(clock_, location, bytes, count);
}

void StationReadBackListener::locationValidated(const Location& location) {
    errors_.clearLocation(location);
}

void StationReadBackListener::passwayConfirm(const Location& location, bool set) {
    errors_.recordPasswayConfirmation(location.masterGroup, location.group, location.number, set);
}

void StationReadBackListener::requestReadBackSave() {
    scheduler_.requestReadBackSave();
}

void StationReadBackListener::readEnded(const Location& location, unsigned resultBits,
                                        std::time_t time) {
    if (history_)
        history_->record(readRecordOf(location, readSourceOf(location), time, resultBits));
}

}  // namespace quirn
