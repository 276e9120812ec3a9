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
    while (!waiting_.empty() && now_.size() + waiting_.front().size() <= kMessageBufferSize) {
        now_ += waiting_.front();
        waitingBytes_ -= waiting_.front().size();
        waiting_.pop_front();
    }
}

void TransmitBuffer::clear() {
    now_.clear();
    waiting_.clear();
    waitingBytes_ = 0;
}

}  // namespace quirn
