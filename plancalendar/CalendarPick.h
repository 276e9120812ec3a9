#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quirn {
class Group;
}

namespace quirn::plancalendar {

// What a click on a day gives it, as the technician picked it beside the calendar.
struct CalendarPick {
    enum class Kind { DayPlan, Holiday, Clear };
    Kind kind = Kind::DayPlan;
    int plan = 0;  // the day plan number for DayPlan

    bool operator==(const CalendarPick&) const = default;
};

// The picks a group offers: each of its day plans by number, then Holiday, then Clear.
std::vector<CalendarPick> picksOf(const Group& group);
// "Day Plan 3 - Early release", "Holiday", "Clear".
std::string pickText(const Group& group, const CalendarPick& pick);

// The SetActivePlan calls that highlight what the pick gives, in order: a day plan or Holiday
// turns off highlighting all (which outlives a call) and inverts the days of that code; Clear
// inverts every marked day, the days a click can clear.
std::vector<std::int16_t> activePlanCalls(const CalendarPick& pick);

}  // namespace quirn::plancalendar
