#pragma once
#include <array>

namespace quirn::calendar {

struct YearMonth {
    int year = 1970;
    int month = 1;  // 1..12
    friend bool operator==(const YearMonth&, const YearMonth&) = default;
};

inline constexpr int kPanelCount = 15;

// The control's own month lengths: February has 29 days in every year divisible by 4, century
// years included (the control has always counted so; it is not the Gregorian rule). 0 for a
// month outside 1..12.
int controlDaysInMonth(int year, int month);

// The month after `ym`, December wrapping to January of the next year.
YearMonth nextMonth(YearMonth ym);

// Fifteen consecutive months, the first being `first`.
std::array<YearMonth, kPanelCount> fifteenMonthsFrom(YearMonth first);

}  // namespace quirn::calendar
