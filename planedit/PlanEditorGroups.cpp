// The editor's edits of groups and their locations.
#include "planedit/PlanEditor.h"
#include "planedit/PlanEditorImpl.h"

namespace quirn {

EditOutcome PlanEditor::addGroup(GroupKey key, const std::string& name) {
    if (FieldCheck numbers = impl_->checkGroupKey(key); !numbers)
        return EditOutcome::refused(numbers.problem);
    if (impl_->db.findGroup(key.masterGroup, key.group))
        return EditOutcome::refused(impl_->groupText(key) + " already exists.");
    if (FieldCheck n = checkRecordName(name, "group name"); !n)
        return EditOutcome::refused(n.problem);
    EditRecord record;
    record.description = "add group";
    record.groupsAddedOrRemoved = true;
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Name));
    Group& group = impl_->db.group(key.masterGroup, key.group);
    group.setName(name);
    group.markProgrammingChanged();
    return impl_->commit(std::move(record));
}

EditOutcome PlanEditor::renameGroup(GroupKey key, const std::string& name) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (FieldCheck n = checkRecordName(name, "group name"); !n)
        return EditOutcome::refused(n.problem);
    if (group->name() == name) return EditOutcome::accepted();
    EditRecord record;
    record.description = "rename group";
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Name));
    group->setName(name);
    group->setChanged(true);
    return impl_->commit(std::move(record));
}

EditOutcome PlanEditor::removeGroup(GroupKey key) {
    EditOutcome refusal;
    if (!impl_->existingGroup(key, refusal)) return refusal;
    if (std::string use = impl_->summerUse(key, 0); !use.empty()) return EditOutcome::refused(use);
    EditRecord record;
    record.description = "remove group";
    record.groupsAddedOrRemoved = true;
    record.specialWeeks =
        SpecialWeeksBefore{impl_->db.specialWeekPlans(), impl_->db.specialWeekEnd()};
    GroupBefore before;
    before.key = key;
    before.removed = impl_->db.removeGroup(key.masterGroup, key.group);
    record.groups.push_back(std::move(before));
    return impl_->commit(std::move(record));
}

FieldCheck PlanEditor::checkLocationFields(const LocationFields& f) {
    if (FieldCheck c = checkRecordName(f.name, "location name"); !c) return c;
    if (FieldCheck c = checkRecordName(f.type, "location type"); !c) return c;
    if (FieldCheck c = checkModel(f.model); !c) return c;
    if (FieldCheck c = checkConnection(f.connection); !c) return c;
    if (FieldCheck c = checkImsi(f.imsi); !c) return c;
    if (FieldCheck c = checkStriderTimeCode(f.striderTimeCode); !c) return c;
    // The locations file keeps an IMSI only beside the M2M client's connection, and a time
    // code only for a Strider: anything else would be gone after the next save and reload.
    if (!f.imsi.empty() && f.connection != kM2MAddress)
        return FieldCheck::bad(
            "An IMSI belongs to a location reached through the M2M client "
            "(127.0.0.1).");
    if (f.striderTimeCode != 0 && f.model != static_cast<int>(TimeSwitchModel::Strider))
        return FieldCheck::bad("A time code other than 0 belongs to a Strider time switch.");
    return FieldCheck::fine();
}

EditOutcome PlanEditor::addLocation(GroupKey key, int number, const LocationFields& fields) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (FieldCheck n = checkLocationNumber(number, true); !n)
        return EditOutcome::refused(n.problem);
    if (number == 0) {
        number = group->lowestFreeLocationNumber();
        if (number == 0)
            return EditOutcome::refused("All " + std::to_string(kMaxLocation) + " locations of " +
                                        impl_->groupText(key) + " are taken.");
    } else if (group->findLocation(number)) {
        return EditOutcome::refused("Location " + std::to_string(number) + " of " +
                                    impl_->groupText(key) + " already exists.");
    }
    if (FieldCheck f = checkLocationFields(fields); !f) return EditOutcome::refused(f.problem);
    EditRecord record;
    record.description = "add location";
    LocationBefore before;
    before.key = key;
    before.number = number;
    before.existed = false;
    record.location = std::move(before);
    Location& added = group->addLocation(Location(key.masterGroup, key.group, number));
    applyLocationFields(impl_->db, *group, added, fields);
    return impl_->commit(std::move(record), number);
}

EditOutcome PlanEditor::updateLocation(GroupKey key, int number, const LocationFields& fields) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    Location* location = group->findLocation(number);
    if (!location)
        return EditOutcome::refused("Location " + std::to_string(number) + " of " +
                                    impl_->groupText(key) + " does not exist.");
    if (FieldCheck f = checkLocationFields(fields); !f) return EditOutcome::refused(f.problem);
    const LocationFields was = LocationFields::of(*location);
    if (was == fields) return EditOutcome::accepted(number);
    EditRecord record;
    record.description = "change location";
    LocationBefore before;
    before.key = key;
    before.number = number;
    before.existed = true;
    before.fields = was;
    record.location = std::move(before);
    applyLocationFields(impl_->db, *group, *location, fields);
    return impl_->commit(std::move(record), number);
}

EditOutcome PlanEditor::removeLocation(GroupKey key, int number) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (!group->findLocation(number))
        return EditOutcome::refused("Location " + std::to_string(number) + " of " +
                                    impl_->groupText(key) + " does not exist.");
    if (std::string use = impl_->summerUse(key, number); !use.empty())
        return EditOutcome::refused(use);
    EditRecord record;
    record.description = "remove location";
    LocationBefore before;
    before.key = key;
    before.number = number;
    before.existed = true;
    before.removed = group->takeLocation(number, &before.index);
    record.location = std::move(before);
    group->recomputeProgramView();
    group->markProgrammingChanged();
    return impl_->commit(std::move(record), number);
}

}  // namespace quirn
