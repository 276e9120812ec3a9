#pragma once
#include <ctime>
#include <string>

namespace quirn {

class Location;

// The clock messages an IP entry sends when it next connects, in the order it sends them.
enum class ClockMessage { BcdTime, TimeDate, Time };

// The command messages the communications layer sends of its own accord, as the bytes that go
// on the air or on the wire (empty when there is nothing to send). The protocol's command
// classes fill it; the links and the handler never build messages themselves.
class CommsMessages {
  public:
    virtual ~CommsMessages() = default;
    // The location's query sentence ('Q').
    virtual std::string querySentence(const Location& location) const = 0;
    // The read request of the location's model ('R', C78 or C79).
    virtual std::string readRequest(const Location& location) const = 0;
    // The 'T' time message and the $T time command for a master group and group (0, 0 for
    // every group), with the current time.
    virtual std::string timeMessage(int masterGroup, int group) const = 0;
    virtual std::string bcdTimeMessage(int masterGroup, int group) const = 0;
    // The same for every group with a given time.
    virtual std::string timeMessageAt(std::time_t when) const = 0;
    virtual std::string bcdTimeMessageAt(std::time_t when) const = 0;
    // A clock message for everyone, sent by an IP entry when it connects.
    virtual std::string clockMessage(ClockMessage kind) const = 0;
    // The location's complete programming.
    virtual std::string download(const Location& location) const = 0;
    // Request for one block of a Strider activation log, and the command that clears the log.
    virtual std::string passwayLogRequest(const Location& location, int block) const = 0;
    virtual std::string passwayLogClear(const Location& location) const = 0;
};

}  // namespace quirn
