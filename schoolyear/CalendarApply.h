#pragma once
#include <string>
#include <vector>

#include "schoolyear/CalendarChanges.h"

namespace quirn {

class PlanDatabase;

// Why the changes cannot be applied to the database as it is now, or "" when they can: every
// group exists, every day plan number is a holiday (100), a vacation (101) or a day plan the
// group has (1..19), every range runs forwards within the years the station keeps. Changes
// are checked against the database at apply time, not when they were planned.
std::string calendarChangesRefusal(const PlanDatabase& database,
                                   const std::vector<CalendarChange>& changes);

struct CalendarApplyResult {
    int applied = 0;
    std::string refusal;  // why nothing was applied

    bool ok() const { return refusal.empty(); }
};

// Applies the changes (annual plans replace the plan on their date, vacations replace the
// vacation with the same range) and marks each group's programming changed; or, when
// calendarChangesRefusal finds a reason, applies nothing. The Plans window wraps this in one
// undoable step of the editor.
CalendarApplyResult applyCalendarChanges(PlanDatabase& database,
                                         const std::vector<CalendarChange>& changes);

}  // namespace quirn
