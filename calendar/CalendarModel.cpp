#include "calendar/CalendarModel.h"

#include "platform/LocalTime.h"

namespace quirn::calendar {

namespace {
constexpr int kPanelColumns = 3;
constexpr int kPanelRows = 5;
// A press counts from this second of today on, so a day before today never answers.
constexpr int kEarliestSecondToday = 55;
}  // namespace

CalendarModel::CalendarModel(std::time_t today, DisplayState& displayState)
    : display_(displayState) {
    const LocalDateTime local = toLocal(today);
    const auto months = fifteenMonthsFrom({local.year, local.month});
    for (size_t i = 0; i < panels_.size(); ++i) panels_[i] = MonthPanel(months[i]);
    display_.highlightAll = false;
}

void CalendarModel::addDayPlan(int year, int month, int day, std::int16_t planCode) {
    const std::time_t date = fromLocal(year, month, day);
    marks_.push_back({date, toLocal(date).day, planCode});
}

Rect CalendarModel::panelBounds(int index, const Rect& bounds) {
    const int width = bounds.width() / kPanelColumns;
    const int height = bounds.height() / kPanelRows;
    const int left = bounds.left + (index % kPanelColumns) * width;
    const int top = bounds.top + (index / kPanelColumns) * height;
    return {left, top, left + width, top + height};
}

void CalendarModel::layout(const Rect& bounds, TextSize x) {
    for (int i = 0; i < kPanelCount; ++i)
        panels_[static_cast<size_t>(i)].layout(panelBounds(i, bounds), x);
}

std::optional<DayHit> CalendarModel::hitTest(Point p, std::time_t now) const {
    const LocalDateTime today = toLocal(now);
    const std::time_t earliest =
        fromLocal(today.year, today.month, today.day, 0, 0, kEarliestSecondToday);
    for (const MonthPanel& panel : panels_) {
        std::optional<std::time_t> hit = panel.hitTest(p);
        if (hit && *hit >= earliest) {
            const LocalDateTime date = toLocal(*hit);
            return DayHit{date.year, date.month, date.day};
        }
    }
    return std::nullopt;
}

}  // namespace quirn::calendar
