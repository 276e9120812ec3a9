#pragma once
#include <string>
#include <vector>

#include "plans/LocationKey.h"

namespace quirn {

class Location;
class SendLedger;

// Which switches a send programs.
enum class SendScope {
    All,
    MasterGroup,  // every group of one master group
    Groups,       // the groups listed
    Locations,    // the locations listed
    Changed,      // those edited (or never sent) since their programming last went out
};

struct SendSelection {
    SendScope scope = SendScope::All;
    int masterGroup = 0;
    // Groups by their master group and number (location 0), and locations; both kept sorted
    // (the factories sort them), so that a fleet-wide list is looked up, not walked.
    std::vector<LocationKey> groups;
    std::vector<LocationKey> locations;

    static SendSelection all() { return {}; }
    static SendSelection changed() { return {SendScope::Changed, 0, {}, {}}; }
    static SendSelection ofMasterGroup(int masterGroup) {
        return {SendScope::MasterGroup, masterGroup, {}, {}};
    }
    static SendSelection ofGroups(std::vector<LocationKey> groups);
    static SendSelection ofLocations(std::vector<LocationKey> locations);

    // Whether any location of the group can belong to the selection (a walk skips the rest).
    bool mayIncludeGroup(int masterGroup, int group) const;
    // Whether the location belongs; "changed" asks the ledger.
    bool includes(const Location& location, const SendLedger& ledger) const;
    // "all locations", "master group 2", "3 groups", "group 5 of master group 2", "12 locations",
    // "locations changed since last sent".
    std::string text() const;
};

}  // namespace quirn
