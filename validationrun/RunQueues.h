#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "plans/LocationKey.h"

namespace quirn {

class Location;

// The locations of a run still to be read (by their numbers: the database may delete one while
// it waits), by link: the radio's in one line (its reads go one
// at a time), the IP links' each in a line of its own address (a link reads one location at a
// time; a second read would take the first one's place), served in turn.
class RunQueues {
  public:
    void push(const Location& location);
    std::optional<LocationKey> nextRadio();
    // The first location of the next address in turn that `canStart` accepts; at most
    // `maxTries` addresses are asked, so a fleet of busy links costs a bounded tick.
    std::optional<std::pair<std::string, LocationKey>> nextIp(
        const std::function<bool(const std::string&)>& canStart, std::size_t maxTries);
    bool radioWaiting() const { return !radio_.empty(); }
    bool ipWaiting() const { return !turns_.empty(); }
    std::size_t size() const { return radio_.size() + ipCount_; }
    void clear();

  private:
    std::deque<LocationKey> radio_;
    std::unordered_map<std::string, std::deque<LocationKey>> byAddress_;
    std::deque<std::string> turns_;  // addresses with locations waiting, in serving order
    std::size_t ipCount_ = 0;
};

}  // namespace quirn
