#pragma once
#include <ctime>

#include "plans/Group.h"
#include "protocol/WeekSteps.h"

namespace quirn {

// The special-week scan: which day plans a 'W' carries so that the time switches run this
// week's annual plans and vacations, and whether the week needs a 'W' at all.
struct SpecialWeek {
    WeekDays dayPlan{};
    bool changed = false;
};

// The whole week (Sunday .. Saturday) holding `date`. `overrideToday` is whether the group's
// override is in force on `now`'s day.
SpecialWeek scanWeek(const Group& group, std::time_t date, std::time_t now, bool overrideToday);

// The rest of the week from `date`, for the day an annual plan begins or the day after one
// ended; unchanged (no 'W') on any other day and on a Sunday without a plan starting.
SpecialWeek scanWeekFrom(const Group& group, std::time_t date, std::time_t now, bool overrideToday);

}  // namespace quirn
