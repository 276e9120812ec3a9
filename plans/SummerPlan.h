#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "plans/Step.h"

namespace quirn {

// A location a summer plan switches, with the mark that it waits to be paged.
struct SummerLocation {
    int32_t masterGroup = 1;
    int32_t group = 1;
    int32_t location = 1;
    bool page = false;

    bool sameNumbers(int mg, int g, int l) const {
        return masterGroup == mg && group == g && location == l;
    }
};

// One ON time and one OFF time of day.
struct SummerPlanStep {
    int32_t onHour = 0;
    int32_t onMinute = 0;
    int32_t offHour = 0;
    int32_t offMinute = 0;
};

// A named summer school plan: its locations switch on and off at fixed daily times between the
// start and end dates, independently of their groups' programming.
struct SummerPlan {
    // Dates are kept at noon, which no daylight-saving change can move to another day.
    static constexpr int kDateHour = 12;
    // The active range runs from the Sunday on or before the start date at 00:00:10 to the
    // Sunday on or after the end date at 23:59:50.
    static constexpr int kActiveStartSecond = 10;
    static constexpr int kActiveEndHour = 23;
    static constexpr int kActiveEndMinute = 59;
    static constexpr int kActiveEndSecond = 50;

    SummerPlan();

    std::string name;  // may contain commas
    std::vector<SummerLocation> locations;
    std::vector<SummerPlanStep> steps;
    std::time_t startDate;  // "never" until set
    std::time_t endDate;    // "never" until set

    // Adds a location unless the plan already holds one with these numbers; false then.
    bool addLocation(int masterGroup, int group, int location);
    bool hasLocation(int masterGroup, int group, int location) const;
    // Sets a date (the day at noon); false, and nothing changed, for a date that does not exist.
    bool setStartDate(int year, int month, int day);
    bool setEndDate(int year, int month, int day);

    // First and last second of the active range (see above).
    std::time_t activeFrom() const;
    std::time_t activeUntil() const;
    bool isActive(std::time_t now) const;

    // Each summer step as two steps of the given numbers: ON with command 1, OFF with 0.
    std::vector<Step> pagingSteps(int masterGroup, int group) const;
};

}  // namespace quirn
