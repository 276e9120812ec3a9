#pragma once
#include <cstdint>

namespace quirn {

inline constexpr int kMinutesPerDay = 1440;
inline constexpr int kCommandOff = 0;
inline constexpr int kCommandOn = 1;
inline constexpr int kNotProgrammed = -1;

// One timed ON/OFF event of a day plan.
struct Step {
    int32_t masterGroup = 1;
    int32_t group = 1;
    int32_t plan = 1;
    int32_t command = kNotProgrammed;  // 0 OFF, 1 ON, -1 not programmed
    int32_t hour = kNotProgrammed;
    int32_t minute = kNotProgrammed;
    int32_t position = 0;  // index 0..15 after the last sort

    // A step at a time of day; the time wraps into the day (24:00 -> 0:00, 25:30 -> 1:30).
    // A negative time gives a "not programmed" step.
    static Step atTime(int masterGroup, int group, int plan, int hour, int minute, int command);
    static Step atMinuteOfDay(int masterGroup, int group, int plan, int minutes, int command);
    static Step notProgrammed(int masterGroup, int group, int plan);
    // The same time and command for another group or plan.
    Step copyFor(int masterGroup, int group, int plan) const;

    bool isProgrammed() const { return hour >= 0 && minute >= 0; }
    // Minutes since midnight; -61 for a not programmed step (as the steps file writes it).
    int minuteOfDay() const { return hour * 60 + minute; }

    // Equal when master group, group, plan, hour, minute and command are (position ignored).
    friend bool operator==(const Step& a, const Step& b) {
        return a.masterGroup == b.masterGroup && a.group == b.group && a.plan == b.plan &&
               a.hour == b.hour && a.minute == b.minute && a.command == b.command;
    }
};

}  // namespace quirn
