#include <gtest/gtest.h>

#include "calendar/MonthDays.h"

namespace quirn::calendar {
namespace {

TEST(MonthDays, LengthsAsTheControlCounts) {
    struct Row {
        int year, month, days;
    };
    const Row rows[] = {
        {2025, 1, 31},
        {2025, 2, 28},
        {2025, 3, 31},
        {2025, 4, 30},
        {2025, 5, 31},
        {2025, 6, 30},
        {2025, 7, 31},
        {2025, 8, 31},
        {2025, 9, 30},
        {2025, 10, 31},
        {2025, 11, 30},
        {2025, 12, 31},
        {2024, 2, 29},
        {2028, 2, 29},
        // Every year divisible by 4, century years too: the control's rule, not Gregory's.
        {2100, 2, 29},
        {1900, 2, 29},
        {2000, 2, 29},
        {2026, 2, 28},
        {2025, 0, 0},
        {2025, 13, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(controlDaysInMonth(r.year, r.month), r.days) << r.year << "-" << r.month;
}

TEST(MonthDays, FifteenMonthsWrapFromDecemberToJanuary) {
    const auto months = fifteenMonthsFrom({2025, 11});
    EXPECT_EQ(months[0], (YearMonth{2025, 11}));
    EXPECT_EQ(months[1], (YearMonth{2025, 12}));
    EXPECT_EQ(months[2], (YearMonth{2026, 1}));
    EXPECT_EQ(months[13], (YearMonth{2026, 12}));
    EXPECT_EQ(months[14], (YearMonth{2027, 1}));
}

TEST(MonthDays, FifteenMonthsFromJanuaryEndInMarchOfTheNextYear) {
    const auto months = fifteenMonthsFrom({2025, 1});
    EXPECT_EQ(months[11], (YearMonth{2025, 12}));
    EXPECT_EQ(months[12], (YearMonth{2026, 1}));
    EXPECT_EQ(months[14], (YearMonth{2026, 3}));
}

}  // namespace
}  // namespace quirn::calendar
