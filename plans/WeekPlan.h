#pragma once
#include <array>

#include "plans/PlanTypes.h"

namespace quirn {

// Seven day plan numbers indexed by weekday 1 (Sunday) .. 7 (Saturday).
struct WeekPlan {
    std::array<int, 8> days{};  // index 0 unused

    // Sunday 0, Monday..Friday 1, Saturday 0: the week of a new or cleared group.
    static WeekPlan standard();
    // The day plan of the standard week for a weekday.
    static int standardDay(int weekday) {
        return weekday == kSunday || weekday == kSaturday ? kPlanNone : kPlanNormal;
    }
    int day(int weekday) const { return weekday >= 1 && weekday <= 7 ? days[weekday] : 0; }
    void setDay(int weekday, int plan) {
        if (weekday >= 1 && weekday <= 7) days[weekday] = plan;
    }
    // Number of weekdays that differ from the standard week.
    int differencesFromStandard() const;
    friend bool operator==(const WeekPlan& a, const WeekPlan& b) {
        for (int d = 1; d <= 7; ++d)
            if (a.days[d] != b.days[d]) return false;
        return true;
    }
};

inline WeekPlan WeekPlan::standard() {
    WeekPlan w;
    for (int d = 1; d <= 7; ++d) w.days[d] = standardDay(d);
    return w;
}

inline int WeekPlan::differencesFromStandard() const {
    int n = 0;
    for (int d = 1; d <= 7; ++d) n += days[d] != standardDay(d);
    return n;
}

}  // namespace quirn
