#include "plancalendar/DayGesture.h"

#include <utility>

#include "platform/LocalTime.h"

namespace quirn::plancalendar {

namespace {
constexpr int kFirstYear = 1970;
constexpr int kLastYear = 9999;
constexpr int kMonthsInYear = 12;
}  // namespace

std::optional<std::time_t> reportedDay(int year, int month, int day) {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > kMonthsInYear || day < 1 ||
        day > daysInMonth(year, month))
        return std::nullopt;
    const std::time_t t = fromLocal(year, month, day);
    if (t == kImpossibleTime) return std::nullopt;
    return t;
}

void PressLiftTracker::focus(int year, int month, int day) {
    pressed_ = reportedDay(year, month, day);
}

std::optional<DayRange> PressLiftTracker::lift(int year, int month, int day) {
    const std::optional<std::time_t> pressed = std::exchange(pressed_, std::nullopt);
    const std::optional<std::time_t> lifted = reportedDay(year, month, day);
    if (!pressed || !lifted) return std::nullopt;
    if (*lifted < *pressed) return DayRange{*lifted, *pressed};
    return DayRange{*pressed, *lifted};
}

}  // namespace quirn::plancalendar
