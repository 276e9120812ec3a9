#include "comms/QueuedMessage.h"

#include <algorithm>
#include <cstring>

#include "plans/Location.h"

namespace quirn {

namespace {
std::string copyOf(const unsigned char* bytes, std::size_t count) {
    if (!bytes) return {};
    return std::string(reinterpret_cast<const char*>(bytes), std::min(count, kMessageBufferSize));
}
}  // namespace

QueuedMessage::QueuedMessage(const unsigned char* bytes, std::size_t count)
    : QueuedMessage(bytes, count, kBroadcastAddress) {}

QueuedMessage::QueuedMessage(const Location& location, const unsigned char* bytes,
                             std::size_t count)
    : QueuedMessage(bytes, count, location.connection) {}

QueuedMessage::QueuedMessage(const unsigned char* bytes, std::size_t count, std::string destination)
    : data_(copyOf(bytes, count)), destination_(std::move(destination)) {
    sent_ = data_.empty();
}

std::size_t QueuedMessage::serialize(unsigned char* buffer, std::size_t capacity) const {
    if (data_.size() > capacity || !buffer) return 0;
    std::memcpy(buffer, data_.data(), data_.size());
    return data_.size();
}

}  // namespace quirn
