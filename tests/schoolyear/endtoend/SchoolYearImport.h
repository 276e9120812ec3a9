#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "planedit/PlanEditor.h"
#include "plans/OverrideStore.h"
#include "plans/PlanTypes.h"
#include "plans/SummerPlanStore.h"
#include "schoolyear/CalendarChanges.h"
#include "schoolyear/CalendarDate.h"
#include "schoolyear/CalendarEvent.h"

namespace quirn::test::school_year {

// The Plans window's editor over a fixture's plan records, with the stores it edits beside
// them in the fixture's working folder.
struct StationEditor {
    StationEditor(PlanDatabase& db, const Clock& clock, const WorkingFolder& folder)
        : overrides(clock, folder),
          summer(clock, folder),
          editor(db, overrides, summer, clock, folder, kNoMasterGroups) {}

    static constexpr bool kNoMasterGroups = false;
    OverrideStore overrides;
    SummerPlanStore summer;
    PlanEditor editor;
};

// Gives an existing group a school's two plans through the editor: Normal (plan 1) ON for the
// morning and afternoon crossings, and plan 2 "Early Release" with its afternoon crossing
// before noon. Stops at the first refusal and returns it.
EditOutcome giveSchoolPlans(PlanEditor& editor, GroupKey group);
// A new group with one location of `model` on the radio, and the school's plans.
EditOutcome addSchoolGroup(PlanEditor& editor, GroupKey group, const std::string& name,
                           TimeSwitchModel model);

// What an import did: the reader's or the mapping's error (nothing planned then), the events
// read, the plan of changes, and the editor's outcome of applying it.
struct ImportRun {
    std::string error;
    std::vector<CalendarEvent> events;
    CalendarChangePlan plan;
    EditOutcome applied;
};
// The import as the Plans window does it: the calendar file through the reader, the mapping
// file, the plan of changes for the groups, and (only when the plan is applicable, as the
// window and quirnctl refuse otherwise) the changes applied through the editor's batch as one
// undoable step. `now` is the clock's time.
ImportRun importSchoolYear(PlanEditor& editor, const PlanDatabase& db,
                           const std::string& calendarPath, const std::string& mappingPath,
                           const std::vector<GroupKey>& groups, std::time_t now);

// The editor's form of a calendar date.
CalendarDay dayOf(CalendarDate date);
// Local noon of a date: a time on that day far from any daylight-saving change.
std::time_t noonOf(CalendarDate date);

}  // namespace quirn::test::school_year
