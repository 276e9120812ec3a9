#include "protocol/RecordCommands.h"

#include "platform/LocalTime.h"
#include "protocol/DaySet.h"

namespace quirn {

namespace {

constexpr int kWholeGroup = 0;

}  // namespace

std::vector<PlanStep> groupSteps(const Group& group) {
    std::vector<PlanStep> out;
    for (const auto& plan : group.dayPlans())
        for (const Step& s : plan->steps())
            out.push_back({plan->plan(), s.hour, s.minute, s.command});
    return out;
}

WeekDays weekDays(const WeekPlan& week) {
    WeekDays days{};
    for (int d = 1; d <= kDaysPerWeek; ++d) days[d] = week.day(d);
    return days;
}

bool dateInAnnualPlan(const Group& group, std::time_t date) {
    return group.annualPlanOn(date) != nullptr || group.vacationCovering(date) != nullptr;
}

DefaultWeekCommand defaultWeekCommand(const Group& group, int location, std::time_t date,
                                      bool hasMasterGroups) {
    WeekDays days = DefaultWeekCommand::weekForDate(weekDays(group.defaultWeek()),
                                                    dateInAnnualPlan(group, date));
    return DefaultWeekCommand(group.masterGroup(), group.number(), location, hasMasterGroups, days,
                              groupSteps(group));
}

DefaultWeekCommand defaultWeekCommand(const Group& group, const Location& location,
                                      std::time_t date, bool hasMasterGroups) {
    return defaultWeekCommand(group, location.number, date, hasMasterGroups);
}

LocationWeekCommand locationWeekCommand(const PlanDatabase& db, const Group& group,
                                        const Location& location, bool hasMasterGroups) {
    WeekDays days = weekDays(group.defaultWeek());
    const SpecialWeekPlan* plan = nullptr;
    if (!isNever(db.specialWeekEnd()))
        plan = db.findSpecialWeekPlan(location.masterGroup, location.group, location.number);
    if (plan != nullptr) days = weekDays(plan->days);
    return LocationWeekCommand(location.masterGroup, location.group, location.number,
                               hasMasterGroups, days, plan != nullptr, groupSteps(group));
}

TimeDateCommand timeDateToEveryone(const PlanDatabase& db, const Clock& clock,
                                   bool hasMasterGroups) {
    return TimeDateCommand(clock, hasMasterGroups, db.masterGroupNumbers());
}

TimeCommand timeToEveryone(const PlanDatabase& db, const Clock& clock, bool hasMasterGroups,
                           std::time_t when) {
    return TimeCommand(clock, hasMasterGroups, db.masterGroupNumbers(), when);
}

TimeDateCommand timeDateCommand(const Location& location, const Clock& clock,
                                bool hasMasterGroups) {
    return TimeDateCommand(location.masterGroup, location.group, location.number, clock,
                           hasMasterGroups);
}

TimeCommand timeCommand(const Location& location, const Clock& clock, bool hasMasterGroups) {
    return TimeCommand(location.masterGroup, location.group, clock, hasMasterGroups);
}

ManualCommand manualCommand(const Group& group, bool relayOn, bool hasMasterGroups) {
    return ManualCommand(group.masterGroup(), group.number(), kWholeGroup, relayOn,
                         hasMasterGroups);
}

ReadCommand readCommand(const Location& location, bool hasMasterGroups) {
    return ReadCommand(location.masterGroup, location.group, location.number, hasMasterGroups);
}

ReadCommand readCommand(const Group& group, bool hasMasterGroups) {
    return ReadCommand(group.masterGroup(), group.number(), kWholeGroup, hasMasterGroups);
}

DelayTimeCommand delayTimeCommand(const Location& location, bool hasMasterGroups) {
    return DelayTimeCommand(location.masterGroup, location.group, location.number,
                            location.striderTimeCode(), hasMasterGroups);
}

PasswayLogRequestCommand logRequestCommand(const Location& location, int block,
                                           bool hasMasterGroups) {
    return PasswayLogRequestCommand(location.masterGroup, location.group, location.number, block,
                                    hasMasterGroups);
}

PasswayLogClearCommand logClearCommand(const Location& location, bool hasMasterGroups) {
    return PasswayLogClearCommand(location.masterGroup, location.group, location.number,
                                  hasMasterGroups);
}

BcdTimeCommand bcdTimeCommand(const Location& location, const Clock& clock, std::time_t when) {
    return BcdTimeCommand(location.masterGroup, location.group, location.number, clock, when);
}

BcdRelayCommand bcdRelayCommand(const Group& group, int value) {
    return BcdRelayCommand(group.masterGroup(), group.number(), kWholeGroup, value);
}

MX40ReadCommand mx40ReadCommand(const Location& location) {
    return MX40ReadCommand(location.masterGroup, location.group, location.number);
}

LR40ReadCommand lr40ReadCommand(const Location& location) {
    return LR40ReadCommand(location.masterGroup, location.group, location.number);
}

}  // namespace quirn
