#pragma once
#include <utility>

#include "ops/LogWriter.h"
#include "protocol/ReadBack.h"

namespace quirn {

class Clock;
class ErrorList;
class MinuteScheduler;

// What a handled read-back means for the station: the Location log, the error list and the
// next write of the read-back file.
class StationReadBackListener final : public ReadBackListener {
  public:
    StationReadBackListener(const Clock& clock, LogWriter log, ErrorList& errors,
                            MinuteScheduler& scheduler)
        : clock_(clock), log_(std::move(log)), errors_(errors), scheduler_(scheduler) {}
    void replyReceived(const Location& location, const uint8_t* bytes, size_t count) override;
    void locationValidated(const Location& location) override;
    void passwayConfirm(const Location& location, bool set) override;
    void requestReadBackSave() override;

  private:
    const Clock& clock_;
    LogWriter log_;
    ErrorList& errors_;
    MinuteScheduler& scheduler_;
};

}  // namespace quirn
