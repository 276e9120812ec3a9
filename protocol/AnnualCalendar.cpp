#include "protocol/AnnualCalendar.h"

#include <algorithm>
#include <cmath>

#include "platform/LocalTime.h"
#include "protocol/DaySet.h"

namespace quirn {

namespace {

constexpr int kNoon = 12;
constexpr double kSecondsPerHour = 3600.0;
constexpr int kHoursPerDay = 24;
constexpr int kHalfDayHours = kHoursPerDay / 2;

}  // namespace

std::time_t noonAfter(std::time_t t, int days) {
    LocalDateTime d = toLocal(t);
    return fromLocal(d.year, d.month, d.day + days, kNoon);
}

bool liesInAnnualPlan(const Group& group, std::time_t date) {
    return group.annualPlanOn(date) != nullptr || group.vacationCovering(date) != nullptr;
}

bool annualPlanStartsOn(const Group& group, std::time_t date) {
    if (group.annualPlanOn(date) != nullptr) return true;
    for (const VacationPlan& v : group.vacationPlans())
        if (sameLocalDate(v.start, date)) return true;
    return false;
}

bool annualPlanEndedDayBefore(const Group& group, std::time_t date) {
    std::time_t dayBefore = noonAfter(date, -1);
    if (group.annualPlanOn(dayBefore) != nullptr) return true;
    for (const VacationPlan& v : group.vacationPlans())
        if (sameLocalDate(v.end, dayBefore)) return true;
    return false;
}

int dayPlanInEffect(const Group& group, std::time_t date, std::time_t now, bool overrideToday) {
    int weekday = toLocal(date).weekday;
    if (overrideToday && sameLocalDate(date, now)) return group.defaultWeek().day(weekday);
    if (const AnnualPlan* a = group.annualPlanOn(date)) return a->plan;
    if (group.vacationCovering(date) != nullptr) return kPlanVacation;
    return group.defaultWeek().day(weekday);
}

std::vector<int> planCalendar(const Group& group, std::time_t now) {
    std::vector<int> days(kCalendarDays);
    std::time_t first = startOfDay(noonAfter(now, 0));
    std::time_t last = startOfDay(noonAfter(now, kCalendarDays - 1));
    LocalDateTime today = toLocal(now);
    for (int i = 0; i < kCalendarDays; ++i)
        days[i] = group.defaultWeek().day((today.weekday - 1 + i) % kDaysPerWeek + 1);

    // Day index of a date within the calendar, counted in calendar days (DST-safe).
    auto indexOf = [&](std::time_t t) {
        LocalDateTime d = toLocal(t);
        std::time_t noon = fromLocal(d.year, d.month, d.day, kNoon);
        std::time_t todayNoon = fromLocal(today.year, today.month, today.day, kNoon);
        double hours = std::difftime(noon, todayNoon) / kSecondsPerHour;
        // Rounded to the nearest whole day: a day around a DST change is 23 or 25 hours.
        return static_cast<long>(hours >= 0 ? (hours + kHalfDayHours) / kHoursPerDay
                                            : (hours - kHalfDayHours) / kHoursPerDay);
    };
    for (const AnnualPlan& a : group.annualPlans()) {
        if (startOfDay(a.date) < first || startOfDay(a.date) > last) continue;
        days[indexOf(a.date)] = a.plan;
    }
    for (const VacationPlan& v : group.vacationPlans()) {
        long from = std::max(0L, indexOf(v.start));
        long to = std::min(static_cast<long>(kCalendarDays) - 1, indexOf(v.end));
        for (long i = from; i <= to; ++i) days[i] = kPlanVacation;
    }
    return days;
}

std::vector<DatedRun> differingRuns(const Group& group, std::time_t now, size_t limit,
                                    const std::function<int(int)>& mapPlan) {
    std::vector<DatedRun> runs;
    std::vector<int> calendar = planCalendar(group, now);
    LocalDateTime today = toLocal(now);
    bool open = false;
    DatedRun current;
    for (int i = 0; i < kCalendarDays && runs.size() < limit; ++i) {
        int plan = mapPlan(calendar[i]);
        int normal = mapPlan(group.defaultWeek().day((today.weekday - 1 + i) % kDaysPerWeek + 1));
        if (open && (plan == normal || plan != current.plan)) {
            current.end = noonAfter(now, i - 1);
            runs.push_back(current);
            open = false;
            if (runs.size() >= limit) break;
        }
        if (plan != normal && !open) {
            current = {noonAfter(now, i), 0, plan};
            open = true;
        }
    }
    if (open && runs.size() < limit) {
        current.end = noonAfter(now, kCalendarDays - 1);
        runs.push_back(current);
    }
    return runs;
}

}  // namespace quirn
