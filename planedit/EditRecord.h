#pragma once
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "planedit/GroupKey.h"
#include "planedit/PlanEditTypes.h"
#include "plans/DatedPlans.h"
#include "plans/Group.h"
#include "plans/SummerPlan.h"

namespace quirn {

class PlanDatabase;

// A group as it was before an edit: only the parts the edit touches are kept.
struct GroupBefore {
    GroupKey key;
    bool existed = true;
    bool masterGroupExisted = true;
    std::string name;
    std::optional<GroupProgramming> programming;
    std::unique_ptr<Group> removed;  // the whole group, when the edit took it out
};

// One location as it was before an edit.
struct LocationBefore {
    GroupKey key;
    int number = 0;
    bool existed = false;
    size_t index = 0;
    std::optional<LocationFields> fields;  // when the edit changed its fields
    std::unique_ptr<Location> removed;     // when the edit took it out (read-back and all)
};

struct SpecialWeeksBefore {
    std::vector<SpecialWeekPlan> plans;
    std::time_t end = 0;
};

// override.csv as it was: its text, or nothing when there was no file.
struct OverrideFileBefore {
    std::optional<std::string> text;
};

// One undoable step: what it is called and what it changed, as it was before.
struct EditRecord {
    std::string description;  // "rename group"
    std::vector<GroupBefore> groups;
    std::optional<LocationBefore> location;
    std::optional<SpecialWeeksBefore> specialWeeks;
    std::optional<std::vector<SummerPlan>> summerPlans;
    std::optional<OverrideFileBefore> overrideFile;
    bool groupsAddedOrRemoved = false;

    // What the step (or its undo) changed, for the listeners.
    PlanEditNotice notice() const;
};

// The group as it is now, with what `parts` asks for. A missing group is noted as such.
enum class GroupParts { Name, Programming };
GroupBefore captureGroup(const PlanDatabase& db, GroupKey key, GroupParts parts);

// Puts a group back as it was (removing it when it did not exist).
void restoreGroup(PlanDatabase& db, GroupBefore& before);
// Sets a location's edited fields, and what follows from its model (the database's model flags,
// the group's program view); the group's image is rebuilt.
void applyLocationFields(PlanDatabase& db, Group& group, Location& location,
                         const LocationFields& fields);
// Puts a location back as it was (removing it when it did not exist).
void restoreLocation(PlanDatabase& db, LocationBefore& before);

}  // namespace quirn
