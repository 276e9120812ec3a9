#pragma once
#include <cstddef>
#include <string>

#include "comms/CommsConstants.h"
#include "plans/PlanTypes.h"

namespace quirn {

class Location;

// One message waiting in the handler's queue with the address of the link it is for:
// kBroadcastAddress for every link, kRadioAddress for the radio, else an IP table entry.
// Holds at most kMessageBufferSize bytes; longer input is cut there.
class QueuedMessage {
  public:
    // For every link.
    QueuedMessage(const unsigned char* bytes, std::size_t count);
    // For the link of a location (its connection address).
    QueuedMessage(const Location& location, const unsigned char* bytes, std::size_t count);
    // For the link with that address.
    QueuedMessage(const unsigned char* bytes, std::size_t count, std::string destination);

    // Copies the message into `buffer` and returns its length; 0 without copying when it is
    // longer than `capacity`.
    std::size_t serialize(unsigned char* buffer, std::size_t capacity) const;
    std::size_t length() const { return data_.size(); }
    const std::string& bytes() const { return data_; }
    const std::string& destination() const { return destination_; }
    // Handed to a link (or found undeliverable); an empty message starts as sent.
    bool sent() const { return sent_; }
    void markSent() { sent_ = true; }

  private:
    bool sent_;
    std::string data_;
    std::string destination_;
};

}  // namespace quirn
