#include "calendar/view/ClickPoint.h"

#include "calendar/CalendarModel.h"

namespace quirn::vorncal {

using namespace quirn::calendar;

namespace {
constexpr int kHeadingRow = 0;
constexpr int kSundayColumn = 1;
}  // namespace

std::optional<Point> clickPoint(const ClickRequest& click, std::time_t today, const Rect& bounds,
                                TextSize x) {
    if (click.target == ClickRequest::Target::Point) return Point{click.x, click.y};
    DisplayState display;
    CalendarModel model(today, display);
    model.layout(bounds, x);
    for (const MonthPanel& panel : model.panels()) {
        if (panel.month() != YearMonth{click.date.year, click.date.month}) continue;
        if (click.target == ClickRequest::Target::Heading)
            return Point{panel.columnCentre(kSundayColumn),
                         panel.rowTop(kHeadingRow) + panel.grid().rowHeight / 2};
        std::optional<Cell> cell = panel.findDay(click.date.day);
        if (!cell) return std::nullopt;
        return Point{panel.columnCentre(cell->column),
                     panel.rowTop(cell->row) + panel.grid().rowHeight / 2};
    }
    return std::nullopt;
}

}  // namespace quirn::vorncal
