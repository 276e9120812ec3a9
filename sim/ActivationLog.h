#pragma once
#include <string>
#include <vector>

#include "sim/SimSettings.h"

namespace quirn::sim {

// A Strider's activation log as it answers the 'B' block requests: 125-byte blocks of 20
// records each, at most 10 blocks.
class ActivationLog {
  public:
    static constexpr size_t kBlockSize = 125;
    static constexpr size_t kRecordsPerBlock = 20;
    static constexpr size_t kMaxBlocks = 10;

    explicit ActivationLog(std::vector<ActivationRecord> records, bool confirmationFlag);

    // Block `block` (0..19): ignored byte, block number, last block number, delay in seconds,
    // confirmation flag, then 20 records of six bytes (year - 2000, month with bit 7 the side
    // flag, day, hour, minute, second); unused records are zero.
    std::string block(int block, int delayCode) const;
    // Number of the last block that holds records (0 for an empty log).
    int lastBlock() const;
    // The 'C' command: every record goes; the confirmation flag stays as configured.
    void clear() { records_.clear(); }
    size_t size() const { return records_.size(); }
    bool confirmationFlag() const { return confirmationFlag_; }

    // Seconds of delay a Strider reports for its time code (0..9; anything else as 0).
    static int delaySecondsOf(int code);

  private:
    std::vector<ActivationRecord> records_;
    bool confirmationFlag_;
};

}  // namespace quirn::sim
