#pragma once
#include <memory>
#include <string>
#include <vector>

#include "plans/LocationKey.h"

namespace quirn {

class Location;

// Which locations a validation run reads.
enum class RunScope {
    All,
    MasterGroup,  // every group of one master group
    Group,        // one group of one master group
    Failing,      // those whose last read did not validate (isFailing)
    Locations,    // the locations listed (those a send programmed)
};

struct RunSelection {
    RunScope scope = RunScope::All;
    int masterGroup = 0;  // MasterGroup and Group
    int group = 0;        // Group
    // Locations: sorted and without repeats (ofLocations makes it so), so that a fleet-wide
    // list is looked up, not walked; shared, as a selection is copied into every progress.
    std::shared_ptr<const std::vector<LocationKey>> locations;

    static RunSelection all() { return {}; }
    static RunSelection failing() { return {RunScope::Failing, 0, 0, nullptr}; }
    static RunSelection ofMasterGroup(int masterGroup) {
        return {RunScope::MasterGroup, masterGroup, 0, nullptr};
    }
    static RunSelection ofGroup(int masterGroup, int group) {
        return {RunScope::Group, masterGroup, group, nullptr};
    }
    static RunSelection ofLocations(std::vector<LocationKey> locations);

    // Whether any location of the group can belong to the selection (a walk skips the rest).
    bool mayIncludeGroup(int masterGroup, int group) const;

    // Whether the location belongs to the selection (its numbers and, for Failing, its
    // read-back snapshot).
    bool includes(const Location& location) const;
    // "all locations", "master group 2", "group 5 of master group 2", "failing locations",
    // "12 locations".
    std::string text() const;
};

// A location is failing when its last read did not end in "validate passed": the program
// differed or the clock was wrong (validate failed), no connection or only part of a reply,
// never read, or a read or a write that never finished. The snapshot keeps only the read state,
// and the comparison's program and clock bits both end in "validate failed", so the state alone
// decides.
bool isFailing(const Location& location);

}  // namespace quirn
