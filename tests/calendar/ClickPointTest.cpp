#include <gtest/gtest.h>

#include "calendar/CalendarModel.h"
#include "calendar/view/ClickPoint.h"
#include "platform/LocalTime.h"

namespace quirn::vorncal {
namespace {

using calendar::DayHit;

const calendar::Rect kBounds{0, 0, 720, 840};
const calendar::TextSize kX{6, 10};

// The hosts press where the control's own hit test finds the day they meant.
TEST(ClickPoint, LandsOnTheDatesCellAsTheControlSeesIt) {
    const std::time_t today = fromLocal(2026, 12, 9, 12);
    calendar::DisplayState display;
    calendar::CalendarModel model(today, display);
    model.layout(kBounds, kX);
    for (LocalDate date : {LocalDate{2026, 12, 9}, LocalDate{2026, 12, 31}, LocalDate{2027, 2, 28},
                           LocalDate{2028, 2, 1}}) {
        auto at = clickPoint({ClickRequest::Target::Date, 0, 0, date}, today, kBounds, kX);
        ASSERT_TRUE(at);
        EXPECT_EQ(model.hitTest(*at, today), (DayHit{date.year, date.month, date.day}));
    }
}

TEST(ClickPoint, HeadingRowOfTheMonthAnswersNothing) {
    const std::time_t today = fromLocal(2026, 12, 9, 12);
    calendar::DisplayState display;
    calendar::CalendarModel model(today, display);
    model.layout(kBounds, kX);
    auto at = clickPoint({ClickRequest::Target::Heading, 0, 0, {2027, 1, 1}}, today, kBounds, kX);
    ASSERT_TRUE(at);
    EXPECT_TRUE(model.panel(1).grid().rect().contains(*at));
    EXPECT_FALSE(model.hitTest(*at, today));
}

TEST(ClickPoint, MonthsOffTheControlAndPlainPoints) {
    const std::time_t today = fromLocal(2026, 12, 9, 12);
    EXPECT_FALSE(clickPoint({ClickRequest::Target::Date, 0, 0, {2028, 3, 1}}, today, kBounds, kX));
    EXPECT_FALSE(
        clickPoint({ClickRequest::Target::Date, 0, 0, {2026, 11, 30}}, today, kBounds, kX));
    auto at = clickPoint({ClickRequest::Target::Point, 17, 23, {}}, today, kBounds, kX);
    ASSERT_TRUE(at);
    EXPECT_EQ(*at, (calendar::Point{17, 23}));
}

}  // namespace
}  // namespace quirn::vorncal
