#include "plans/Step.h"

namespace quirn {

namespace {
constexpr int kMinutesPerHour = 60;
}  // namespace

Step Step::atMinuteOfDay(int masterGroup, int group, int plan, int minutes, int command) {
    if (minutes < 0) return notProgrammed(masterGroup, group, plan);
    Step s;
    s.masterGroup = masterGroup;
    s.group = group;
    s.plan = plan;
    int m = minutes % kMinutesPerDay;
    s.hour = m / kMinutesPerHour;
    s.minute = m % kMinutesPerHour;
    s.command = command;
    return s;
}

Step Step::atTime(int masterGroup, int group, int plan, int hour, int minute, int command) {
    if (hour < 0 || minute < 0) return notProgrammed(masterGroup, group, plan);
    return atMinuteOfDay(masterGroup, group, plan, hour * kMinutesPerHour + minute, command);
}

Step Step::notProgrammed(int masterGroup, int group, int plan) {
    Step s;
    s.masterGroup = masterGroup;
    s.group = group;
    s.plan = plan;
    return s;
}

Step Step::copyFor(int mg, int g, int p) const {
    Step s = *this;
    s.masterGroup = mg;
    s.group = g;
    s.plan = p;
    return s;
}

}  // namespace quirn
