#pragma once
#include <cstddef>
#include <string>

#include "plans/PlanTypes.h"

namespace quirn {

class Location;
class QueuedMessage;

// One way of reaching time switches: the serial radio port or an IP table entry. The
// handler and the windows see every link through this narrow face.
//
// Contract shared by every operation: none blocks the caller (the UI thread's tick); bytes
// handed in are copied before the call returns; nothing is sent until step() runs, except
// where a call says "at once"; every wait and time-out is counted on the clock the link was
// built with, never on the wall clock, so tests run hours of traffic on a manual clock.
class CommoLink {
  public:
    // What became of a message handed to a link for itself alone.
    enum class DirectResult {
        Taken,    // handed over (a failing write says so itself)
        TooLong,  // longer than the link takes in one direct message; not sent
        Full,     // the link's buffer is full; dropped
    };

    virtual ~CommoLink() = default;
    const std::string& address() const { return address_; }

    // Set up for use: a radio on a COM port, any IP table entry.
    virtual bool inUse() const = 0;
    // Switched off by the technician; locations behind it count as validate-disabled.
    virtual bool isDisabled() const { return false; }
    // Whether messages meant for every link come here at all.
    virtual bool takesBroadcasts() const = 0;
    // Appends data meant for every link after what is already waiting, whole or not at all.
    // False when refused: the radio is on no port, or the waiting room (one message buffer
    // of an IP entry, the radio's transmit buffer) has no room for all `count` bytes.
    virtual bool queueBroadcast(const unsigned char* bytes, std::size_t count) = 0;
    // A message for this link alone. The radio writes it at once (up to its write limit,
    // TooLong beyond); an IP entry queues it for its next connection (Full when its buffer
    // has no room). A failed write is the link's to report, not the caller's.
    virtual DirectResult queueDirect(const QueuedMessage& message) = 0;
    // Whether a message for this link alone ends the handler's pass over its queue for this
    // tick and counts as a transmission for the sync pulse.
    virtual bool directEndsPass() const = 0;
    // Sends the location's request and collects its reply, handed to the reply judge for
    // `location` once the read ends (complete, or its wait over, with whatever arrived); an
    // error reply ends the read without it, and a read queued while another is under way
    // takes its place. False when the link cannot take the request.
    virtual bool queueRead(Location& location, const unsigned char* bytes, std::size_t count) = 0;
    // Sets the time switches' clocks: `time` and `bcdTime` are the messages for now, for a
    // link that sends them at once.
    virtual void queueClock(const std::string& time, const std::string& bcdTime) = 0;
    // The periodic step, from the handler's tick: moves the link's exchange on by what the
    // device or socket has ready now, and ends exchanges whose time is up. Never waits.
    virtual void step() = 0;

    // Sending, or about to send.
    virtual bool isWriting() const = 0;
    // Collecting a reply, or about to.
    virtual bool isReading() const = 0;
    // One line for the status display.
    virtual std::string statusText() const { return "Building"; }

  protected:
    CommoLink() = default;
    explicit CommoLink(std::string address) : address_(std::move(address)) {}
    void setLinkAddress(std::string address) { address_ = std::move(address); }

  private:
    std::string address_ = kRadioAddress;
};

}  // namespace quirn
