#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

namespace quirn {

class Location;

// A location by its numbers: the database may delete it while it waits.
struct RunLocationKey {
    int masterGroup = 0;
    int group = 0;
    int number = 0;
};

// The locations of a run still to be read, by link: the radio's in one line (its reads go one
// at a time), the IP links' each in a line of its own address (a link reads one location at a
// time; a second read would take the first one's place), served in turn.
class RunQueues {
  public:
    void push(const Location& location);
    std::optional<RunLocationKey> nextRadio();
    // The first location of the next address in turn that `canStart` accepts; at most
    // `maxTries` addresses are asked, so a fleet of busy links costs a bounded tick.
    std::optional<std::pair<std::string, RunLocationKey>> nextIp(
        const std::function<bool(const std::string&)>& canStart, std::size_t maxTries);
    bool radioWaiting() const { return !radio_.empty(); }
    bool ipWaiting() const { return !turns_.empty(); }
    std::size_t size() const { return radio_.size() + ipCount_; }
    void clear();

  private:
    std::deque<RunLocationKey> radio_;
    std::unordered_map<std::string, std::deque<RunLocationKey>> byAddress_;
    std::deque<std::string> turns_;  // addresses with locations waiting, in serving order
    std::size_t ipCount_ = 0;
};

}  // namespace quirn
