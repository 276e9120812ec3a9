#include "planedit/PlanEditor.h"

#include <algorithm>

#include "planedit/PlanEditorImpl.h"
#include "plans/OverrideStore.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {

constexpr int kMinPlanYear = 2000;
constexpr int kMaxPlanYear = 2099;
constexpr int kHoursPerDay = 24;
constexpr int kMinutesPerHour = 60;

}  // namespace

// --- Shared helpers --------------------------------------------------------------------------

std::string PlanEditor::Impl::groupText(GroupKey key) const {
    std::string text = "Group " + std::to_string(key.group);
    if (hasMasterGroups) text += " of master group " + std::to_string(key.masterGroup);
    return text;
}

FieldCheck PlanEditor::Impl::checkGroupKey(GroupKey key) const {
    FieldCheck m = checkMasterGroupNumber(key.masterGroup, hasMasterGroups);
    if (!m) return m;
    return checkGroupNumber(key.group);
}

Group* PlanEditor::Impl::existingGroup(GroupKey key, EditOutcome& refusal) const {
    if (FieldCheck numbers = checkGroupKey(key); !numbers) {
        refusal = EditOutcome::refused(numbers.problem);
        return nullptr;
    }
    Group* group = db.findGroup(key.masterGroup, key.group);
    if (!group) refusal = EditOutcome::refused(groupText(key) + " does not exist.");
    return group;
}

FieldCheck PlanEditor::Impl::checkPlanChoice(const Group& group, int plan) const {
    if (plan == kPlanNone || plan == kPlanNormal || plan == kPlanHoliday) return FieldCheck::fine();
    if (plan > kPlanNormal && plan <= kMaxStoredStepsPlan && group.findDayPlan(plan))
        return FieldCheck::fine();
    if (plan > kPlanNormal && plan <= kMaxStoredStepsPlan)
        return FieldCheck::bad("Day plan " + std::to_string(plan) + " is not defined.");
    return FieldCheck::bad(
        "Day plan " + std::to_string(plan) +
        " cannot be chosen: a day takes 0 None, a day plan 1..9 or 100 Holiday.");
}

std::string PlanEditor::Impl::summerUse(GroupKey key, int location) const {
    for (const SummerPlan& p : summer.plans())
        for (const SummerLocation& l : p.locations)
            if (l.masterGroup == key.masterGroup && l.group == key.group &&
                (location == 0 || l.location == location))
                return "Location " + std::to_string(l.location) + " of " + groupText(key) +
                       " is in the summer plan \"" + p.name + "\"; take it out of that plan first.";
    return {};
}

EditOutcome PlanEditor::Impl::commit(EditRecord record, int number) {
    const PlanEditNotice notice = record.notice();
    history.push(std::move(record));
    notify(notice);
    return EditOutcome::accepted(number);
}

void PlanEditor::Impl::notify(const PlanEditNotice& notice) {
    // A listener may add or remove listeners while it is told.
    const auto copy = listeners;
    for (const auto& [handle, listener] : copy) listener(notice);
}

std::optional<std::time_t> planDate(CalendarDay d, std::string& refusal) {
    if (d.year < kMinPlanYear || d.year > kMaxPlanYear) {
        refusal = "The year " + std::to_string(d.year) + " is outside " +
                  std::to_string(kMinPlanYear) + ".." + std::to_string(kMaxPlanYear) + ".";
        return std::nullopt;
    }
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysInMonth(d.year, d.month)) {
        refusal = std::to_string(d.year) + "-" + std::to_string(d.month) + "-" +
                  std::to_string(d.day) + " is no date.";
        return std::nullopt;
    }
    return fromLocal(d.year, d.month, d.day);
}

std::string dateText(std::time_t date) {
    const LocalDateTime t = toLocal(date);
    return std::to_string(t.day) + " " + monthName(t.month) + " " + std::to_string(t.year);
}

FieldCheck checkStepEntries(const std::vector<StepEntry>& steps, size_t most) {
    if (steps.size() > most)
        return FieldCheck::bad("At most " + std::to_string(most) + " steps fit; " +
                               std::to_string(steps.size()) + " were given.");
    for (size_t i = 0; i < steps.size(); ++i) {
        const StepEntry& s = steps[i];
        if (s.hour < 0 || s.hour >= kHoursPerDay || s.minute < 0 || s.minute >= kMinutesPerHour)
            return FieldCheck::bad("A step time must lie within 00:00..23:59.");
        if (s.command != kCommandOn && s.command != kCommandOff)
            return FieldCheck::bad("A step is either ON or OFF.");
        for (size_t j = 0; j < i; ++j)
            if (steps[j] == s)
                return FieldCheck::bad(std::string("The step ") +
                                       (s.command == kCommandOn ? "ON" : "OFF") + " at " +
                                       stepTimeText(s.hour, s.minute) + " is given twice.");
    }
    return FieldCheck::fine();
}

// --- The editor ------------------------------------------------------------------------------

PlanEditor::PlanEditor(PlanDatabase& db, OverrideStore& overrides, SummerPlanStore& summer,
                       const Clock& clock, const WorkingFolder& folder, bool hasMasterGroups)
    : impl_(std::make_unique<Impl>(db, overrides, summer, clock, folder, hasMasterGroups)),
      hasMasterGroups_(hasMasterGroups) {}

PlanEditor::~PlanEditor() = default;

std::time_t PlanEditor::specialWeekEndFor(std::time_t now) {
    return PlanDatabase::comingMonday(now);
}

EditOutcome PlanEditor::copyProgramming(GroupKey from, const std::vector<GroupKey>& to) {
    EditOutcome refusal;
    const Group* source = impl_->existingGroup(from, refusal);
    if (!source) return refusal;
    if (to.empty()) return EditOutcome::refused("No group was chosen to copy to.");
    std::vector<GroupKey> targets = to;
    std::sort(targets.begin(), targets.end());
    if (std::adjacent_find(targets.begin(), targets.end()) != targets.end())
        return EditOutcome::refused("A group is named twice among the groups to copy to.");
    std::vector<Group*> groups;
    groups.reserve(to.size());
    for (GroupKey key : to) {
        if (key == from)
            return EditOutcome::refused(impl_->groupText(key) + " is the group copied from.");
        Group* target = impl_->existingGroup(key, refusal);
        if (!target) return refusal;
        groups.push_back(target);
    }
    EditRecord record;
    record.description = "copy programming";
    const GroupProgramming programming = source->programming();
    for (size_t i = 0; i < groups.size(); ++i) {
        record.groups.push_back(captureGroup(impl_->db, to[i], GroupParts::Programming));
        groups[i]->setProgramming(programming);
    }
    return impl_->commit(std::move(record));
}

EditOutcome PlanEditor::change(const std::string& description, const std::vector<GroupKey>& keys,
                               const BatchChange& fn) {
    if (keys.empty()) return EditOutcome::refused("The change names no group.");
    if (!fn) return EditOutcome::refused("The change does nothing.");
    std::vector<GroupKey> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    EditRecord record;
    record.description = description;
    // Whether each group kept the rules before: a batch may not break them, but a group read
    // from files that already broke one is not the batch's fault.
    std::vector<bool> fineBefore;
    for (GroupKey key : sorted) {
        if (FieldCheck numbers = impl_->checkGroupKey(key); !numbers)
            return EditOutcome::refused(numbers.problem);
        record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Programming));
        const Group* g = impl_->db.findGroup(key.masterGroup, key.group);
        fineBefore.push_back(!g || checkGroupProgramming(*g).ok);
    }
    auto restoreAll = [&] {
        for (auto it = record.groups.rbegin(); it != record.groups.rend(); ++it)
            restoreGroup(impl_->db, *it);
    };
    EditOutcome outcome = fn(impl_->db);
    if (!outcome.done) {
        restoreAll();
        return outcome.refusal.empty() ? EditOutcome::refused("The change was not made.") : outcome;
    }
    for (size_t i = 0; i < sorted.size(); ++i) {
        Group* g = impl_->db.findGroup(sorted[i].masterGroup, sorted[i].group);
        if (!g) continue;
        if (fineBefore[i]) {
            if (FieldCheck after = checkGroupProgramming(*g); !after) {
                const std::string why = impl_->groupText(sorted[i]) + ": " + after.problem;
                restoreAll();
                return EditOutcome::refused(why);
            }
        }
        g->markProgrammingChanged();
        record.groupsAddedOrRemoved = record.groupsAddedOrRemoved || !record.groups[i].existed;
    }
    return impl_->commit(std::move(record), outcome.number);
}

FieldCheck PlanEditor::checkGroupProgramming(const Group& group) {
    if (FieldCheck name = checkRecordName(group.name(), "group name"); !name) return name;
    auto validChoice = [](int plan) {
        return (plan >= kPlanNone && plan <= kMaxUserDayPlan) || plan == kPlanHoliday ||
               plan == kPlanNoneAlt;
    };
    for (const auto& d : group.dayPlans()) {
        const std::string which = "day plan " + std::to_string(d->plan());
        if (d->plan() < kPlanNone || d->plan() > kMaxUserDayPlan)
            return FieldCheck::bad("The " + which + " is outside 0.." +
                                   std::to_string(kMaxUserDayPlan) + ".");
        if (!d->steps().empty() && (d->plan() < kPlanNormal || d->plan() > kMaxStoredStepsPlan))
            return FieldCheck::bad("The " + which + " holds steps, which only plans 1.." +
                                   std::to_string(kMaxStoredStepsPlan) + " keep.");
        if (d->plan() > kPlanNormal && !d->hasDefaultName())
            if (FieldCheck name = checkRecordName(d->name(), "day plan name"); !name) return name;
        std::vector<StepEntry> entries;
        for (const Step& s : d->steps()) {
            if (!s.isProgrammed())
                return FieldCheck::bad("The " + which + " holds a step without a time.");
            entries.push_back({s.hour, s.minute, s.command});
        }
        if (FieldCheck steps = checkStepEntries(entries, kMaxStepsPerDayPlan); !steps)
            return FieldCheck::bad("The " + which + ": " + steps.problem);
    }
    for (int day = kSunday; day <= kSaturday; ++day)
        if (!validChoice(group.defaultWeek().day(day)))
            return FieldCheck::bad(std::string("The default week gives ") + weekdayName(day) +
                                   " no day plan.");
    for (const AnnualPlan& a : group.annualPlans())
        if (!validChoice(a.plan))
            return FieldCheck::bad("The annual plan on " + dateText(a.date) +
                                   " names no day plan.");
    for (const VacationPlan& v : group.vacationPlans())
        if (v.end < v.start)
            return FieldCheck::bad("The vacation from " + dateText(v.start) +
                                   " ends before it starts.");
    return FieldCheck::fine();
}

bool PlanEditor::canUndo() const {
    return !impl_->history.empty();
}

std::string PlanEditor::undoText() const {
    return canUndo() ? "Undo " + impl_->history.newest().description : std::string();
}

EditOutcome PlanEditor::undo() {
    if (!canUndo()) return EditOutcome::refused("There is nothing to undo.");
    EditRecord record = impl_->history.takeNewest();
    if (record.overrideFile && !impl_->restoreOverrideFile(record.overrideFile->text)) {
        impl_->history.push(std::move(record));
        return EditOutcome::refused("override.csv could not be written, so the override stays.");
    }
    for (auto it = record.groups.rbegin(); it != record.groups.rend(); ++it)
        restoreGroup(impl_->db, *it);
    if (record.location) restoreLocation(impl_->db, *record.location);
    if (record.specialWeeks)
        impl_->db.setSpecialWeekPlans(std::move(record.specialWeeks->plans),
                                      record.specialWeeks->end);
    if (record.summerPlans) impl_->summer.editablePlans() = std::move(*record.summerPlans);
    // The groups whose special week or override went back are rebuilt as well.
    const PlanEditNotice notice = record.notice();
    for (GroupKey key : notice.groups)
        if (Group* g = impl_->db.findGroup(key.masterGroup, key.group)) g->markProgrammingChanged();
    impl_->notify(notice);
    return EditOutcome::accepted();
}

int PlanEditor::addListener(Listener listener) {
    const int handle = impl_->nextListener++;
    impl_->listeners.emplace_back(handle, std::move(listener));
    return handle;
}

void PlanEditor::removeListener(int handle) {
    std::erase_if(impl_->listeners, [handle](const auto& l) { return l.first == handle; });
}

}  // namespace quirn
