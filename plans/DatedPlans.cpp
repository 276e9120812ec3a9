#include "plans/DatedPlans.h"

#include "platform/LocalTime.h"

namespace quirn {

AnnualPlan AnnualPlan::on(int masterGroup, int group, int plan, int year, int month, int day) {
    return {group, masterGroup, plan, fromLocal(year, month, day)};
}

VacationPlan VacationPlan::over(int masterGroup, int group, int sy, int sm, int sd, int ey, int em,
                                int ed) {
    VacationPlan v;
    v.masterGroup = masterGroup;
    v.group = group;
    v.start = fromLocal(sy, sm, sd);
    v.end = fromLocal(ey, em, ed, kVacationEndHour, kVacationEndMinute, kVacationEndSecond);
    return v;
}

bool VacationPlan::covers(std::time_t t) const {
    std::time_t day = startOfDay(t);
    return day >= startOfDay(start) && day <= startOfDay(end);
}

}  // namespace quirn
