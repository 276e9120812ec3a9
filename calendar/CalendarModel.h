#pragma once
#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <vector>

#include "calendar/DisplayState.h"
#include "calendar/Geometry.h"
#include "calendar/MonthPanel.h"

namespace quirn::calendar {

// A day the host marked with a plan code.
struct Mark {
    std::time_t date = 0;  // the day at 00:00:00 local time
    int dayOfMonth = 1;
    std::int16_t planCode = 0;
};

// A day under the mouse, as the events report it.
struct DayHit {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const DayHit&, const DayHit&) = default;
};

// The calendar control without its window: fifteen months from the month of `today`, the
// host's marks in call order, the layout of the last paint and the hit test. The display state
// (active plan, highlight-all) is shared with other controls; constructing a model clears its
// highlight-all flag, as constructing a control does.
class CalendarModel {
  public:
    CalendarModel(std::time_t today, DisplayState& displayState);

    // EraseDayPlans: removes every mark.
    void eraseDayPlans() { marks_.clear(); }
    // AddDayPlan: appends a mark for that date at 00:00:00 (fields out of range roll over as
    // the C library's mktime rolls them).
    void addDayPlan(int year, int month, int day, std::int16_t planCode);
    // SetActivePlan: see applyActivePlan.
    void setActivePlan(int planNumber) { applyActivePlan(display_, planNumber); }

    const std::vector<Mark>& marks() const { return marks_; }
    const DisplayState& displayState() const { return display_; }
    const std::array<MonthPanel, kPanelCount>& panels() const { return panels_; }
    const MonthPanel& panel(int index) const { return panels_[static_cast<size_t>(index)]; }

    // Panel i's share of the control's bounds: 3 columns by 5 rows, left to right, then down.
    static Rect panelBounds(int index, const Rect& bounds);
    // Lays every panel out in `bounds`; x is the size of "X" in the painting font.
    void layout(const Rect& bounds, TextSize x);

    // The day under p that a button press may report: the first panel answering with a date
    // no earlier than today at 00:00:55 (so days before today never answer).
    std::optional<DayHit> hitTest(Point p, std::time_t now) const;

  private:
    std::array<MonthPanel, kPanelCount> panels_;
    std::vector<Mark> marks_;
    DisplayState& display_;
};

}  // namespace quirn::calendar
