#include "planedit/PlanEditor.h"
#include "plans/Location.h"

// Not built yet: every edit is refused until the model is implemented.
namespace quirn {

struct PlanEditor::Impl {};

LocationFields LocationFields::of(const Location& l) {
    LocationFields f;
    f.name = l.name;
    return f;
}

PlanEditor::PlanEditor(PlanDatabase&, OverrideStore&, SummerPlanStore&, const Clock&,
                       const WorkingFolder&, bool hasMasterGroups)
    : impl_(std::make_unique<Impl>()), hasMasterGroups_(hasMasterGroups) {}
PlanEditor::~PlanEditor() = default;

EditOutcome PlanEditor::addGroup(GroupKey, const std::string&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::renameGroup(GroupKey, const std::string&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::removeGroup(GroupKey) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::addLocation(GroupKey, int, const LocationFields&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::updateLocation(GroupKey, int, const LocationFields&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::removeLocation(GroupKey, int) {
    return EditOutcome::refused("Not built yet.");
}
FieldCheck PlanEditor::checkLocationFields(const LocationFields&) {
    return FieldCheck::bad("Not built yet.");
}
EditOutcome PlanEditor::addDayPlan(GroupKey, int, const std::string&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::renameDayPlan(GroupKey, int, const std::string&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::removeDayPlan(GroupKey, int) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::setDayPlanSteps(GroupKey, int, const std::vector<StepEntry>&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::setDefaultDay(GroupKey, int, int) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::setSpecialWeek(GroupKey, int, const WeekPlan&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::clearSpecialWeek(GroupKey) {
    return EditOutcome::refused("Not built yet.");
}
std::time_t PlanEditor::specialWeekEndFor(std::time_t) {
    return 0;
}
EditOutcome PlanEditor::setAnnualPlan(GroupKey, CalendarDay, int) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::clearAnnualPlan(GroupKey, CalendarDay) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::addVacation(GroupKey, CalendarDay, CalendarDay) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::removeVacation(GroupKey, CalendarDay, CalendarDay) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::setOverride(GroupKey, int, const std::vector<StepEntry>&, bool) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::clearOverride(GroupKey) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::addSummerPlan(const std::string&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::renameSummerPlan(int, const std::string&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::setSummerDates(int, CalendarDay, CalendarDay) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::setSummerLocations(int, const std::vector<LocationKey>&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::setSummerSteps(int, const std::vector<SummerPlanStep>&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::removeSummerPlan(int) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::copyProgramming(GroupKey, const std::vector<GroupKey>&) {
    return EditOutcome::refused("Not built yet.");
}
EditOutcome PlanEditor::change(const std::string&, const std::vector<GroupKey>&,
                               const BatchChange&) {
    return EditOutcome::refused("Not built yet.");
}
FieldCheck PlanEditor::checkGroupProgramming(const Group&) {
    return FieldCheck::bad("Not built yet.");
}
bool PlanEditor::canUndo() const {
    return false;
}
std::string PlanEditor::undoText() const {
    return {};
}
EditOutcome PlanEditor::undo() {
    return EditOutcome::refused("Not built yet.");
}
int PlanEditor::addListener(Listener) {
    return 0;
}
void PlanEditor::removeListener(int) {}
}  // namespace quirn
