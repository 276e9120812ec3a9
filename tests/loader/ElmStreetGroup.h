#pragma once
#include "plans/PlanDatabase.h"

namespace quirn::test {

// The group the pseudo-terminal loader tests write and read: 06:45 ON and 07:50 OFF on school
// days, 14:05 ON and 15:00 OFF on Wednesday (day plan 2).
inline Group& addElmStreetGroup(PlanDatabase& db, int masterGroup, int group) {
    Group& g = db.group(masterGroup, group);
    g.setName("Elm Street");
    g.addStep(Step::atTime(masterGroup, group, 1, 6, 45, 1));
    g.addStep(Step::atTime(masterGroup, group, 1, 7, 50, 0));
    g.addStep(Step::atTime(masterGroup, group, 2, 14, 5, 1));
    g.addStep(Step::atTime(masterGroup, group, 2, 15, 0, 0));
    for (int day = 2; day <= 6; ++day) g.setDefaultDay(day, day == 4 ? 2 : 1);
    g.markProgrammingChanged();
    return g;
}

}  // namespace quirn::test
