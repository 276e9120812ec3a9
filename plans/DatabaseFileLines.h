#pragma once
#include <ctime>

namespace quirn {

class CrLfWriter;
class Group;
class LocalDayCache;
class PlanDatabase;

// The lines of the database files that one group contributes, each kind on its own, so that a
// file can be written a few groups at a time as well as in one go. A file visits its groups in
// the database's order once per kind of line it holds.

// dayplan.csv: "DayPlan" lines of the annual plans not before `cutOff`, in date order.
void writeAnnualPlanLines(CrLfWriter& out, const Group& g, std::time_t cutOff, LocalDayCache& days);
// dayplan.csv: "VacationPlan" lines of the vacations not ended before `cutOff`.
void writeVacationPlanLines(CrLfWriter& out, const Group& g, std::time_t cutOff,
                            LocalDayCache& days);
// dayplan.csv: "DayPlanName" lines of day plans 2 and up that were named.
void writeDayPlanNameLines(CrLfWriter& out, const Group& g);
// dayplan.csv: "DayPlanDefault" lines of the weekdays off the standard week.
void writeDayPlanDefaultLines(CrLfWriter& out, const Group& g);
// dayplan.csv's end: the "SWP" lines and the "SWT" line (without special week plans, their end
// is first set back to "never").
void writeSpecialWeekLines(CrLfWriter& out, PlanDatabase& db);
// steps.csv: the group's "Step" lines, day plans 1..9 in order.
void writeStepLines(CrLfWriter& out, const Group& g);
// groups.csv: the group's "Group" line.
void writeGroupLine(CrLfWriter& out, const Group& g);
// locations.csv: each location's "Location" line and its companions (an empty type becomes
// "School" first).
void writeLocationLines(CrLfWriter& out, Group& g);

}  // namespace quirn
