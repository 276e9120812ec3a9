#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "plans/LocationKey.h"

namespace quirn {

// The link a piece of programming goes out on.
enum class SendLink { Radio, WiFi, M2M };

// One message of a send: a group's pages by radio (location "00", heard by every QN510 of the
// group on the radio), or one location's own programming over its link.
struct SendItem {
    enum class Kind { GroupPages, Location };
    enum class Status { Waiting, InFlight, Sent, GivenUp, NotSent };

    Kind kind = Kind::Location;
    LocationKey key;  // location 0 for group pages
    SendLink link = SendLink::Radio;
    std::string address;    // the link's address (the radio's for radio items)
    std::size_t bytes = 0;  // as estimated; the bytes sent once it went
    // Group pages: the QN510 radio locations of the group they program.
    std::vector<int> locations;
    std::string name;  // "Oak St (1, 3, 7)" or "group 3 of master group 1"

    Status status = Status::Waiting;
    std::string reason;  // why it was given up or not sent
    std::time_t at = 0;  // when it went out or ended
    // The ledger's count of edit marks when its bytes were built (SendLedger::marks).
    std::uint64_t marksWhenBuilt = 0;
};

const char* sendLinkName(SendLink link);              // "radio", "WiFi", "M2M client"
const char* sendStatusName(SendItem::Status status);  // "waiting", ..., "sent", "given up"

}  // namespace quirn
