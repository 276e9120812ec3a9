#pragma once
#include <ctime>

namespace quirn::plancalendar {

// The days the control shows: the first of today's month through the last day of the
// fifteenth month, as local midnights. Marks outside would never be drawn, so none are made.
struct CalendarSpan {
    std::time_t first = 0;
    std::time_t last = 0;

    bool contains(std::time_t day) const { return first <= day && day <= last; }
};

inline constexpr int kShownMonths = 15;

CalendarSpan shownSpan(std::time_t today);

}  // namespace quirn::plancalendar
