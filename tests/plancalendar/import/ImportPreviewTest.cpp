#include <gtest/gtest.h>

#include "plancalendar/import/ImportActionChoices.h"
#include "plancalendar/import/ImportPreview.h"
#include "plancalendar/import/MappingRows.h"
#include "plans/Group.h"
#include "platform/LocalTime.h"

namespace quirn::plancalendar {
namespace {

CalendarEvent event(CalendarDate first, CalendarDate last, const char* summary) {
    return {first, last, summary, {}, "line 1"};
}

TEST(MappingRowsTest, EachSummaryOnceWithItsCountFirstDayAndSuggestion) {
    const std::vector<CalendarEvent> events{
        event({2027, 9, 8}, {2027, 9, 8}, "Early Release"),
        event({2027, 9, 6}, {2027, 9, 6}, "Labor Day"),
        event({2027, 11, 24}, {2027, 11, 26}, "Thanksgiving Break"),
        event({2027, 9, 1}, {2027, 9, 1}, " early release "),
    };
    const std::vector<MappingRow> rows = mappingRows(events);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].summary, "Early Release");
    EXPECT_EQ(rows[0].events, 2);
    EXPECT_EQ(rows[0].firstDay, (CalendarDate{2027, 9, 1}));
    EXPECT_FALSE(rows[0].suggestion) << "an early release needs its day plan named";
    EXPECT_FALSE(rows[1].suggestion);
    ASSERT_TRUE(rows[2].suggestion);
    EXPECT_EQ(rows[2].suggestion->kind, CalendarActionKind::Vacation);
}

TEST(ImportActionChoicesTest, HolidayVacationNineDayPlansIgnore) {
    const std::vector<CalendarAction> choices = importActionChoices();
    ASSERT_EQ(choices.size(), 12u);
    EXPECT_EQ(importActionIndex({CalendarActionKind::DayPlan, 3}), 4);
    EXPECT_EQ(importActionIndex({CalendarActionKind::Ignore, 0}), 11);
    EXPECT_FALSE(importActionIndex({CalendarActionKind::DayPlan, 12}));
}

TEST(ImportPreviewTest, TheGroupsOwnChangesReplaceItsPlansWithoutTouchingIt) {
    Group group(1, 4);
    group.addAnnualPlan(AnnualPlan::on(1, 4, 3, 2027, 9, 6));
    const GroupRef self{1, 4}, other{1, 5};
    const auto change = [](GroupRef g, CalendarChangeKind kind, CalendarDate first,
                           CalendarDate last, int plan) {
        CalendarChange c;
        c.group = g;
        c.kind = kind;
        c.first = first;
        c.last = last;
        c.plan = plan;
        return c;
    };
    const std::vector<CalendarChange> changes{
        change(self, CalendarChangeKind::AnnualPlan, {2027, 9, 6}, {2027, 9, 6}, kPlanHoliday),
        change(self, CalendarChangeKind::Vacation, {2027, 11, 24}, {2027, 11, 26}, 101),
        change(other, CalendarChangeKind::AnnualPlan, {2027, 9, 7}, {2027, 9, 7}, 2),
    };
    const std::vector<CalendarMark> marks =
        marksAfterChanges(group, changes, shownSpan(fromLocal(2027, 8, 15, 10)));
    const std::vector<CalendarMark> expected{{2027, 11, 24, kMarkVacation},
                                             {2027, 11, 25, kMarkVacation},
                                             {2027, 11, 26, kMarkVacationEnd},
                                             {2027, 9, 6, kMarkHoliday}};
    EXPECT_EQ(marks, expected);
    ASSERT_EQ(group.annualPlans().size(), 1u);
    EXPECT_EQ(group.annualPlans().front().plan, 3) << "the group itself is unchanged";
    EXPECT_TRUE(group.vacationPlans().empty());
}

}  // namespace
}  // namespace quirn::plancalendar
