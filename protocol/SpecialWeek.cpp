#include "protocol/SpecialWeek.h"

#include "platform/LocalTime.h"
#include "protocol/AnnualCalendar.h"
#include "protocol/DaySet.h"

namespace quirn {

namespace {

// Day plans that never count as a change when an annual plan begins.
bool isRestPlan(int plan) {
    return plan == kPlanNone || plan == kPlanHoliday || plan == kPlanVacation ||
           plan == kPlanVacationEnd;
}

}  // namespace

SpecialWeek scanWeek(const Group& group, std::time_t date, std::time_t now, bool overrideToday) {
    std::time_t sunday = noonAfter(date, 1 - toLocal(date).weekday);
    WeekDays normal{};
    WeekDays actual{};
    std::array<bool, 8> inAnnual{};
    bool anyAnnual = false;
    for (int d = 1; d <= kDaysPerWeek; ++d) {
        std::time_t day = noonAfter(sunday, d - 1);
        normal[d] = group.defaultWeek().day(d);
        actual[d] = dayPlanInEffect(group, day, now, overrideToday);
        inAnnual[d] = liesInAnnualPlan(group, day);
        anyAnnual = anyAnnual || inAnnual[d];
    }

    SpecialWeek week;
    for (int d = 1; d <= kDaysPerWeek; ++d) {
        if (!anyAnnual || !inAnnual[1])
            week.changed = week.changed || normal[d] != actual[d];
        else
            week.changed = week.changed || actual[d] != kPlanVacation;
        if (anyAnnual) week.changed = week.changed || inAnnual[d] != inAnnual[1];
    }
    if (!week.changed) return week;

    for (int d = 1; d <= kDaysPerWeek; ++d) {
        if (!anyAnnual)
            week.dayPlan[d] = actual[d];
        else if (!inAnnual[1])
            week.dayPlan[d] = inAnnual[d] == inAnnual[1] ? actual[d] : 0;
        else if (inAnnual[d] == inAnnual[1])
            week.dayPlan[d] = actual[d] != normal[d] ? actual[d] : 0;
        else
            week.dayPlan[d] = normal[d];
    }
    return week;
}

SpecialWeek scanWeekFrom(const Group& group, std::time_t date, std::time_t now,
                         bool overrideToday) {
    SpecialWeek week;
    std::time_t noon = noonAfter(date, 0);
    int weekday = toLocal(noon).weekday;
    bool starts = annualPlanStartsOn(group, noon);
    if (!starts && (weekday == kSunday || !annualPlanEndedDayBefore(group, noon))) return week;

    WeekDays normal{};
    for (int d = 1; d < weekday; ++d) normal[d] = week.dayPlan[d] = kPlanVacation;
    for (int d = weekday; d <= kDaysPerWeek; ++d) {
        normal[d] = group.defaultWeek().day(d);
        week.dayPlan[d] = dayPlanInEffect(group, noonAfter(noon, d - weekday), now, overrideToday);
    }
    for (int d = weekday; d <= kDaysPerWeek; ++d) {
        if (starts)
            week.changed = week.changed || !isRestPlan(week.dayPlan[d]);
        else
            week.changed = week.changed || week.dayPlan[d] != normal[d];
    }
    return week;
}

}  // namespace quirn
