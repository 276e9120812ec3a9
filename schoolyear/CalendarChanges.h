#pragma once
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schoolyear/CalendarEvent.h"
#include "schoolyear/CalendarMapping.h"

namespace quirn {

class PlanDatabase;

// A group addressed by its numbers, as "MG:G" on a command line.
struct GroupRef {
    int masterGroup = 1;
    int group = 1;

    auto operator<=>(const GroupRef&) const = default;
};

// "1:4,1:5,2:1" (blanks allowed around items); each number in its range, no group twice.
// Nothing when the list is empty or an item is not MG:G; error then tells which item.
std::optional<std::vector<GroupRef>> parseGroupList(std::string_view text, std::string* error);

enum class CalendarChangeKind {
    AnnualPlan,  // one date given a day plan (100 for a holiday)
    Vacation,    // a vacation plan over first..last
};

// One change to one group's programming.
struct CalendarChange {
    GroupRef group;
    CalendarChangeKind kind = CalendarChangeKind::AnnualPlan;
    CalendarDate first;
    CalendarDate last;  // equal to first for an annual plan
    int plan = 0;       // the day plan number given (100 holiday, 101 vacation)
    // What the group had before: the annual plan on that date, or the plan the group ran that
    // day by plan-for-date when it had none (a vacation, the week plan). For a vacation, the
    // existing vacation with the same range, if any.
    std::optional<int> previousAnnualPlan;
    bool replacesVacation = false;
    int previousPlan = 0;     // what plan-for-date gave on first before the change
    std::string sourceEvent;  // "Labor Day (line 3)"
};

// The plan of changes for the groups, built from the events and the mapping. Events that no
// rule maps are listed in unmapped and give no change; refusals say why a change cannot be
// applied (a day plan the group does not have, a group that does not exist, a day that
// two events give different plans). A plan is applicable when it has changes, nothing
// unmapped and no refusal.
struct CalendarChangePlan {
    std::vector<CalendarChange> changes;
    std::vector<CalendarEvent> unmapped;
    std::vector<std::string> refusals;
    // What the technician should know and that stops nothing: groups whose MX40/LR40 switches
    // cannot carry every dated entry of the coming days at once (see ImageCapacity.h).
    std::vector<std::string> notes;

    bool applicable() const { return unmapped.empty() && refusals.empty(); }
};

// now is the clock's time, for the plan-for-date of what was there before.
CalendarChangePlan planCalendarChanges(const PlanDatabase& database,
                                       const std::vector<GroupRef>& groups,
                                       const std::vector<CalendarEvent>& events,
                                       const CalendarMapping& mapping, std::time_t now);

// One line per change: "1:4 2027-09-06 Holiday (was Normal) <- Labor Day (line 3)"; then the
// unmapped events, the refusals and the notes, each on its own line.
std::string calendarChangesText(const PlanDatabase& database, const CalendarChangePlan& plan);
std::string calendarChangeLine(const PlanDatabase& database, const CalendarChange& change);

}  // namespace quirn
