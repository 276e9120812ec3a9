#include <gtest/gtest.h>

#include "calendar/MonthPanel.h"
#include "platform/LocalTime.h"

namespace quirn::calendar {
namespace {

// Bounds and "X" size for which the layout's arithmetic is worked out by hand below.
constexpr Rect kBounds{100, 50, 340, 218};
constexpr TextSize kX{7, 11};

TEST(MonthPanel, InstantsSpanTheWholeMonth) {
    MonthPanel panel({2025, 4});
    EXPECT_EQ(panel.firstInstant(), fromLocal(2025, 4, 1));
    EXPECT_EQ(panel.lastInstant(), fromLocal(2025, 4, 30, 23, 59, 59));
    EXPECT_TRUE(panel.covers(fromLocal(2025, 4, 30)));
    EXPECT_FALSE(panel.covers(fromLocal(2025, 5, 1)));
    EXPECT_FALSE(panel.covers(fromLocal(2025, 3, 31, 23, 59, 59)));
}

TEST(MonthPanel, LayoutFollowsTheBoundsAndTextMetrics) {
    MonthPanel panel({2025, 4});
    panel.layout(kBounds, kX);
    const PanelGrid& g = panel.grid();
    EXPECT_EQ(g.originX, 107);      // L + cw
    EXPECT_EQ(g.originY, 67);       // T + ch + 6
    EXPECT_EQ(g.right, 107 + 226);  // usable width R - L - 2cw
    EXPECT_EQ(g.bottom, 219);       // B + 12 - ch
    EXPECT_EQ(g.columnWidth, 28);   // 226 / 8
    EXPECT_EQ(g.rowHeight, 21);     // (219 - 67) / 7
    EXPECT_EQ(panel.columnCentre(3), 107 + 3 * 28 + 14);
    EXPECT_EQ(panel.rowTop(2), 67 + 2 * 21);
    EXPECT_EQ(panel.cellRect({3, 2}), (Rect{191, 111, 219, 132}));
}

TEST(MonthPanel, CellRectOfAnOddColumnWidthLeansRight) {
    MonthPanel panel({2025, 4});
    panel.layout({0, 0, 230, 160}, {6, 10});  // usable width 218, columns of 27
    ASSERT_EQ(panel.grid().columnWidth, 27);
    const int centre = panel.columnCentre(1);
    const Rect cell = panel.cellRect({1, 1});
    EXPECT_EQ(cell.left, centre - 13);
    EXPECT_EQ(cell.right, centre + 14);
}

TEST(MonthPanel, DayOneSitsUnderItsWeekdayAndColumnZeroStaysEmpty) {
    MonthPanel panel({2025, 4});  // 1 April 2025 is a Tuesday
    EXPECT_EQ(panel.dayAt({3, 1}), 1);
    EXPECT_EQ(panel.dayAt({7, 1}), 5);
    EXPECT_EQ(panel.dayAt({1, 2}), 6);
    EXPECT_EQ(panel.dayAt({4, 5}), 30);
    for (int row = 0; row < kRows; ++row) EXPECT_EQ(panel.dayAt({0, row}), 0);
    for (int column = 0; column < kColumns; ++column) EXPECT_EQ(panel.dayAt({column, 0}), 0);
    EXPECT_EQ(panel.findDay(30), (Cell{4, 5}));
    EXPECT_FALSE(panel.findDay(31));
}

TEST(MonthPanel, LeapFebruaryShowsTwentyNineDays) {
    MonthPanel panel({2024, 2});  // Thursday the 1st
    EXPECT_EQ(panel.dayAt({5, 1}), 1);
    EXPECT_EQ(panel.findDay(29), (Cell{5, 5}));
    EXPECT_EQ(panel.lastInstant(), fromLocal(2024, 2, 29, 23, 59, 59));
    EXPECT_FALSE(MonthPanel({2025, 2}).findDay(29));
}

TEST(MonthPanel, ThirtyOneDaysFromASaturdayUseAllSixWeekRows) {
    MonthPanel panel({2025, 3});  // Saturday 1 March 2025
    EXPECT_EQ(panel.dayAt({7, 1}), 1);
    EXPECT_EQ(panel.findDay(30), (Cell{1, 6}));
    EXPECT_EQ(panel.findDay(31), (Cell{2, 6}));
}

TEST(MonthPanel, HitTestAnswersOnlyDaysInsideTheGrid) {
    MonthPanel panel({2025, 4});
    EXPECT_FALSE(panel.hitTest({150, 120})) << "before any layout there is no grid";
    panel.layout(kBounds, kX);
    auto centreOf = [&](Cell c) {
        return Point{panel.columnCentre(c.column), panel.rowTop(c.row) + 21 / 2};
    };
    EXPECT_EQ(panel.hitTest(centreOf({3, 1})), fromLocal(2025, 4, 1, 12));
    EXPECT_EQ(panel.hitTest(centreOf({4, 5})), fromLocal(2025, 4, 30, 12));
    EXPECT_FALSE(panel.hitTest(centreOf({3, 0}))) << "weekday heading row";
    EXPECT_FALSE(panel.hitTest(centreOf({1, 1}))) << "empty cell before the 1st";
    EXPECT_FALSE(panel.hitTest(centreOf({6, 5}))) << "empty cell after the 30th";
    EXPECT_FALSE(panel.hitTest(centreOf({0, 2}))) << "blank column 0";
    EXPECT_FALSE(panel.hitTest({106, 120})) << "left of the grid";
    EXPECT_FALSE(panel.hitTest({150, 219})) << "on the bottom edge";
    // The usable width leaves two units right of column 7: column 8 answers nothing.
    EXPECT_FALSE(panel.hitTest({331, 120}));
    EXPECT_TRUE(panel.hitTest({330, 120}));
}

TEST(MonthPanel, ARowBelowTheTableAnswersNothing) {
    // Seven rows that do not fill the grid leave a strip below row 6.
    MonthPanel panel({2025, 3});
    panel.layout({0, 0, 240, 160}, {7, 10});  // grid 16..162 high, rows of 20
    ASSERT_EQ(panel.grid().rowHeight, 20);
    EXPECT_TRUE(panel.hitTest({panel.columnCentre(1), 16 + 6 * 20 + 5}));  // the 30th
    EXPECT_FALSE(panel.hitTest({panel.columnCentre(1), 16 + 7 * 20 + 2}));
}

}  // namespace
}  // namespace quirn::calendar
