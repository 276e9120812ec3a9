#include "fleetsend/SendSelection.h"

#include <algorithm>

#include "fleetsend/SendLedger.h"
#include "plans/Location.h"

namespace quirn {

namespace {
// Any key of the group in a sorted list.
bool listsGroup(const std::vector<LocationKey>& keys, int masterGroup, int group) {
    auto at = std::lower_bound(keys.begin(), keys.end(), LocationKey{masterGroup, group, 0});
    return at != keys.end() && at->masterGroup == masterGroup && at->group == group;
}

std::vector<LocationKey> sortedUnique(std::vector<LocationKey> keys) {
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}
}  // namespace

SendSelection SendSelection::ofGroups(std::vector<LocationKey> groups) {
    for (LocationKey& k : groups) k.location = 0;
    return {SendScope::Groups, 0, sortedUnique(std::move(groups)), {}};
}

SendSelection SendSelection::ofLocations(std::vector<LocationKey> locations) {
    return {SendScope::Locations, 0, {}, sortedUnique(std::move(locations))};
}

bool SendSelection::mayIncludeGroup(int mg, int group) const {
    switch (scope) {
        case SendScope::All:
        case SendScope::Changed:
            return true;
        case SendScope::MasterGroup:
            return mg == masterGroup;
        case SendScope::Groups:
            return listsGroup(groups, mg, group);
        case SendScope::Locations:
            return listsGroup(locations, mg, group);
    }
    return false;
}

bool SendSelection::includes(const Location& l, const SendLedger& ledger) const {
    const LocationKey key{l.masterGroup, l.group, l.number};
    switch (scope) {
        case SendScope::All:
            return true;
        case SendScope::MasterGroup:
            return l.masterGroup == masterGroup;
        case SendScope::Groups:
            return listsGroup(groups, l.masterGroup, l.group);
        case SendScope::Locations:
            return std::binary_search(locations.begin(), locations.end(), key);
        case SendScope::Changed:
            return ledger.isChanged(key);
    }
    return false;
}

std::string SendSelection::text() const {
    switch (scope) {
        case SendScope::All:
            break;
        case SendScope::MasterGroup:
            return "master group " + std::to_string(masterGroup);
        case SendScope::Groups:
            if (groups.size() == 1)
                return "group " + std::to_string(groups[0].group) + " of master group " +
                       std::to_string(groups[0].masterGroup);
            return std::to_string(groups.size()) + " groups";
        case SendScope::Locations:
            if (locations.size() == 1)
                return "location " + std::to_string(locations[0].masterGroup) + ", " +
                       std::to_string(locations[0].group) + ", " +
                       std::to_string(locations[0].location);
            return std::to_string(locations.size()) + " locations";
        case SendScope::Changed:
            return "locations changed since last sent";
    }
    return "all locations";
}

}  // namespace quirn
