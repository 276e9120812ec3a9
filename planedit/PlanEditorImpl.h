#pragma once
// The editor's state and the helpers its edits share; only the editor's own files include it.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "planedit/EditRecord.h"
#include "planedit/PlanEditor.h"
#include "planedit/UndoHistory.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"

namespace quirn {

struct PlanEditor::Impl {
    Impl(PlanDatabase& db, OverrideStore& overrides, SummerPlanStore& summer, const Clock& clock,
         WorkingFolder folder, bool hasMasterGroups)
        : db(db),
          overrides(overrides),
          summer(summer),
          clock(clock),
          folder(std::move(folder)),
          hasMasterGroups(hasMasterGroups) {}

    PlanDatabase& db;
    OverrideStore& overrides;
    SummerPlanStore& summer;
    const Clock& clock;
    WorkingFolder folder;
    bool hasMasterGroups;
    UndoHistory history{kMaxUndoSteps};
    std::vector<std::pair<int, Listener>> listeners;
    int nextListener = 1;

    // "Group 5" or, with master groups, "Group 5 of master group 2".
    std::string groupText(GroupKey key) const;
    // The numbers are ones the agency can have.
    FieldCheck checkGroupKey(GroupKey key) const;
    // The group, or nullptr with the refusal set.
    Group* existingGroup(GroupKey key, EditOutcome& refusal) const;
    // 0 None, 1 Normal, a day plan 2..9 the group has, or 100 Holiday.
    FieldCheck checkPlanChoice(const Group& group, int plan) const;
    // A location of the group that a summer plan holds, as a refusal ("" when none).
    std::string summerUse(GroupKey key, int location) const;

    // Today's override.csv: its text, or nothing when there are no override plans of today.
    std::optional<std::string> overrideFileText() const;
    // The plans of such a text (none for nothing).
    OverrideStore todaysOverrides(const std::optional<std::string>& text) const;
    // Replaces override.csv (removes it for nothing) and reloads the override store from the
    // text; false, and nothing changed, when the file could not be written.
    bool restoreOverrideFile(const std::optional<std::string>& text);

    // Keeps the step for undo, tells the listeners, and answers done.
    EditOutcome commit(EditRecord record, int number = 0);
    void notify(const PlanEditNotice& notice);
};

// A date of the years plans are kept for, as a time: local midnight. Nothing, with the refusal,
// for a date that does not exist or lies outside those years.
std::optional<std::time_t> planDate(CalendarDay day, std::string& refusal);
// "3 May 2027".
std::string dateText(std::time_t date);
// The steps' rules: at most `most`, real times, ON or OFF, no two identical.
FieldCheck checkStepEntries(const std::vector<StepEntry>& steps, size_t most);

}  // namespace quirn
