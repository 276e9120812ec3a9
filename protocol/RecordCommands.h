#pragma once
#include <ctime>
#include <vector>

#include "plans/Group.h"
#include "plans/Location.h"
#include "plans/PlanDatabase.h"
#include "plans/WeekPlan.h"
#include "platform/Clock.h"
#include "protocol/BcdCommands.h"
#include "protocol/PagedCommands.h"
#include "protocol/TimeCommands.h"
#include "protocol/WeekCommands.h"

namespace quirn {

// Commands built from the plan records. The command classes take plain numbers and lists;
// these functions read what they need from a Group, a Location or the PlanDatabase.
// `hasMasterGroups` is the agency's "HasMasterGroups" setting.

// Every step of every day plan of the group (day plans in list order, steps in list order).
std::vector<PlanStep> groupSteps(const Group& group);

// A week plan's seven day plan numbers.
WeekDays weekDays(const WeekPlan& week);

// True when the date lies in one of the group's annual plans (a dated plan or a vacation).
bool dateInAnnualPlan(const Group& group, std::time_t date);

// 'D' of the group's default week addressed to one location (0 = all of the group), for a
// date: an empty week when the date lies in an annual plan.
DefaultWeekCommand defaultWeekCommand(const Group& group, int location, std::time_t date,
                                      bool hasMasterGroups);
DefaultWeekCommand defaultWeekCommand(const Group& group, const Location& location,
                                      std::time_t date, bool hasMasterGroups);

// 'W' of a location's own stored special week plan: found only while a special week is
// recorded (its end is not "never") and a plan exists for exactly these numbers; the days
// start as the group's default week.
LocationWeekCommand locationWeekCommand(const PlanDatabase& db, const Group& group,
                                        const Location& location, bool hasMasterGroups);

// 'Z' and 'T' to everyone: one message per master group that any record names.
TimeDateCommand timeDateToEveryone(const PlanDatabase& db, const Clock& clock,
                                   bool hasMasterGroups);
TimeCommand timeToEveryone(const PlanDatabase& db, const Clock& clock, bool hasMasterGroups,
                           std::time_t when = neverTime());

// Single-location and single-group commands from their records.
TimeDateCommand timeDateCommand(const Location& location, const Clock& clock, bool hasMasterGroups);
TimeCommand timeCommand(const Location& location, const Clock& clock, bool hasMasterGroups);
ManualCommand manualCommand(const Group& group, bool relayOn, bool hasMasterGroups);
ReadCommand readCommand(const Location& location, bool hasMasterGroups);
ReadCommand readCommand(const Group& group, bool hasMasterGroups);
DelayTimeCommand delayTimeCommand(const Location& location, bool hasMasterGroups);
PasswayLogRequestCommand logRequestCommand(const Location& location, int block,
                                           bool hasMasterGroups);
PasswayLogClearCommand logClearCommand(const Location& location, bool hasMasterGroups);
BcdTimeCommand bcdTimeCommand(const Location& location, const Clock& clock,
                              std::time_t when = neverTime());
BcdRelayCommand bcdRelayCommand(const Group& group, int value);
MX40ReadCommand mx40ReadCommand(const Location& location);
LR40ReadCommand lr40ReadCommand(const Location& location);

}  // namespace quirn
