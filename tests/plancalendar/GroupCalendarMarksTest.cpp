#include <gtest/gtest.h>

#include "plancalendar/GroupCalendarMarks.h"
#include "plans/Group.h"
#include "platform/LocalTime.h"

namespace quirn::plancalendar {
namespace {

// The control shows December 2026 through February 2028 on this day.
const std::time_t kToday = fromLocal(2026, 12, 9, 10, 0);

TEST(ShownSpanTest, FifteenMonthsFromTheFirstOfTodaysMonth) {
    const CalendarSpan span = shownSpan(kToday);
    EXPECT_EQ(span.first, fromLocal(2026, 12, 1));
    EXPECT_EQ(span.last, fromLocal(2028, 2, 29));
}

TEST(GroupCalendarMarksTest, AnnualPlansShowTheirCodeAfterTheVacations) {
    Group group(1, 4);
    group.addAnnualPlan(AnnualPlan::on(1, 4, 3, 2027, 1, 8));
    group.addAnnualPlan(AnnualPlan::on(1, 4, kPlanHoliday, 2027, 1, 3));
    group.addVacationPlan(VacationPlan::over(1, 4, 2027, 1, 2, 2027, 1, 4));
    const std::vector<CalendarMark> expected{
        {2027, 1, 2, kMarkVacation},    {2027, 1, 3, kMarkVacation},
        {2027, 1, 4, kMarkVacationEnd}, {2027, 1, 8, 3},
        {2027, 1, 3, kMarkHoliday},
    };
    EXPECT_EQ(groupCalendarMarks(group, shownSpan(kToday)), expected);
}

TEST(GroupCalendarMarksTest, OneDayVacationIsOneOpeningMark) {
    Group group(1, 4);
    group.addVacationPlan(VacationPlan::over(1, 4, 2027, 3, 5, 2027, 3, 5));
    EXPECT_EQ(groupCalendarMarks(group, shownSpan(kToday)),
              (std::vector<CalendarMark>{{2027, 3, 5, kMarkVacation}}));
}

TEST(GroupCalendarMarksTest, OnlyTheShownDaysAreMarked) {
    Group group(1, 4);
    group.addAnnualPlan(AnnualPlan::on(1, 4, 2, 2026, 11, 30));
    group.addAnnualPlan(AnnualPlan::on(1, 4, 2, 2028, 3, 1));
    // A vacation that began before the shown months and one that ends after them: only their
    // shown days, and no closing mark for the one whose last day is not shown.
    group.addVacationPlan(VacationPlan::over(1, 4, 2026, 11, 29, 2026, 12, 2));
    group.addVacationPlan(VacationPlan::over(1, 4, 2028, 2, 28, 2030, 1, 1));
    const std::vector<CalendarMark> expected{
        {2026, 12, 1, kMarkVacation},
        {2026, 12, 2, kMarkVacationEnd},
        {2028, 2, 28, kMarkVacation},
        {2028, 2, 29, kMarkVacation},
    };
    EXPECT_EQ(groupCalendarMarks(group, shownSpan(kToday)), expected);
}

TEST(GroupCalendarMarksTest, AVacationOverTheDaylightSavingChangeMarksEachDayOnce) {
    Group group(1, 4);
    // Clocks go forward on 14 March 2027 in New York: that day is 23 hours long.
    group.addVacationPlan(VacationPlan::over(1, 4, 2027, 3, 12, 2027, 3, 16));
    const std::vector<CalendarMark> marks = groupCalendarMarks(group, shownSpan(kToday));
    ASSERT_EQ(marks.size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(marks[i].day, 12 + i);
    EXPECT_EQ(marks.back().code, kMarkVacationEnd);
}

TEST(GroupCalendarMarksTest, ALongVacationCostsNoMoreThanTheShownDays) {
    Group group(1, 4);
    group.addVacationPlan(VacationPlan::over(1, 4, 1990, 1, 1, 2090, 12, 31));
    EXPECT_EQ(groupCalendarMarks(group, shownSpan(kToday)).size(), 31u + 365u + 29u + 31u);
}

}  // namespace
}  // namespace quirn::plancalendar
