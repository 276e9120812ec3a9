#include "planedit/EditRecord.h"

#include <algorithm>

#include "plans/PlanDatabase.h"

namespace quirn {

PlanEditNotice EditRecord::notice() const {
    PlanEditNotice n;
    for (const GroupBefore& g : groups) n.groups.push_back(g.key);
    if (location) n.groups.push_back(location->key);
    std::sort(n.groups.begin(), n.groups.end());
    n.groups.erase(std::unique(n.groups.begin(), n.groups.end()), n.groups.end());
    n.groupsAddedOrRemoved = groupsAddedOrRemoved;
    n.specialWeeks = specialWeeks.has_value();
    n.overrides = overrideFile.has_value();
    n.summerPlans = summerPlans.has_value();
    return n;
}

GroupBefore captureGroup(const PlanDatabase& db, GroupKey key, GroupParts parts) {
    GroupBefore before;
    before.key = key;
    before.masterGroupExisted = db.findMasterGroup(key.masterGroup) != nullptr;
    const Group* group = db.findGroup(key.masterGroup, key.group);
    before.existed = group != nullptr;
    if (!group) return before;
    before.name = group->name();
    if (parts == GroupParts::Programming) before.programming = group->programming();
    return before;
}

void restoreGroup(PlanDatabase& db, GroupBefore& before) {
    const GroupKey key = before.key;
    if (!before.existed) {
        db.removeGroup(key.masterGroup, key.group);
        if (!before.masterGroupExisted) db.removeMasterGroupIfEmpty(key.masterGroup);
        return;
    }
    if (before.removed) {
        db.restoreGroup(std::move(before.removed));
        return;
    }
    Group& group = db.group(key.masterGroup, key.group);
    group.setName(before.name);
    group.setChanged(true);
    if (before.programming) group.setProgramming(*before.programming);
}

void applyLocationFields(PlanDatabase& db, Group& group, Location& l, const LocationFields& f) {
    l.name = f.name;
    l.setType(f.type);
    l.model = f.model;
    l.connection = f.connection;
    l.imsi = f.imsi;
    l.setStriderTimeCode(f.striderTimeCode);
    l.setValidateDisabled(f.validateDisabled);
    l.changed = true;
    db.noteModel(f.model);
    group.recomputeProgramView();
    // A location's model and connection decide which messages its group's image holds.
    group.markProgrammingChanged();
}

void restoreLocation(PlanDatabase& db, LocationBefore& before) {
    Group* group = db.findGroup(before.key.masterGroup, before.key.group);
    if (!group) return;
    if (!before.existed) {
        group->removeLocation(before.number);
    } else if (before.removed) {
        group->putLocation(std::move(before.removed), before.index);
    } else if (before.fields) {
        if (Location* l = group->findLocation(before.number))
            applyLocationFields(db, *group, *l, *before.fields);
    }
    group->recomputeProgramView();
    group->markProgrammingChanged();
}

}  // namespace quirn
