#include "comms/RadioOutgoing.h"

namespace quirn {

bool RadioOutgoing::add(const unsigned char* bytes, std::size_t count, long long nowMs) {
    if (!bytes || count == 0 || !hasRoomFor(count)) return false;
    messages_.push_back(
        Message{std::string(reinterpret_cast<const char*>(bytes), count), 0, nowMs});
    pendingBytes_ += count;
    return true;
}

long RadioOutgoing::pump(SerialDevice& device,
                         const std::function<void(const std::string&)>& finished) {
    long total = 0;
    while (!messages_.empty()) {
        Message& front = messages_.front();
        const std::size_t left = front.bytes.size() - front.sent;
        long n = device.write(
            reinterpret_cast<const unsigned char*>(front.bytes.data()) + front.sent, left);
        if (n < 0) return -1;
        const auto taken = static_cast<std::size_t>(n);
        front.sent += taken;
        pendingBytes_ -= taken;
        total += n;
        if (taken < left) break;  // the driver's queue is full: the rest goes on a later tick
        finished(front.bytes);
        messages_.pop_front();
    }
    return total;
}

void RadioOutgoing::dropExpired(long long nowMs,
                                const std::function<void(const Message&)>& givenUp) {
    while (!messages_.empty() && nowMs - messages_.front().handedMs >= kGiveUpMs) {
        const Message& front = messages_.front();
        pendingBytes_ -= front.bytes.size() - front.sent;
        givenUp(front);
        messages_.pop_front();
    }
}

void RadioOutgoing::clear() {
    messages_.clear();
    pendingBytes_ = 0;
}

}  // namespace quirn
