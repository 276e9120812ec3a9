#pragma once
#include <ctime>
#include <functional>
#include <vector>

#include "plans/Group.h"

namespace quirn {

// The dated plans of a group seen day by day. "Annual plan" covers both dated kinds: each
// AnnualPlan (one day) and each VacationPlan (its start day through its end day).

inline constexpr int kCalendarDays = 446;  // how far ahead the image's annual list reaches

// True when the date lies in an annual plan or a vacation.
bool liesInAnnualPlan(const Group& group, std::time_t date);
// True when an annual plan is on the date or a vacation starts on it.
bool annualPlanStartsOn(const Group& group, std::time_t date);
// True when an annual plan was on the day before or a vacation ended on it.
bool annualPlanEndedDayBefore(const Group& group, std::time_t date);

// The day plan in effect on a date. With the group's override in force (`overrideToday`)
// today runs its default week entry; otherwise an annual plan gives its plan, a vacation 101,
// and any other day its default week entry. Stored special week plans do not enter here.
int dayPlanInEffect(const Group& group, std::time_t date, std::time_t now, bool overrideToday);

// Local noon of the day `days` after the day holding t.
std::time_t noonAfter(std::time_t t, int days);

// A run of days with one day plan, as the image's annual list holds it.
struct DatedRun {
    std::time_t start = 0;  // local noon of the first day
    std::time_t end = 0;    // local noon of the last day
    int plan = 0;
};

// The group's calendar of kCalendarDays days from today (local noons): each day its weekday's
// default, then annual plans, then vacations (101) on top.
std::vector<int> planCalendar(const Group& group, std::time_t now);

// Runs of days whose mapped plan differs from their mapped default, in date order, at most
// `limit`. `mapPlan` turns a calendar value into an image plan number.
std::vector<DatedRun> differingRuns(const Group& group, std::time_t now, size_t limit,
                                    const std::function<int(int)>& mapPlan);

}  // namespace quirn
