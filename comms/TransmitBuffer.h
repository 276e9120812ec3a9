#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "comms/CommsConstants.h"

namespace quirn {

// The bytes a link sends with its next transmission: at most kMessageBufferSize of them. A
// message that does not fit in the room left waits whole, in order, for a later transmission
// instead of overflowing or being lost; take() moves waiting messages up as room allows.
class TransmitBuffer {
  public:
    // Messages waiting beyond the buffer are capped so that a link that never transmits
    // cannot grow without end; append() refuses beyond it.
    static constexpr std::size_t kWaitingLimit = 64 * kMessageBufferSize;

    // False (nothing kept) for an empty message, one longer than kMessageBufferSize, or when
    // the waiting room is full.
    bool append(const unsigned char* bytes, std::size_t count);
    bool append(const std::string& bytes) {
        return append(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }
    // Bytes of the next transmission.
    const unsigned char* data() const {
        return reinterpret_cast<const unsigned char*>(now_.data());
    }
    std::size_t size() const { return now_.size(); }
    bool empty() const { return now_.empty(); }
    // Bytes waiting for a later transmission.
    std::size_t waitingBytes() const { return waitingBytes_; }
    // Hands over the next transmission and refills it from the waiting messages.
    std::string take();
    // Drops everything, waiting messages too.
    void clear();

  private:
    void refill();
    std::string now_;
    // A vector, not a deque: an empty one costs nothing, and tables hold thousands of these.
    std::vector<std::string> waiting_;
    std::size_t waitingBytes_ = 0;
};

}  // namespace quirn
