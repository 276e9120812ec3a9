#pragma once
#include <cstdint>

namespace quirn::plancalendar {

// One day as the calendar control is told to mark it: a date and the code it paints there.
struct CalendarMark {
    int year = 1970;
    int month = 1;
    int day = 1;
    std::int16_t code = 0;

    bool operator==(const CalendarMark&) const = default;
};

// The codes the control paints beyond day-plan numbers.
inline constexpr std::int16_t kMarkHoliday = 100;
inline constexpr std::int16_t kMarkVacation = 101;     // first (and every inner) day
inline constexpr std::int16_t kMarkVacationEnd = 102;  // last day
inline constexpr std::int16_t kMarkPicked = -1;        // a day picked, not yet programmed
// What SetActivePlan takes besides a plan code: every mark inverted, or that turned off again.
inline constexpr std::int16_t kHighlightAll = -2;
inline constexpr std::int16_t kHighlightAllOff = -3;

}  // namespace quirn::plancalendar
