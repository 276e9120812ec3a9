#include "validationrun/RunQueues.h"

#include "plans/Location.h"
#include "plans/PlanTypes.h"

namespace quirn {

void RunQueues::push(const Location& location) {
    const LocationKey key{location.masterGroup, location.group, location.number};
    if (location.connection == kRadioAddress) {
        radio_.push_back(key);
        return;
    }
    std::deque<LocationKey>& line = byAddress_[location.connection];
    if (line.empty()) turns_.push_back(location.connection);
    line.push_back(key);
    ++ipCount_;
}

std::optional<LocationKey> RunQueues::nextRadio() {
    if (radio_.empty()) return std::nullopt;
    LocationKey key = radio_.front();
    radio_.pop_front();
    return key;
}

std::optional<std::pair<std::string, LocationKey>> RunQueues::nextIp(
    const std::function<bool(const std::string&)>& canStart, std::size_t maxTries) {
    for (std::size_t tries = 0; tries < maxTries && !turns_.empty(); ++tries) {
        std::string address = std::move(turns_.front());
        turns_.pop_front();
        if (!canStart(address)) {
            turns_.push_back(std::move(address));
            continue;
        }
        auto it = byAddress_.find(address);
        LocationKey key = it->second.front();
        it->second.pop_front();
        --ipCount_;
        if (it->second.empty())
            byAddress_.erase(it);
        else
            turns_.push_back(address);
        return std::make_pair(std::move(address), key);
    }
    return std::nullopt;
}

void RunQueues::clear() {
    radio_.clear();
    byAddress_.clear();
    turns_.clear();
    ipCount_ = 0;
}

}  // namespace quirn
