#include "sim/ActivationLog.h"

#include <array>

namespace quirn::sim {

namespace {

constexpr size_t kBlockNumberAt = 1;
constexpr size_t kLastBlockAt = 2;
constexpr size_t kDelayAt = 3;
constexpr size_t kConfirmAt = 4;
constexpr size_t kRecordsAt = 5;
constexpr size_t kRecordLength = 6;
constexpr int kYearBase = 2000;
constexpr unsigned char kSideBit = 0x80;

// Code 4 is reported as 45 seconds: the station turns 45 (not 40) back into code 4.
constexpr std::array<int, 10> kDelaySeconds = {15, 20, 25, 30, 45, 50, 60, 70, 80, 90};

}  // namespace

ActivationLog::ActivationLog(std::vector<ActivationRecord> records, bool confirmationFlag)
    : records_(std::move(records)), confirmationFlag_(confirmationFlag) {
    if (records_.size() > kRecordsPerBlock * kMaxBlocks)
        records_.resize(kRecordsPerBlock * kMaxBlocks);
}

int ActivationLog::delaySecondsOf(int code) {
    if (code < 0 || code >= static_cast<int>(kDelaySeconds.size())) return kDelaySeconds[0];
    return kDelaySeconds[static_cast<size_t>(code)];
}

int ActivationLog::lastBlock() const {
    if (records_.empty()) return 0;
    return static_cast<int>((records_.size() - 1) / kRecordsPerBlock);
}

std::string ActivationLog::block(int block, int delayCode) const {
    std::string out(kBlockSize, '\0');
    out[kBlockNumberAt] = static_cast<char>(block);
    out[kLastBlockAt] = static_cast<char>(lastBlock());
    out[kDelayAt] = static_cast<char>(delaySecondsOf(delayCode));
    out[kConfirmAt] = static_cast<char>(confirmationFlag_ ? 1 : 0);
    if (block < 0) return out;
    size_t first = static_cast<size_t>(block) * kRecordsPerBlock;
    for (size_t i = 0; i < kRecordsPerBlock && first + i < records_.size(); ++i) {
        const ActivationRecord& r = records_[first + i];
        size_t at = kRecordsAt + i * kRecordLength;
        out[at] = static_cast<char>(r.when.year - kYearBase);
        out[at + 1] = static_cast<char>(r.when.month | (r.sideFlag ? kSideBit : 0));
        out[at + 2] = static_cast<char>(r.when.day);
        out[at + 3] = static_cast<char>(r.when.hour);
        out[at + 4] = static_cast<char>(r.when.minute);
        out[at + 5] = static_cast<char>(r.when.second);
    }
    return out;
}

}  // namespace quirn::sim
