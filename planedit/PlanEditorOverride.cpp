// The editor's edits of today's override, which lives only in override.csv.
#include <algorithm>

#include "planedit/PlanEditor.h"
#include "planedit/PlanEditorImpl.h"
#include "plans/DatabaseFiles.h"
#include "plans/OverrideStore.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

// The lines of one plan as the override store reads them back: its steps by time of day, then
// "Enabled" when it is to be paged.
void writePlan(CrLfWriter& out, int mg, int g, int location, std::vector<Step> steps,
               bool enabled) {
    std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) {
        return a.minuteOfDay() < b.minuteOfDay();
    });
    for (const Step& s : steps) out.line("Step", mg, g, location, s.minuteOfDay(), s.command);
    if (enabled) out.line("Enabled", mg, g, location);
}

// Today's text with the group's plan replaced (or left out when `steps` is empty); every
// other plan as that text holds it.
std::string overrideText(const OverrideStore& store, GroupKey key, int location,
                         const std::vector<Step>& steps, bool enabled) {
    CrLfWriter out;
    bool written = false;
    for (const OverridePlan& p : store.plans()) {
        if (p.masterGroup == key.masterGroup && p.group == key.group) {
            if (!steps.empty())
                writePlan(out, key.masterGroup, key.group, location, steps, enabled);
            written = true;
            continue;
        }
        writePlan(out, p.masterGroup, p.group, p.location, p.steps, p.inForce());
    }
    if (!written && !steps.empty())
        writePlan(out, key.masterGroup, key.group, location, steps, enabled);
    return out.take();
}

}  // namespace

std::optional<std::string> PlanEditor::Impl::overrideFileText() const {
    // Another program may have written today's file since the store last loaded it: its plans
    // are kept. A file of another day counts for nothing (the station deletes it at its next
    // load), unless the store holds today's plans: then the file is the one this editor wrote.
    const std::string path = overrideFileName(folder);
    const std::time_t now = clock.now();
    if (fileExists(path)) {
        const std::optional<std::time_t> written = fileModifiedTime(path);
        if (written && sameLocalDate(*written, now))
            if (std::optional<std::string> text = readWholeFile(path)) return text;
    }
    if (overrides.heldToday()) return overrides.fileText();
    return std::nullopt;
}

OverrideStore PlanEditor::Impl::todaysOverrides(const std::optional<std::string>& text) const {
    OverrideStore today(clock, folder);
    today.loadText(text ? *text : std::string());
    return today;
}

bool PlanEditor::Impl::restoreOverrideFile(const std::optional<std::string>& text) {
    const std::string path = overrideFileName(folder);
    if (text) {
        if (!replaceFileAtomically(path, *text)) return false;
    } else if (fileExists(path) && !removeFile(path)) {
        return false;
    }
    // The text is today's, whatever the file's time says: it was written just now. Reloading
    // makes every plan in force "enabled" again, so the next tick pages them once more; the
    // time switches take the same steps again.
    overrides.loadText(text ? *text : std::string());
    return true;
}

EditOutcome PlanEditor::setOverride(GroupKey key, int location,
                                    const std::vector<StepEntry>& entries, bool enabled) {
    EditOutcome refusal;
    Group* group = impl_->existingGroup(key, refusal);
    if (!group) return refusal;
    if (location != 0 && !group->findLocation(location))
        return EditOutcome::refused("Location " + std::to_string(location) + " of " +
                                    impl_->groupText(key) + " does not exist.");
    if (entries.empty())
        return EditOutcome::refused("An override needs at least one step; clear it instead.");
    // The time switch takes today's override in the place of a day plan, so it holds as many.
    if (FieldCheck s = checkStepEntries(entries, kMaxStepsPerDayPlan); !s)
        return EditOutcome::refused(s.problem);
    std::vector<Step> steps;
    for (const StepEntry& e : entries)
        steps.push_back(Step::atTime(key.masterGroup, key.group, OverridePlan::kStepPlan, e.hour,
                                     e.minute, e.command));
    EditRecord record;
    record.description = "set override";
    record.overrideFile = OverrideFileBefore{impl_->overrideFileText()};
    record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Name));
    const OverrideStore today = impl_->todaysOverrides(record.overrideFile->text);
    if (!impl_->restoreOverrideFile(overrideText(today, key, location, steps, enabled)))
        return EditOutcome::refused("override.csv could not be written.");
    group->markProgrammingChanged();
    return impl_->commit(std::move(record));
}

EditOutcome PlanEditor::clearOverride(GroupKey key) {
    // Another program may have written an override for a group this station does not have.
    if (FieldCheck numbers = impl_->checkGroupKey(key); !numbers)
        return EditOutcome::refused(numbers.problem);
    Group* group = impl_->db.findGroup(key.masterGroup, key.group);
    const std::optional<std::string> before = impl_->overrideFileText();
    const OverrideStore today = impl_->todaysOverrides(before);
    if (!today.find(key.masterGroup, key.group))
        return EditOutcome::refused(impl_->groupText(key) + " has no override today.");
    EditRecord record;
    record.description = "clear override";
    record.overrideFile = OverrideFileBefore{before};
    if (group) record.groups.push_back(captureGroup(impl_->db, key, GroupParts::Name));
    if (!impl_->restoreOverrideFile(overrideText(today, key, 0, {}, false)))
        return EditOutcome::refused("override.csv could not be written.");
    if (group) group->markProgrammingChanged();
    return impl_->commit(std::move(record));
}

}  // namespace quirn
