#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <string>

#include "comms/CommsConstants.h"
#include "platform/SerialDevice.h"

namespace quirn {

// The messages handed to the radio port, in order, until the driver has taken their last byte.
// A serial driver takes what its output queue has room for and no more; what it leaves of a
// message stays here, with every later message behind it, and goes out on the following ticks.
// Nothing here waits: each pump writes what the driver takes at that moment.
class RadioOutgoing {
  public:
    // Room for what a link that never drains could pile up; add() refuses beyond it.
    static constexpr std::size_t kRoomLimit = 64 * kMessageBufferSize;
    // A message the driver has not taken whole this long after it was handed over is given up:
    // its port is gone or stuck, and what it carries (a clock setting, a page) is stale by then.
    static constexpr long long kGiveUpMs = 5 * 60 * 1000;

    struct Message {
        std::string bytes;
        std::size_t sent = 0;
        long long handedMs = 0;
    };

    // False (nothing kept) for an empty message or when the room is full.
    bool add(const unsigned char* bytes, std::size_t count, long long nowMs);
    bool hasRoomFor(std::size_t count) const { return pendingBytes_ + count <= kRoomLimit; }

    // Writes to the driver until it takes no more. Each message whose last byte went is passed
    // to `finished`, in order. Returns the bytes written now, or -1 when the device failed
    // (what it took before failing stays counted in the message).
    long pump(SerialDevice& device, const std::function<void(const std::string&)>& finished);
    // Removes the messages handed over kGiveUpMs or more before nowMs, each passed to `givenUp`.
    void dropExpired(long long nowMs, const std::function<void(const Message&)>& givenUp);
    // Removes everything.
    void clear();

    bool empty() const { return messages_.empty(); }
    std::size_t size() const { return messages_.size(); }
    // Bytes not yet taken by the driver.
    std::size_t pendingBytes() const { return pendingBytes_; }

  private:
    std::deque<Message> messages_;
    std::size_t pendingBytes_ = 0;
};

}  // namespace quirn
