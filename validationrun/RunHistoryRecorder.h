#pragma once
#include <ctime>

#include "protocol/Validation.h"
#include "validationrun/ReadOutcomeSink.h"

namespace quirn {

class PlanDownload;
class ReadRecorder;

// Hands each read of a validation run to the read history as a record: its read state, the
// link it went through, and for a compared read the clock offset, relay and validation's bits.
class RunHistoryRecorder final : public ReadOutcomeSink {
  public:
    // What the history already gets from elsewhere.
    enum class Records {
        EveryRead,  // the run records all its reads
        // The read-back handler's listener records every read that reaches it; the run adds
        // the reads that never did.
        NotHandled,
    };

    RunHistoryRecorder(ReadRecorder& recorder, PlanDownload& download,
                       Records records = Records::EveryRead)
        : recorder_(recorder), validation_(download), records_(records) {}

    void runReadEnded(Location& location, ReadOutcome outcome, std::time_t when,
                      bool handled) override;

  private:
    ReadRecorder& recorder_;
    Validation validation_;
    Records records_;
};

}  // namespace quirn
