#pragma once
#include <cstdint>
#include <ctime>

#include "plans/PlanTypes.h"
#include "plans/WeekPlan.h"

namespace quirn {

// One date given a day plan (100 for a holiday). The date is local midnight, so two plans on
// one calendar date have equal times: build them with on() or from fromLocal(y, m, d).
struct AnnualPlan {
    int32_t group = 1;
    int32_t masterGroup = 1;
    int32_t plan = kPlanNormal;
    std::time_t date = 0;

    static AnnualPlan on(int masterGroup, int group, int plan, int year, int month, int day);
};

// A vacation: plan 101 from its start day through its end day (end at 23:59:50).
struct VacationPlan {
    int32_t group = 1;
    int32_t masterGroup = 1;
    int32_t plan = kPlanVacation;
    std::time_t start = 0;
    std::time_t end = 0;

    // A vacation over whole local days [startDay, endDay]: start at local midnight, end at
    // 23:59:50, so two plans over the same days have equal times.
    static VacationPlan over(int masterGroup, int group, int sy, int sm, int sd, int ey, int em,
                             int ed);
    // True when the local calendar date of t lies within the start day through the end day.
    bool covers(std::time_t t) const;
};

// Day plans for the rest of the current week for a group (location 0) or one location.
struct SpecialWeekPlan {
    WeekPlan days;
    int32_t masterGroup = 1;
    int32_t group = 1;
    int32_t location = 0;
};

// Seconds before midnight at which a vacation's end is stored (23:59:50).
inline constexpr int kVacationEndHour = 23;
inline constexpr int kVacationEndMinute = 59;
inline constexpr int kVacationEndSecond = 50;

}  // namespace quirn
