#pragma once
#include <ctime>
#include <optional>

#include "calendar/Geometry.h"
#include "calendar/MonthDays.h"

namespace quirn::calendar {

// Where a month's grid lies, recomputed from the panel's bounds at every paint.
struct PanelGrid {
    int originX = 0;
    int originY = 0;
    int right = 0;
    int bottom = 0;
    int columnWidth = 0;
    int rowHeight = 0;
    Rect rect() const { return {originX, originY, right, bottom}; }
};

// A cell of the day table: column 1 = Sunday .. 7 = Saturday, row 0 the weekday headings,
// rows 1..6 the weeks.
struct Cell {
    int column = 0;
    int row = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

inline constexpr int kColumns = 8;  // column 0 stays empty
inline constexpr int kRows = 7;
inline constexpr int kFirstWeekRow = 1;
inline constexpr int kLastColumn = 7;

// One of the fifteen months: its span of time, the grid it is drawn in, and which day number
// each cell shows.
class MonthPanel {
  public:
    explicit MonthPanel(YearMonth month = {});

    YearMonth month() const { return month_; }
    // The 1st at 00:00:00 and the last day (the control's month length) at 23:59:59, local time.
    std::time_t firstInstant() const { return first_; }
    std::time_t lastInstant() const { return last_; }
    bool covers(std::time_t t) const { return t >= first_ && t <= last_; }

    // Computes the grid for `bounds` (cw and ch: the size of "X" in the font) and refills the
    // day table.
    void layout(const Rect& bounds, TextSize x);
    const PanelGrid& grid() const { return grid_; }

    int columnCentre(int column) const;
    int rowTop(int row) const;
    Rect cellRect(Cell cell) const;

    // Day number shown in a cell, 0 for none (also for a cell outside the table).
    int dayAt(Cell cell) const;
    // The first week cell (rows 1..6, columns 1..7, row by row) showing `day`.
    std::optional<Cell> findDay(int day) const;

    // The cell under a point of the grid, when it shows a day.
    std::optional<Cell> cellAt(Point p) const;
    // The date under a point at 12:00:00, when the point falls on a day of this month.
    std::optional<std::time_t> hitTest(Point p) const;

  private:
    void fillDayTable();

    YearMonth month_;
    std::time_t first_ = 0;
    std::time_t last_ = 0;
    PanelGrid grid_;
    int dayTable_[kColumns][kRows] = {};
};

}  // namespace quirn::calendar
