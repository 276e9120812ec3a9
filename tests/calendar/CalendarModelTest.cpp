#include <gtest/gtest.h>

#include "calendar/CalendarModel.h"
#include "platform/LocalTime.h"

namespace quirn::calendar {
namespace {

constexpr Rect kBounds{0, 0, 720, 840};
constexpr TextSize kX{7, 11};

// Where a press on a day of panel `index` lands.
Point centreOfDay(const CalendarModel& model, int index, int day) {
    const MonthPanel& panel = model.panel(index);
    const Cell cell = panel.findDay(day).value();
    return {panel.columnCentre(cell.column), panel.rowTop(cell.row) + panel.grid().rowHeight / 2};
}

TEST(CalendarModel, FifteenMonthsStartWithTheMonthOfToday) {
    DisplayState state;
    CalendarModel model(fromLocal(2025, 11, 30, 23, 59), state);
    EXPECT_EQ(model.panel(0).month(), (YearMonth{2025, 11}));
    EXPECT_EQ(model.panel(2).month(), (YearMonth{2026, 1}));
    EXPECT_EQ(model.panel(14).month(), (YearMonth{2027, 1}));
}

TEST(CalendarModel, PanelsRunLeftToRightThenDown) {
    EXPECT_EQ(CalendarModel::panelBounds(0, kBounds), (Rect{0, 0, 240, 168}));
    EXPECT_EQ(CalendarModel::panelBounds(2, kBounds), (Rect{480, 0, 720, 168}));
    EXPECT_EQ(CalendarModel::panelBounds(3, kBounds), (Rect{0, 168, 240, 336}));
    EXPECT_EQ(CalendarModel::panelBounds(14, kBounds), (Rect{480, 672, 720, 840}));
    // Integer shares: what does not divide evenly is left over at the right and bottom.
    EXPECT_EQ(CalendarModel::panelBounds(14, {10, 20, 111, 124}), (Rect{76, 100, 109, 120}));
}

TEST(CalendarModel, MarksStayInCallOrderWithTheirDayOfMonth) {
    DisplayState state;
    CalendarModel model(fromLocal(2025, 3, 10), state);
    model.addDayPlan(2025, 4, 2, 4);
    model.addDayPlan(2025, 3, 17, 2);
    model.addDayPlan(2025, 4, 2, 100);
    model.addDayPlan(2031, 1, 1, 3);  // far outside the fifteen months: kept all the same
    ASSERT_EQ(model.marks().size(), 4u);
    EXPECT_EQ(model.marks()[0].date, fromLocal(2025, 4, 2));
    EXPECT_EQ(model.marks()[0].planCode, 4);
    EXPECT_EQ(model.marks()[1].dayOfMonth, 17);
    EXPECT_EQ(model.marks()[2].planCode, 100);
    EXPECT_EQ(model.marks()[3].date, fromLocal(2031, 1, 1));
    model.eraseDayPlans();
    EXPECT_TRUE(model.marks().empty());
}

TEST(CalendarModel, DatesOutOfRangeRollOverAsTheCLibraryRollsThem) {
    DisplayState state;
    CalendarModel model(fromLocal(2025, 3, 10), state);
    model.addDayPlan(2025, 2, 30, 5);
    EXPECT_EQ(model.marks()[0].date, fromLocal(2025, 3, 2));
    EXPECT_EQ(model.marks()[0].dayOfMonth, 2);
}

TEST(CalendarModel, SetActivePlanTakesPositiveNumbersAndTheTwoFlagCodes) {
    DisplayState state;
    CalendarModel model(fromLocal(2025, 3, 10), state);
    model.setActivePlan(5);
    EXPECT_EQ(state.activePlan, 5);
    model.setActivePlan(0);
    EXPECT_EQ(state.activePlan, 5);
    model.setActivePlan(-1);
    EXPECT_EQ(state.activePlan, 5);
    EXPECT_FALSE(state.highlightAll);
    model.setActivePlan(-2);
    EXPECT_TRUE(state.highlightAll);
    EXPECT_EQ(state.activePlan, 5);
    model.setActivePlan(-4);
    EXPECT_TRUE(state.highlightAll);
    model.setActivePlan(-3);
    EXPECT_FALSE(state.highlightAll);
    EXPECT_EQ(state.activePlan, 5);
    model.setActivePlan(101);
    EXPECT_EQ(state.activePlan, 101);
}

TEST(CalendarModel, ModelsShareOneDisplayStateAndANewOneClearsHighlightAll) {
    DisplayState state;
    CalendarModel first(fromLocal(2025, 3, 10), state);
    first.setActivePlan(-2);
    first.setActivePlan(7);
    CalendarModel second(fromLocal(2025, 3, 10), state);
    EXPECT_FALSE(second.displayState().highlightAll);
    EXPECT_FALSE(first.displayState().highlightAll);
    EXPECT_EQ(second.displayState().activePlan, 7) << "the active plan outlives controls";
}

TEST(CalendarModel, PressesOnTodayAndLaterAnswerEarlierDaysDoNot) {
    DisplayState state;
    const std::time_t now = fromLocal(2025, 3, 14, 0, 0, 0);
    CalendarModel model(now, state);
    model.layout(kBounds, kX);
    EXPECT_EQ(model.hitTest(centreOfDay(model, 0, 14), now), (DayHit{2025, 3, 14}));
    EXPECT_EQ(model.hitTest(centreOfDay(model, 0, 14), fromLocal(2025, 3, 14, 23, 59, 59)),
              (DayHit{2025, 3, 14}));
    EXPECT_EQ(model.hitTest(centreOfDay(model, 0, 31), now), (DayHit{2025, 3, 31}));
    EXPECT_FALSE(model.hitTest(centreOfDay(model, 0, 13), now));
    EXPECT_FALSE(model.hitTest(centreOfDay(model, 0, 1), now));
    EXPECT_EQ(model.hitTest(centreOfDay(model, 10, 1), now), (DayHit{2026, 1, 1}));
    EXPECT_EQ(model.hitTest(centreOfDay(model, 14, 31), now), (DayHit{2026, 5, 31}));
}

TEST(CalendarModel, PressesBetweenDaysAnswerNothing) {
    DisplayState state;
    const std::time_t now = fromLocal(2025, 3, 1, 9);
    CalendarModel model(now, state);
    model.layout(kBounds, kX);
    const MonthPanel& april = model.panel(1);  // Tuesday the 1st
    const int midRow = april.grid().rowHeight / 2;
    EXPECT_FALSE(model.hitTest({april.columnCentre(3), april.rowTop(0) + midRow}, now));
    EXPECT_FALSE(model.hitTest({april.columnCentre(2), april.rowTop(1) + midRow}, now));
    EXPECT_FALSE(model.hitTest({april.columnCentre(0), april.rowTop(2) + midRow}, now));
    EXPECT_FALSE(model.hitTest({april.grid().originX - 1, april.rowTop(2) + midRow}, now));
    EXPECT_EQ(model.hitTest({april.columnCentre(3), april.rowTop(1) + midRow}, now),
              (DayHit{2025, 4, 1}));
}

TEST(CalendarModel, ModelBeforeAnyLayoutAnswersNothing) {
    DisplayState state;
    CalendarModel model(fromLocal(2025, 3, 1, 9), state);
    EXPECT_FALSE(model.hitTest({100, 100}, fromLocal(2025, 3, 1, 9)));
}

}  // namespace
}  // namespace quirn::calendar
