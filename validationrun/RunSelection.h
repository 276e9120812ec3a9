#pragma once
#include <string>

namespace quirn {

class Location;

// Which locations a validation run reads.
enum class RunScope {
    All,
    MasterGroup,  // every group of one master group
    Group,        // one group of one master group
    Failing,      // those whose last read did not validate (isFailing)
};

struct RunSelection {
    RunScope scope = RunScope::All;
    int masterGroup = 0;  // MasterGroup and Group
    int group = 0;        // Group

    static RunSelection all() { return {}; }
    static RunSelection failing() { return {RunScope::Failing, 0, 0}; }
    static RunSelection ofMasterGroup(int masterGroup) {
        return {RunScope::MasterGroup, masterGroup, 0};
    }
    static RunSelection ofGroup(int masterGroup, int group) {
        return {RunScope::Group, masterGroup, group};
    }

    // Whether the location belongs to the selection (its numbers and, for Failing, its
    // read-back snapshot).
    bool includes(const Location& location) const;
    // "all locations", "master group 2", "group 5 of master group 2", "failing locations".
    std::string text() const;
};

// A location is failing when its last read did not end in "validate passed": the program
// differed or the clock was wrong (validate failed), no connection or only part of a reply,
// never read, or a read or a write that never finished. The snapshot keeps only the read state,
// and the comparison's program and clock bits both end in "validate failed", so the state alone
// decides.
bool isFailing(const Location& location);

}  // namespace quirn
