#include "protocol/WeekSteps.h"

#include <algorithm>

#include "protocol/Base62.h"
#include "protocol/DaySet.h"

namespace quirn {

namespace {

constexpr int kMinutesInDay = kHoursPerDay * kMinutesPerHour;
constexpr int kCommandOff = 0;
constexpr int kCommandOn = 1;
constexpr int kFirstWorkday = 2;  // Monday
constexpr int kLastWorkday = 6;   // Friday

void sortByMinute(std::vector<DayStep>& steps) {
    std::stable_sort(steps.begin(), steps.end(), [](const DayStep& a, const DayStep& b) {
        return a.minuteOfDay < b.minuteOfDay;
    });
}

DayStep dayStepOf(int hour, int minute, bool on) {
    return {hour * kMinutesPerHour + minute, on};
}

}  // namespace

bool isSendable(const PlanStep& step) {
    return (step.command == kCommandOff || step.command == kCommandOn) && step.hour >= 0 &&
           step.hour < kHoursPerDay && step.minute >= 0 && step.minute < kMinutesPerHour;
}

WeekStepTable collectWeekSteps(std::span<const PlanStep> groupSteps, const WeekDays& dayPlan) {
    WeekStepTable table;
    for (int d = 1; d <= kDaysPerWeek; ++d) {
        for (const PlanStep& s : groupSteps)
            if (s.plan == dayPlan[d] && isSendable(s))
                table[d].push_back(dayStepOf(s.hour, s.minute, s.command == kCommandOn));
        sortByMinute(table[d]);
    }
    return table;
}

WeekStepTable collectSummerSteps(std::span<const SummerStep> entries) {
    WeekStepTable table;
    for (int d = kFirstWorkday; d <= kLastWorkday; ++d) {
        for (const SummerStep& e : entries) {
            PlanStep on{0, e.onHour, e.onMinute, kCommandOn};
            PlanStep off{0, e.offHour, e.offMinute, kCommandOff};
            if (isSendable(on)) table[d].push_back(dayStepOf(on.hour, on.minute, true));
            if (isSendable(off)) table[d].push_back(dayStepOf(off.hour, off.minute, false));
        }
        sortByMinute(table[d]);
    }
    return table;
}

std::string encodeCollected(const WeekStepTable& table) {
    std::array<std::vector<bool>, 8> sent;
    size_t remaining = 0;
    for (int d = 1; d <= kDaysPerWeek; ++d) {
        sent[d].assign(table[d].size(), false);
        remaining += table[d].size();
    }
    std::string out;
    while (remaining > 0) {
        // Earliest unsent step; the first one met wins a tie and brings its command.
        int best = kMinutesInDay;
        bool bestOn = false;
        bool found = false;
        for (int d = 1; d <= kDaysPerWeek; ++d)
            for (size_t i = 0; i < table[d].size(); ++i)
                if (!sent[d][i] && table[d][i].minuteOfDay >= 0 && table[d][i].minuteOfDay < best) {
                    best = table[d][i].minuteOfDay;
                    bestOn = table[d][i].on;
                    found = true;
                }
        if (!found) break;  // only times outside the day are left: they cannot be sent
        // Every copy of that time and command is sent now, whatever day holds it.
        unsigned mask = 0;
        for (int d = 1; d <= kDaysPerWeek; ++d)
            for (size_t i = 0; i < table[d].size(); ++i)
                if (table[d][i].minuteOfDay == best && table[d][i].on == bestOn) {
                    if (!sent[d][i]) --remaining;
                    sent[d][i] = true;
                    mask |= sendDayBit(d);
                }
        out += daySetText(mask, stepPair(best / kMinutesPerHour, best % kMinutesPerHour, bestOn));
    }
    return out;
}

std::string encodeWeekSteps(std::span<const PlanStep> groupSteps, const WeekDays& dayPlan) {
    return encodeCollected(collectWeekSteps(groupSteps, dayPlan));
}

}  // namespace quirn
