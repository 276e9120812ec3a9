#include "calendar/MonthPanel.h"

#include "platform/LocalTime.h"

namespace quirn::calendar {

namespace {
constexpr int kLastHour = 23, kLastMinute = 59, kLastSecond = 59;
constexpr int kHitHour = 12;
// Grid offsets from the panel's edges, in device units beyond the letter sizes.
constexpr int kGridTopGap = 6;
constexpr int kGridBottomExtra = 12;
}  // namespace

MonthPanel::MonthPanel(YearMonth month)
    : month_(month),
      first_(fromLocal(month.year, month.month, 1)),
      last_(fromLocal(month.year, month.month, controlDaysInMonth(month.year, month.month),
                      kLastHour, kLastMinute, kLastSecond)) {
    fillDayTable();
}

void MonthPanel::layout(const Rect& bounds, TextSize x) {
    const int usableWidth = bounds.right - bounds.left - 2 * x.width;
    grid_.originX = bounds.left + x.width;
    grid_.originY = bounds.top + x.height + kGridTopGap;
    grid_.right = grid_.originX + usableWidth;
    grid_.bottom = bounds.bottom + kGridBottomExtra - x.height;
    grid_.columnWidth = usableWidth / kColumns;
    grid_.rowHeight = (grid_.bottom - grid_.originY) / kRows;
    fillDayTable();
}

void MonthPanel::fillDayTable() {
    for (auto& column : dayTable_)
        for (int& cell : column) cell = 0;
    int column = toLocal(first_).weekday;
    int row = kFirstWeekRow;
    const int days = controlDaysInMonth(month_.year, month_.month);
    for (int day = 1; day <= days && row < kRows; ++day) {
        dayTable_[column][row] = day;
        if (++column > kLastColumn) {
            column = 1;
            ++row;
        }
    }
}

int MonthPanel::columnCentre(int column) const {
    return grid_.originX + column * grid_.columnWidth + grid_.columnWidth / 2;
}

int MonthPanel::rowTop(int row) const {
    return grid_.originY + row * grid_.rowHeight;
}

Rect MonthPanel::cellRect(Cell cell) const {
    const int centre = columnCentre(cell.column);
    const int top = rowTop(cell.row);
    return {centre - grid_.columnWidth / 2, top + 2,
            centre + grid_.columnWidth - grid_.columnWidth / 2, top + grid_.rowHeight + 2};
}

int MonthPanel::dayAt(Cell cell) const {
    if (cell.column < 0 || cell.column >= kColumns || cell.row < 0 || cell.row >= kRows) return 0;
    return dayTable_[cell.column][cell.row];
}

std::optional<Cell> MonthPanel::findDay(int day) const {
    for (int row = kFirstWeekRow; row < kRows; ++row)
        for (int column = 1; column <= kLastColumn; ++column)
            if (dayTable_[column][row] == day) return Cell{column, row};
    return std::nullopt;
}

std::optional<Cell> MonthPanel::cellAt(Point p) const {
    // A grid not laid out yet (or too small to hold a cell) answers nothing.
    if (grid_.columnWidth <= 0 || grid_.rowHeight <= 0 || !grid_.rect().contains(p))
        return std::nullopt;
    Cell cell{(p.x - grid_.originX) / grid_.columnWidth, (p.y - grid_.originY) / grid_.rowHeight};
    if (dayAt(cell) == 0) return std::nullopt;
    return cell;
}

std::optional<std::time_t> MonthPanel::hitTest(Point p) const {
    std::optional<Cell> cell = cellAt(p);
    if (!cell) return std::nullopt;
    return fromLocal(month_.year, month_.month, dayAt(*cell), kHitHour);
}

}  // namespace quirn::calendar
