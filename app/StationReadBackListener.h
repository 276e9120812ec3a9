#pragma once
#include <utility>

#include "ops/LogWriter.h"
#include "protocol/ReadBack.h"

namespace quirn {

class Clock;
class ErrorList;
class MinuteScheduler;
class ReadRecorder;

// What a handled read-back means for the station: the Location log, the error list, the next
// write of the read-back file and the read history.
class StationReadBackListener final : public ReadBackListener {
  public:
    // `history` may be null: reads are then not recorded.
    StationReadBackListener(const Clock& clock, LogWriter log, ErrorList& errors,
                            MinuteScheduler& scheduler, ReadRecorder* history = nullptr)
        : clock_(clock),
          log_(std::move(log)),
          errors_(errors),
          scheduler_(scheduler),
          history_(history) {}
    void replyReceived(const Location& location, const uint8_t* bytes, size_t count) override;
    void locationValidated(const Location& location) override;
    void passwayConfirm(const Location& location, bool set) override;
    void requestReadBackSave() override;
    void readEnded(const Location& location, unsigned resultBits, std::time_t time) override;

  private:
    const Clock& clock_;
    LogWriter log_;
    ErrorList& errors_;
    MinuteScheduler& scheduler_;
    ReadRecorder* history_;
};

}  // namespace quirn
