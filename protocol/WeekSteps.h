#pragma once
#include <array>
#include <span>
#include <string>
#include <vector>

namespace quirn {

// Week steps: the data of 'D' and 'W' messages. Each distinct time and command of the week is
// written once, in ascending time, with the day letters of every weekday that shares it.

// One step of a group as the encoder needs it; independent of the plan records.
struct PlanStep {
    int plan = 0;      // day plan number
    int hour = -1;     // 0..23
    int minute = -1;   // 0..59
    int command = -1;  // 0 OFF, 1 ON; anything else is not programmed
};

// One summer school entry: an ON time and an OFF time of day.
struct SummerStep {
    int onHour = 0;
    int onMinute = 0;
    int offHour = 0;
    int offMinute = 0;
};

// Day plan number per weekday 1 (Sunday) .. 7 (Saturday); index 0 unused.
using WeekDays = std::array<int, 8>;

// A time and a command on one weekday.
struct DayStep {
    int minuteOfDay = 0;  // 0..1439
    bool on = false;
};

// Steps per weekday 1..7 (index 0 unused), each day in the order it will be scanned.
using WeekStepTable = std::array<std::vector<DayStep>, 8>;

// True for a step that can be sent: command 0 or 1, hour 0..23, minute 0..59.
bool isSendable(const PlanStep& step);

// For each weekday, the group's steps whose day plan is that day's, sorted by minute of day
// (steps at the same minute keep their order). Steps that cannot be sent are left out.
WeekStepTable collectWeekSteps(std::span<const PlanStep> groupSteps, const WeekDays& dayPlan);

// Each summer entry as an ON and an OFF step on Monday..Friday only, sorted by minute of day.
WeekStepTable collectSummerSteps(std::span<const SummerStep> entries);

// The week-steps text of a table: repeatedly the earliest unsent time (first found in
// day order and list order on ties, with its command), sent once with the mask of every day
// holding that same time and command. Empty when no day has a step.
std::string encodeCollected(const WeekStepTable& table);

// collectWeekSteps followed by encodeCollected.
std::string encodeWeekSteps(std::span<const PlanStep> groupSteps, const WeekDays& dayPlan);

}  // namespace quirn
