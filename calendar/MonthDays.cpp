#include "calendar/MonthDays.h"

namespace quirn::calendar {

namespace {
constexpr int kMonthLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kFebruary = 2;
constexpr int kDecember = 12;
}  // namespace

int controlDaysInMonth(int year, int month) {
    if (month < 1 || month > kDecember) return 0;
    if (month == kFebruary) return year % 4 == 0 ? 29 : 28;
    return kMonthLength[month - 1];
}

YearMonth nextMonth(YearMonth ym) {
    if (ym.month >= kDecember) return {ym.year + 1, 1};
    return {ym.year, ym.month + 1};
}

std::array<YearMonth, kPanelCount> fifteenMonthsFrom(YearMonth first) {
    std::array<YearMonth, kPanelCount> months;
    for (YearMonth& m : months) {
        m = first;
        first = nextMonth(first);
    }
    return months;
}

}  // namespace quirn::calendar
