#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingCanvas.h"
#include "calendar/CalendarPainter.h"
#include "platform/LocalTime.h"

namespace quirn::calendar {
namespace {

using test::RecordingCanvas;
using Kind = RecordingCanvas::Kind;

constexpr Rect kBounds{0, 0, 720, 840};

class CalendarPainterTest : public ::testing::Test {
  protected:
    // Today is 10 March 2025: the panels run from March 2025 to May 2026.
    DisplayState state;
    CalendarModel model{fromLocal(2025, 3, 10, 9), state};
    RecordingCanvas canvas;

    // The drawing calls that follow the fifteen panels (the marks').
    std::vector<RecordingCanvas::Op> markOps() {
        RecordingCanvas bare;
        DisplayState own;
        CalendarModel empty{fromLocal(2025, 3, 10, 9), own};
        paintCalendar(empty, bare, kBounds);
        paintCalendar(model, canvas, kBounds);
        return {canvas.ops.begin() + static_cast<long>(bare.ops.size()), canvas.ops.end()};
    }
    Rect cellOf(int panel, int day) {
        return model.panel(panel).cellRect(model.panel(panel).findDay(day).value());
    }
};

TEST_F(CalendarPainterTest, PanelShowsLinesTitleInitialsAndDays) {
    paintCalendar(model, canvas, kBounds);
    ASSERT_FALSE(canvas.ops.empty());
    EXPECT_EQ(canvas.ops[0].kind, Kind::FillWhite);
    EXPECT_EQ(canvas.ops[0].rect, kBounds);
    // Panel 3 (June 2025) lies at column 0, row 1: bounds 0..240 x 168..336.
    auto at = std::find_if(canvas.ops.begin(), canvas.ops.end(),
                           [](const auto& op) { return op.text == "June 2025"; });
    ASSERT_NE(at, canvas.ops.end());
    EXPECT_EQ(at->points[0], (Point{120, 170}));
    const auto& top = *(at - 1);
    EXPECT_EQ(top.kind, Kind::Line);
    EXPECT_EQ(top.points, (std::vector<Point>{{3, 168}, {237, 168}}));
    const auto& under = *(at + 1);
    EXPECT_EQ(under.points, (std::vector<Point>{{3, 183}, {237, 183}}));  // T + ch + 4
    const MonthPanel& june = model.panel(3);
    const char* initials[] = {"S", "M", "T", "W", "T", "F", "S"};
    for (int c = 1; c <= 7; ++c) {
        EXPECT_EQ((at + 1 + c)->text, initials[c - 1]);
        EXPECT_EQ((at + 1 + c)->points[0], (Point{june.columnCentre(c), june.rowTop(0)}));
    }
    // Then the thirty days, 1 June 2025 being a Sunday.
    EXPECT_EQ((at + 9)->text, "1");
    EXPECT_EQ((at + 9)->points[0], (Point{june.columnCentre(1), june.rowTop(1)}));
    EXPECT_EQ((at + 38)->text, "30");
    EXPECT_EQ((at + 38)->points[0], (Point{june.columnCentre(2), june.rowTop(5)}));
    EXPECT_EQ((at + 39)->kind, Kind::Line) << "the next panel starts";
}

TEST_F(CalendarPainterTest, AllFifteenTitlesInEnglish) {
    paintCalendar(model, canvas, kBounds);
    std::vector<std::string> titles;
    for (const auto& op : canvas.ops)
        if (op.text.find(' ') != std::string::npos) titles.push_back(op.text);
    ASSERT_EQ(titles.size(), 15u);
    EXPECT_EQ(titles.front(), "March 2025");
    EXPECT_EQ(titles[9], "December 2025");
    EXPECT_EQ(titles[10], "January 2026");
    EXPECT_EQ(titles.back(), "May 2026");
}

TEST_F(CalendarPainterTest, MarkReplacesTheDayNumberAndFramesTheCell) {
    model.addDayPlan(2025, 4, 2, 4);
    const auto ops = markOps();
    ASSERT_EQ(ops.size(), 3u);
    const Rect cell = cellOf(1, 2);
    EXPECT_EQ(ops[0].kind, Kind::FillWhite);
    EXPECT_EQ(ops[0].rect, cell);
    EXPECT_EQ(ops[1].text, "4");
    const MonthPanel& april = model.panel(1);
    EXPECT_EQ(ops[1].points[0], (Point{april.columnCentre(4), april.rowTop(1)}));
    EXPECT_EQ(ops[2].kind, Kind::FrameRect);
    EXPECT_EQ(ops[2].rect, cell);
}

TEST_F(CalendarPainterTest, HolidayShowsH) {
    model.addDayPlan(2025, 5, 26, 100);
    const auto ops = markOps();
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[1].text, "H");
    EXPECT_EQ(ops[2].kind, Kind::FrameRect);
}

TEST_F(CalendarPainterTest, VacationEndsAreBrackets) {
    model.addDayPlan(2025, 12, 22, 101);
    model.addDayPlan(2026, 1, 2, 102);
    const auto ops = markOps();
    ASSERT_EQ(ops.size(), 6u);
    const Rect start = cellOf(9, 22);
    const int half = start.width() / 2;
    EXPECT_EQ(ops[1].text, "V");
    EXPECT_EQ(ops[2].kind, Kind::Polyline);
    EXPECT_EQ(ops[2].points, (std::vector<Point>{{start.left + half, start.top},
                                                 {start.left, start.top + 2},
                                                 {start.left, start.bottom - 2},
                                                 {start.left + half, start.bottom}}));
    const Rect end = cellOf(10, 2);
    EXPECT_EQ(ops[4].text, "V");
    EXPECT_EQ(ops[5].points, (std::vector<Point>{{end.right - half, end.top},
                                                 {end.right, end.top + 2},
                                                 {end.right, end.bottom - 2},
                                                 {end.right - half, end.bottom}}));
}

TEST_F(CalendarPainterTest, PickedDayIsCircledAndNothingElse) {
    model.addDayPlan(2025, 6, 12, -1);
    state.highlightAll = true;
    const auto ops = markOps();
    ASSERT_EQ(ops.size(), 1u);
    const Rect cell = cellOf(3, 12);
    const PanelGrid& grid = model.panel(3).grid();
    EXPECT_EQ(ops[0].kind, Kind::FrameEllipse);
    EXPECT_EQ(ops[0].rect,
              (Rect{cell.left - grid.columnWidth / 4, cell.top - grid.rowHeight / 2,
                    cell.right + grid.columnWidth / 4, cell.bottom + grid.rowHeight / 2}));
}

TEST_F(CalendarPainterTest, MarkOutsideTheFifteenMonthsIsNeverDrawn) {
    model.addDayPlan(2025, 2, 28, 3);  // the month before the first panel
    model.addDayPlan(2026, 6, 1, 3);   // the month after the last
    model.addDayPlan(2024, 3, 10, 3);  // the same month a year earlier
    state.highlightAll = true;
    EXPECT_TRUE(markOps().empty());
    EXPECT_EQ(model.marks().size(), 3u);
}

TEST_F(CalendarPainterTest, TwoMarksOnOneDayAreDrawnInListOrder) {
    model.addDayPlan(2025, 4, 2, 5);
    model.addDayPlan(2025, 4, 2, 7);
    const auto ops = markOps();
    ASSERT_EQ(ops.size(), 6u);
    EXPECT_EQ(ops[1].text, "5");
    EXPECT_EQ(ops[3].kind, Kind::FillWhite) << "the later mark covers the earlier";
    EXPECT_EQ(ops[4].text, "7");
    EXPECT_EQ(ops[0].rect, ops[3].rect);
}

TEST_F(CalendarPainterTest, ActivePlanMarksAreInvertedLast) {
    model.addDayPlan(2025, 4, 2, 5);
    model.addDayPlan(2025, 4, 3, 6);
    model.setActivePlan(5);
    const auto ops = markOps();
    ASSERT_EQ(ops.size(), 7u);
    EXPECT_EQ(ops[3].kind, Kind::Invert);
    EXPECT_EQ(ops[3].rect, cellOf(1, 2));
    for (size_t i = 4; i < ops.size(); ++i) EXPECT_NE(ops[i].kind, Kind::Invert);
}

TEST_F(CalendarPainterTest, ActivePlan101InvertsBothVacationEnds) {
    model.addDayPlan(2025, 12, 22, 101);
    model.addDayPlan(2026, 1, 2, 102);
    model.addDayPlan(2026, 1, 5, 3);
    model.setActivePlan(101);
    const auto ops = markOps();
    const auto inverts = std::count_if(ops.begin(), ops.end(),
                                       [](const auto& op) { return op.kind == Kind::Invert; });
    EXPECT_EQ(inverts, 2);
}

TEST_F(CalendarPainterTest, HighlightAllInvertsEveryMarkedCell) {
    model.addDayPlan(2025, 4, 2, 5);
    model.addDayPlan(2025, 4, 3, 100);
    model.addDayPlan(2025, 4, 4, 102);
    model.setActivePlan(-2);
    auto ops = markOps();
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(),
                            [](const auto& op) { return op.kind == Kind::Invert; }),
              3);
    model.setActivePlan(-3);
    canvas.ops.clear();
    ops = markOps();
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(),
                            [](const auto& op) { return op.kind == Kind::Invert; }),
              0);
}

TEST_F(CalendarPainterTest, LeapDayOfADistantCenturyIsShownAsTheControlCounts) {
    DisplayState s;
    CalendarModel model2100{fromLocal(2100, 1, 15, 9), s};
    RecordingCanvas c;
    paintCalendar(model2100, c, kBounds);
    EXPECT_EQ(model2100.panel(1).findDay(29), (Cell{2, 5})) << "1 February 2100 is a Monday";
}

}  // namespace
}  // namespace quirn::calendar
