#include "comms/TransmitBuffer.h"

namespace quirn {

bool TransmitBuffer::append(const unsigned char* bytes, std::size_t count) {
    if (count == 0 || count > kMessageBufferSize) return false;
    const char* text = reinterpret_cast<const char*>(bytes);
    if (waiting_.empty() && now_.size() + count <= kMessageBufferSize) {
        now_.append(text, count);
        return true;
    }
    if (waitingBytes_ + count > kWaitingLimit) return false;
    waiting_.emplace_back(text, count);
    waitingBytes_ += count;
    return true;
}

std::string TransmitBuffer::take() {
    std::string out;
    out.swap(now_);
    refill();
    return out;
}

void TransmitBuffer::refill() {
    std::size_t moved = 0;
    while (moved < waiting_.size() && now_.size() + waiting_[moved].size() <= kMessageBufferSize) {
        now_ += waiting_[moved];
        waitingBytes_ -= waiting_[moved].size();
        ++moved;
    }
    waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(moved));
}

void TransmitBuffer::clear() {
    now_.clear();
    waiting_.clear();
    waitingBytes_ = 0;
}

}  // namespace quirn
